// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The only file that talks to Windows' HID class library. Reads and writes are
// overlapped so that a device that stops answering ends in a time-out instead of a
// read that never returns.

#include "device/hid/windows_hid_transport.h"

// clang-format off: windows.h must come before the HID and SetupAPI headers, and
// mingw-w64's HID headers do not declare C linkage themselves.
#include <windows.h>
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>
#include <cfgmgr32.h>
#include <initguid.h>  // defines the property keys of devpkey.h here
#include <devpkey.h>
// clang-format on

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/exclusive_lock.h"
#include "device/hid/report_framing.h"
#include "files/utf8_path.h"

namespace vostrel::device {

namespace {

// A send of one report takes microseconds; a device that has not taken it after this
// long has stopped working.
constexpr std::chrono::milliseconds kSendTimeout{2000};

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// CreateFile fails with INVALID_HANDLE_VALUE, CreateEvent with null: both become empty.
UniqueHandle adopt(HANDLE handle) { return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle); }

struct DeviceListDeleter {
    void operator()(HDEVINFO list) const { ::SetupDiDestroyDeviceInfoList(list); }
};
using DeviceList = std::unique_ptr<void, DeviceListDeleter>;

struct PreparsedDataDeleter {
    void operator()(PHIDP_PREPARSED_DATA data) const { ::HidD_FreePreparsedData(data); }
};

// A HID interface as SetupAPI lists it: the path to open and the device behind it.
struct HidInterface {
    std::wstring path;
    DEVINST instance = 0;
};

std::optional<HidInterface> interfaceOf(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& entry) {
    DWORD size = 0;
    ::SetupDiGetDeviceInterfaceDetailW(list, &entry, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::nullopt;
    // DWORD elements keep the record's alignment.
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!::SetupDiGetDeviceInterfaceDetailW(list, &entry, detail, size, nullptr, &device)) return std::nullopt;
    return HidInterface{std::wstring(detail->DevicePath), device.DevInst};
}

// Present HID interfaces in enumeration order. An interface whose path cannot be had
// is passed over: one odd device must not hide the transmitter behind it.
std::vector<HidInterface> hidInterfaces() {
    GUID hidClass;
    ::HidD_GetHidGuid(&hidClass);
    HDEVINFO handle = ::SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (handle == INVALID_HANDLE_VALUE) return {};
    const DeviceList list(handle);
    std::vector<HidInterface> interfaces;
    SP_DEVICE_INTERFACE_DATA entry{};
    entry.cbSize = sizeof entry;
    for (DWORD index = 0; ::SetupDiEnumDeviceInterfaces(list.get(), nullptr, &hidClass, index, &entry); ++index) {
        if (auto found = interfaceOf(list.get(), entry)) interfaces.push_back(std::move(*found));
    }
    return interfaces;
}

// The first location path of the device's own node or the nearest one above it that has
// one (its USB interface or device: "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(3)#USB(2)"):
// it names the socket, whichever order the system found the devices in. Empty when no
// node on the way names one.
std::string locationPath(DEVINST instance) {
    for (DEVINST node = instance;;) {
        DEVPROPTYPE type = 0;
        ULONG size = 0;
        if (::CM_Get_DevNode_PropertyW(node, &DEVPKEY_Device_LocationPaths, &type, nullptr, &size, 0) ==
                CR_BUFFER_SMALL &&
            type == DEVPROP_TYPE_STRING_LIST) {
            std::vector<wchar_t> paths(size / sizeof(wchar_t) + 2, L'\0');
            if (::CM_Get_DevNode_PropertyW(node, &DEVPKEY_Device_LocationPaths, &type,
                                           reinterpret_cast<PBYTE>(paths.data()), &size, 0) == CR_SUCCESS &&
                paths[0] != L'\0') {
                return files::utf8Name(std::wstring(paths.data()));
            }
        }
        DEVINST parent = 0;
        if (::CM_Get_Parent(&parent, node, 0) != CR_SUCCESS) return {};
        node = parent;
    }
}

template <typename Caps, typename Bits>
void addOutputBits(PHIDP_PREPARSED_DATA data, USHORT count, std::map<std::uint8_t, unsigned long>& bitsPerId,
                   NTSTATUS (*query)(HIDP_REPORT_TYPE, Caps*, PUSHORT, PHIDP_PREPARSED_DATA), Bits bitsOf) {
    std::vector<Caps> caps(count);
    if (count == 0 || query(HidP_Output, caps.data(), &count, data) != HIDP_STATUS_SUCCESS) return;
    for (const Caps& entry : std::span(caps).first(count)) bitsPerId[entry.ReportID] += bitsOf(entry);
}

// The ID of the device's longest output report (the first of equals), 0 when its
// reports are unnumbered.
std::uint8_t longestOutputReportId(PHIDP_PREPARSED_DATA data, const HIDP_CAPS& caps) {
    std::map<std::uint8_t, unsigned long> bitsPerId;
    addOutputBits<HIDP_VALUE_CAPS>(data, caps.NumberOutputValueCaps, bitsPerId, ::HidP_GetValueCaps,
                                   [](const HIDP_VALUE_CAPS& value) { return value.BitSize * value.ReportCount; });
    addOutputBits<HIDP_BUTTON_CAPS>(data, caps.NumberOutputButtonCaps, bitsPerId, ::HidP_GetButtonCaps,
                                    [](const HIDP_BUTTON_CAPS& button) {
                                        return button.IsRange ? button.Range.UsageMax - button.Range.UsageMin + 1u : 1u;
                                    });
    const auto longest = std::ranges::max_element(bitsPerId, {}, [](const auto& entry) { return entry.second; });
    return longest == bitsPerId.end() ? 0 : longest->first;
}

// How the device frames its reports, from its HID capabilities.
std::optional<ReportLayout> reportLayoutOf(HANDLE device) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!::HidD_GetPreparsedData(device, &data)) return std::nullopt;
    const std::unique_ptr<_HIDP_PREPARSED_DATA, PreparsedDataDeleter> owner(data);
    HIDP_CAPS caps{};
    if (::HidP_GetCaps(data, &caps) != HIDP_STATUS_SUCCESS) return std::nullopt;
    const std::uint8_t outputReportId = longestOutputReportId(data, caps);
    return ReportLayout{caps.InputReportByteLength, caps.OutputReportByteLength, outputReportId != 0, outputReportId};
}

