// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "files/data_folder.h"

#include <algorithm>
#include <cstdlib>

#include "files/program_folders.h"
#include "files/utf8_path.h"

#if defined(_WIN32)
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace vostrel::files {
namespace {

namespace fs = std::filesystem;

fs::path programFolderIn(const fs::path& dataFolder) { return dataFolder / kProgramFolderName; }

// The words of `text` on lines of at most `width` characters (a longer word alone).
std::string wrapped(std::string_view text, std::size_t width) {
    std::string out;
    std::size_t lineLength = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (lineLength > 0 && lineLength + 1 + word.size() > width) {
            out += '\n';
            lineLength = 0;
        } else if (lineLength > 0) {
            out += ' ';
            ++lineLength;
        }
        out += word;
        lineLength += word.size();
    }
    return out;
}

}  // namespace

std::string dataFolderHelp(std::string_view name, std::string_view program, std::size_t width) {
    const std::string folder = std::string(kProgramFolderName) + "/" + std::string(name);
    return wrapped("$XDG_DATA_HOME/" + folder + " (by default ~/.local/share/" + folder + "), on Windows " +
                       std::string(kProgramFolderName) + "\\" + std::string(name) +
                       " in the local application data folder; for a portable copy (a file " +
                       std::string(kPortableMarker) + " beside " + std::string(program) + "), in the folder " +
                       std::string(name) + " beside it",
                   width);
}

DataEnvironment processDataEnvironment() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    DataEnvironment environment{variable("XDG_DATA_HOME"), variable("HOME")};
#if !defined(_WIN32)
    // A service or a cleared environment may lack HOME; the account still has one.
    if (environment.home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account != nullptr && account->pw_dir != nullptr) {
            environment.home = account->pw_dir;
        }
    }
#endif
    return environment;
}

std::variant<fs::path, FileError> programDataFolder(const DataEnvironment& environment) {
    const fs::path dataHome = pathFromUtf8(environment.xdgDataHome);
    if (dataHome.is_absolute()) return programFolderIn(dataHome);
    const fs::path home = pathFromUtf8(environment.home);
    if (home.is_absolute()) return programFolderIn(home / ".local" / "share");
    return FileError{"neither XDG_DATA_HOME nor HOME names an absolute folder"};
}

std::variant<fs::path, FileError> programDataFolder() {
    if (const auto portable = programPlaces().portableFolder) return *portable;
#if defined(_WIN32)
    // %LOCALAPPDATA% names the same folder, and lets the tests keep the files
    // elsewhere. std::filesystem takes a network share's "\\server\..."
    // for a relative path; folder redirection may put the folder there.
    if (const wchar_t* variable = _wgetenv(L"LOCALAPPDATA")) {
        const fs::path dataFolder(variable);
        const std::wstring& text = dataFolder.native();
        const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
        const bool share = text.size() > 2 && separator(text[0]) && separator(text[1]);
        if (dataFolder.is_absolute() || share) return programFolderIn(dataFolder);
    }
    PWSTR folder = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    const fs::path dataFolder = SUCCEEDED(found) ? fs::path(folder) : fs::path();
    ::CoTaskMemFree(folder);
    if (dataFolder.empty()) return FileError{"the local application data folder is unknown"};
    return programFolderIn(dataFolder);
#else
    return programDataFolder(processDataEnvironment());
#endif
}

}  // namespace vostrel::files
