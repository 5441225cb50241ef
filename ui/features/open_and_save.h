// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The Open and Save buttons with their file dialogs (and Ctrl+O, Ctrl+S), a file
// dropped on the window or into one of its boxes and a file named on the command line,
// each opened as Open opens it. What is read and written, and how, is
// ui/workings/window_files.h's. The dialogs start where every file dialog of the window
// does (ui/dialogs/file_dialog.h).

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "ui/workings/message_presenter.h"
#include "ui/features/rows_view.h"

class QMimeData;
class QPushButton;
class QWidget;

namespace vostrel::ui {

class OpenAndSave : public QObject {
    Q_OBJECT

public:
    OpenAndSave(QWidget& window, QPushButton& open, QPushButton& save, RowsView& rows,
                const MessageReporter& reporter);

    // Asked before a file replaces the window's contents: false keeps them, and the
    // file is not opened.
    void askBeforeReplacing(std::function<bool()> mayReplace) { mayReplace_ = std::move(mayReplace); }

    // Without their file dialogs, as a dropped file is opened. True when the file was
    // saved; a failure is reported.
    void open(const QString& path);
    bool save(const QString& path);
    // Save's file dialog: the name chosen, or nothing when the user cancelled.
    QString chooseFileToSave() { return chooseFile(true); }
    // The files named on the command line: the first is opened, or given to
    // `importList` when it is named as a site list (*.csv), and a note says that the
    // others were not.
    void openGiven(const QStringList& paths, const std::function<void(const QString&)>& importList);

signals:
    // A file was opened or saved: its absolute path.
    void fileUsed(const QString& path);
    // The window's entries are now those of the file at `path` (absolute), just opened
    // or saved; `configuration` is false for an image file, which Save must not
    // overwrite with a configuration.
    void windowMatchesFile(const QString& path, bool configuration);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeDroppedFiles();
    void addShortcuts();
    QString chooseFile(bool toSave);
    bool takesDroppedFile(const QMimeData* data) const;
    void load(const QString& path);

    QWidget& window_;
    QPushButton& open_;
    QPushButton& save_;
    RowsView& rows_;
    const MessageReporter& reporter_;
    std::function<bool()> mayReplace_ = [] { return true; };
};

}  // namespace vostrel::ui