UniqueHandle openDevice(const std::wstring& path, DWORD access, DWORD flags) {
    return adopt(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               flags, nullptr));
}

// Attributes and report lengths, asked without read or write access.
std::optional<HidDeviceInfo> describe(const std::wstring& path) {
    const UniqueHandle device = openDevice(path, 0, 0);
    if (!device) return std::nullopt;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!::HidD_GetAttributes(device.get(), &attributes)) return std::nullopt;
    return HidDeviceInfo{files::utf8Name(path), attributes.VendorID, attributes.ProductID,
                         reportLayoutOf(device.get()).value_or(ReportLayout{}), {}};
}

OpenStatus statusOfOpenError(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED: return OpenStatus::AccessDenied;
        // Another program opened the device without sharing it.
        case ERROR_SHARING_VIOLATION: return OpenStatus::Busy;
        default: return OpenStatus::Failed;
    }
}

class WindowsHidConnection final : public HidConnection {
public:
    WindowsHidConnection(UniqueHandle device, UniqueHandle event, std::unique_ptr<ExclusiveLock> lock,
                         const ReportLayout& layout)
        : lock_(std::move(lock)), device_(std::move(device)), event_(std::move(event)), layout_(layout) {}

    // The HID class sends a report whole or not at all, so a send that succeeded sent
    // all of it (wine counts a numbered report one byte short).
    int writeReport(std::span<const std::uint8_t> report) override {
        if (report.empty()) return -1;
        std::vector<std::uint8_t> framed = frameOutputReport(report, layout_);
        const int sent = transfer(Direction::Send, framed, kSendTimeout);
        return sent > 0 ? static_cast<int>(framed.size()) : sent;
    }

