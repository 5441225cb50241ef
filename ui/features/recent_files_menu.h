// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The recent files: the button beside Open drops down the last files opened or saved
// (files/recent_files.h), numbered 1 to 8 for the keyboard. Choosing one opens it as
// Open does; one that has gone is shown so and leaves the list when chosen. The list is
// kept with the remembered choices, read anew each time it is used, so that two
// windows open at once add to one list.

#include <QObject>
#include <QString>
#include <vector>

#include "files/recent_files.h"
#include "ui/workings/language_texts.h"
#include "ui/features/open_and_save.h"

class QAction;
class QMenu;
class QPushButton;

namespace vostrel::ui {

class RecentFilesMenu : public QObject {
    Q_OBJECT

public:
    // `button` drops the list down; every file `files` opens or saves joins it.
    RecentFilesMenu(QPushButton& button, OpenAndSave& files, const LanguageTexts& texts);

    // A command of the menu's own, beneath the files (Restore backup...).
    void addCommand(QAction& command) { commands_.push_back(&command); }

private:
    void fillMenu();
    void addFiles();
    void choose(const QString& path);
    // The list as last remembered, unless remembering has failed in this run.
    void reload();
    void add(const QString& path);
    void remove(const QString& path);
    void store();

    QPushButton& button_;
    OpenAndSave& files_;
    const LanguageTexts& texts_;
    QMenu* menu_;
    std::vector<QAction*> commands_;
    files::RecentFiles recent_;
    // Once the list could not be remembered (the settings file is read-only, say), it is
    // this run's own: reloading it would lose what was added since.
    bool remembering_ = true;
};

}  // namespace vostrel::ui
