// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Qt's file dialog, when it goes, writes its state (the folders visited, its view) for
// the organization "QtProject", shared by every Qt program: on Windows into the
// registry (HKCU\Software\QtProject), elsewhere into QtProject.conf in the user's
// configuration folder. On Windows it is undone around every dialog (the window
// remembers its folders itself, and the registry would keep the state after an
// uninstall); elsewhere a portable copy's goes beside the program, as a portable copy
// must leave nothing in the profile. One file per system:
// file_dialog_traces_windows.cpp, file_dialog_traces_other.cpp.

#include <filesystem>
#include <memory>
#include <optional>

namespace vostrel::ui {

class FileDialogTraces {
public:
    // Takes note of what the profile holds now (Windows), or sends the dialog's state
    // to `portableFolder` (elsewhere; nothing to do for a copy that has none).
    explicit FileDialogTraces(const std::optional<std::filesystem::path>& portableFolder);
    // Puts the profile back as noted: make it after the dialog, so that it goes after it.
    ~FileDialogTraces();
    FileDialogTraces(const FileDialogTraces&) = delete;
    FileDialogTraces& operator=(const FileDialogTraces&) = delete;

private:
    struct Noted;
    std::unique_ptr<Noted> noted_;
};

}  // namespace vostrel::ui