    // The HID class hands over whole input reports, report-ID byte first, and only
    // into a buffer of the full input report length.
    int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        if (buffer.empty()) return -1;
        std::vector<std::uint8_t> report(std::max<std::size_t>(buffer.size(), layout_.inputReportLength), 0);
        const int read = transfer(Direction::Receive, report, timeout);
        if (read <= 0) return read;
        const std::size_t kept = std::min(static_cast<std::size_t>(read), buffer.size());
        std::copy_n(report.begin(), kept, buffer.begin());
        return static_cast<int>(kept);
    }

private:
    enum class Direction { Send, Receive };

    // Bytes moved, 0 when the time-out ended it first, -1 on failure (an unplugged
    // device among them).
    int transfer(Direction direction, std::span<std::uint8_t> bytes, std::chrono::milliseconds timeout) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = event_.get();
        const auto length = static_cast<DWORD>(bytes.size());
        const BOOL started = direction == Direction::Send
                                 ? ::WriteFile(device_.get(), bytes.data(), length, nullptr, &overlapped)
                                 : ::ReadFile(device_.get(), bytes.data(), length, nullptr, &overlapped);
        if (!started && ::GetLastError() != ERROR_IO_PENDING) return -1;
        const auto milliseconds = static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(
            timeout.count(), 0, INFINITE - 1));
        const bool timedOut = ::WaitForSingleObject(event_.get(), milliseconds) != WAIT_OBJECT_0;
        if (timedOut) ::CancelIoEx(device_.get(), &overlapped);
        // Always wait for the end: the buffer and the OVERLAPPED must outlive the I/O.
        // A transfer that finished while being cancelled keeps its bytes.
        DWORD moved = 0;
        if (::GetOverlappedResult(device_.get(), &overlapped, &moved, TRUE)) return static_cast<int>(moved);
        return ::GetLastError() == ERROR_OPERATION_ABORTED && timedOut ? 0 : -1;
    }

    // Declared first so that it is released last, after the device is closed.
    std::unique_ptr<ExclusiveLock> lock_;
    UniqueHandle device_;
    UniqueHandle event_;
    ReportLayout layout_;
};

}  // namespace

std::vector<HidDeviceInfo> WindowsHidTransport::enumerate(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<HidDeviceInfo> devices;
    for (const HidInterface& found : hidInterfaces()) {
        std::optional<HidDeviceInfo> device = describe(found.path);
        if (device && device->vendorId == vendorId && device->productId == productId) {
            device->location = locationPath(found.instance);
            devices.push_back(std::move(*device));
        }
    }
    return devices;
}

OpenResult WindowsHidTransport::open(const HidDeviceInfo& device) {
    const std::wstring path = files::pathFromUtf8(device.path).wstring();
    ExclusiveLock::Result locked = ExclusiveLock::acquire(path);
    if (locked.status != LockStatus::Locked) return OpenResult{openStatusOf(locked.status), nullptr};
    UniqueHandle handle = openDevice(path, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
    if (!handle) return OpenResult{statusOfOpenError(::GetLastError()), nullptr};
    UniqueHandle event = adopt(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return OpenResult{OpenStatus::Failed, nullptr};
    // Reports the device sent before this open are no answer to anything we ask.
    ::HidD_FlushQueue(handle.get());
    auto connection =
        std::make_unique<WindowsHidConnection>(std::move(handle), std::move(event), std::move(locked.lock), device.reports);
    return OpenResult{OpenStatus::Opened, std::move(connection)};
}

}  // namespace vostrel::device
