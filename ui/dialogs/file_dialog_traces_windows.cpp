// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "ui/dialogs/file_dialog_traces.h"

namespace vostrel::ui {
namespace {

// The keys the dialog writes below HKEY_CURRENT_USER, outermost first.
constexpr std::array<const wchar_t*, 3> kKeys = {L"Software\\QtProject", L"Software\\QtProject\\OrganizationDefaults",
                                                 L"Software\\QtProject\\OrganizationDefaults\\FileDialog"};
constexpr std::size_t kDialogKey = kKeys.size() - 1;

struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

class Key {
public:
    Key(const wchar_t* name, REGSAM access) : open_(::RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, access, &key_) == ERROR_SUCCESS) {}
    ~Key() {
        if (open_) ::RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool open() const { return open_; }

    std::vector<Value> values() const {
        std::vector<Value> values;
        DWORD count = 0, longestName = 0, longestData = 0;
        if (!open_ || ::RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                                         &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
            return values;
        }
        for (DWORD index = 0; index < count; ++index) {
            Value value;
            std::wstring name(longestName + 1, L'\0');
            DWORD nameLength = longestName + 1;
            value.data.resize(longestData);
            DWORD dataLength = longestData;
            if (::RegEnumValueW(key_, index, name.data(), &nameLength, nullptr, &value.type, value.data.data(),
                                &dataLength) != ERROR_SUCCESS) {
                continue;
            }
            value.name.assign(name.data(), nameLength);
            value.data.resize(dataLength);
            values.push_back(std::move(value));
        }
        return values;
    }

    void put(const Value& value) const {
        ::RegSetValueExW(key_, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    }
    void remove(const std::wstring& name) const { ::RegDeleteValueW(key_, name.c_str()); }

private:
    HKEY key_{};
    bool open_;
};

}  // namespace

struct FileDialogTraces::Noted {
    // The first of kKeys that was not there (everything from it on goes), or
    // kKeys.size() when they all were: then the dialog's values are put back.
    std::size_t firstMissing = kKeys.size();
    std::vector<Value> dialogValues;
};

// Every copy, portable or not: the window remembers its folders itself, and what Qt's
// own dialog (Save's) writes would outlive an uninstall.
FileDialogTraces::FileDialogTraces(const std::optional<std::filesystem::path>&) {
    noted_ = std::make_unique<Noted>();
    for (std::size_t i = 0; i < kKeys.size() && noted_->firstMissing == kKeys.size(); ++i) {
        if (!Key(kKeys[i], KEY_READ).open()) noted_->firstMissing = i;
    }
    if (noted_->firstMissing == kKeys.size()) noted_->dialogValues = Key(kKeys[kDialogKey], KEY_READ).values();
}

FileDialogTraces::~FileDialogTraces() {
    if (!noted_) return;
    if (noted_->firstMissing < kKeys.size()) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKeys[noted_->firstMissing]);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kKeys[noted_->firstMissing]);
        return;
    }
    // Another Qt program's dialog state was there: it is put back as it was.
    const Key dialog(kKeys[kDialogKey], KEY_READ | KEY_WRITE);
    if (!dialog.open()) return;
    for (const Value& now : dialog.values()) {
        bool noted = false;
        for (const Value& before : noted_->dialogValues) noted = noted || before.name == now.name;
        if (!noted) dialog.remove(now.name);
    }
    for (const Value& before : noted_->dialogValues) dialog.put(before);
}

}  // namespace vostrel::ui
