// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/recent_files_menu.h"

#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <string>
#include <vector>

#include "ui/workings/local_path.h"
#include "ui/controls/plain_text.h"
#include "ui/workings/settings_file.h"

namespace vostrel::ui {
namespace {

using texts::keys;

constexpr QLatin1StringView kRecentFilesKey("RecentFiles");
// About what a menu shows of a path before it is cut.
constexpr int kShownPathCharacters = 60;

QStringList toQt(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names) list << QString::fromStdString(name);
    return list;
}

std::vector<std::string> fromQt(const QStringList& list) {
    std::vector<std::string> names;
    for (const QString& name : list) names.push_back(name.toStdString());
    return names;
}

// A path as a menu shows it literally: '&' would mark a shortcut letter and a tab
// start a shortcut column; other control characters (a Linux name may hold a line
// break) are written as \xNN.
QString shownPath(const QString& path) {
    QString shown;
    for (const QChar character : QDir::toNativeSeparators(path)) {
        if (character.unicode() < 0x20 || character.unicode() == 0x7F) {
            shown += QStringLiteral("\\x") + QStringLiteral("%1").arg(character.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        } else {
            shown += character;
        }
    }
    return shown;
}

}  // namespace

RecentFilesMenu::RecentFilesMenu(QPushButton& button, OpenAndSave& files, const LanguageTexts& texts)
    : button_(button), files_(files), texts_(texts), menu_(new QMenu(&button)) {
    const QString name = texts_.text(keys::kRecentFiles);
    button.setAccessibleName(name);
    button.setToolTip(plainToolTip(name));
    menu_->setAccessibleName(name);
    button.setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &RecentFilesMenu::fillMenu);
    connect(&files_, &OpenAndSave::fileUsed, this, &RecentFilesMenu::add);
}

void RecentFilesMenu::reload() {
    if (!remembering_) return;
    recent_ = files::RecentFiles(fromQt(rememberedValue(kRecentFilesKey, toQt(recent_.names())).toStringList()));
}

void RecentFilesMenu::store() { remembering_ = rememberValue(kRecentFilesKey, toQt(recent_.names())); }

void RecentFilesMenu::add(const QString& path) {
    // A name that is not UTF-8 (ui/workings/local_path.h) cannot be kept in the
    // settings, which hold text.
    if (localPath(path) != localPath(QString::fromStdString(path.toStdString()))) return;
    reload();
    recent_.add(path.toStdString());
    store();
}

void RecentFilesMenu::remove(const QString& path) {
    reload();
    recent_.remove(path.toStdString());
    store();
}

void RecentFilesMenu::fillMenu() {
    reload();
    menu_->clear();
    addFiles();
    if (commands_.empty()) return;
    menu_->addSeparator();
    for (QAction* command : commands_) menu_->addAction(command);
}

void RecentFilesMenu::addFiles() {
    if (recent_.names().empty()) {
        menu_->addAction(texts_.text(keys::kNoRecentFiles).replace(QLatin1Char('&'), QStringLiteral("&&")))
            ->setEnabled(false);
        return;
    }
    // A long path is cut in its middle, where its folders are, so that the menu keeps
    // a readable width and each entry its file name; the whole path is its tooltip.
    const int width = menu_->fontMetrics().averageCharWidth() * kShownPathCharacters;
    menu_->setToolTipsVisible(true);
    int number = 0;
    for (const std::string& name : recent_.names()) {
        const QString path = QString::fromStdString(name);
        QString text = menu_->fontMetrics().elidedText(shownPath(path), Qt::ElideMiddle, width);
        if (files::isGone(localPath(path))) {
            text = texts_.messageText({keys::kRecentFileGone, texts::Title::Warn, {texts::Text{text.toStdString()}}});
        }
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(text));
        action->setToolTip(shownPath(path));
        connect(action, &QAction::triggered, this, [this, path] { choose(path); });
    }
}

void RecentFilesMenu::choose(const QString& path) {
    // The list waits, as Open does, while a Write waits behind one of its boxes.
    if (!button_.isEnabled()) return;
    // Out of the list before the open reports why it could not read it: a name that is
    // gone or is no file (a folder now) would never open again.
    if (files::isNoFile(localPath(path))) remove(path);
    files_.open(path);
}

}  // namespace vostrel::ui
