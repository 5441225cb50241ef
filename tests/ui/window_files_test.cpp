// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The files the window takes from outside: those named on its command line, and the
// recent files dropped down beside Open by the keyboard, kept for the next run.

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"
#include "ui/dialogs/file_dialog.h"

namespace vostrel::test {
namespace {

void writeBytes(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

QByteArray configurationWithRow(int capCode) {
    return "[Item01]\nCapCode = " + QByteArray::number(capCode) + "\nMessage = \"12345\"\n";
}

// Whether the menu showed `expected` entries: each as it is, or with its path cut in
// the middle ("…"). How much is cut depends on the font's measure, so a long
// temporary folder (Windows') may be.
testing::AssertionResult shownAs(const QStringList& entries, const QStringList& expected) {
    const auto same = [](const QString& entry, const QString& whole) {
        const qsizetype cut = entry.indexOf(QChar(0x2026));
        if (cut < 0) return entry == whole;
        return whole.size() > entry.size() && whole.startsWith(entry.left(cut)) && whole.endsWith(entry.mid(cut + 1));
    };
    if (entries.size() == expected.size() && std::equal(entries.begin(), entries.end(), expected.begin(), same)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "shown:    " << entries.join(QStringLiteral(" | ")).toStdString()
                                       << "\nexpected: " << expected.join(QStringLiteral(" | ")).toStdString();
}

class FilesFromOutside : public testing::Test {
protected:
    QString path(const char* name) const { return directory_.filePath(QString::fromUtf8(name)); }

    // Drops the recent files down with the keyboard, hands the open menu's entries to
    // `seen`, then presses `key` in it. The menu is looked for until it is there: Qt 6.4
    // runs it within the key press (exec), Qt 6.8 after it (popup).
    void pressInRecentFiles(WindowDriver& driver, Qt::Key key, QStringList* seen = nullptr) {
        auto& button = driver.control<QPushButton>(QStringLiteral("BtnRecent"));
        driver.activate();
        button.setFocus(Qt::TabFocusReason);
        bool menuOpened = false;
        QTimer lookForMenu;
        lookForMenu.setInterval(10);
        QObject::connect(&lookForMenu, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || !menu->isVisible()) return;
            lookForMenu.stop();
            menuOpened = true;
            if (seen != nullptr) {
                seen->clear();
                for (const QAction* action : menu->actions()) *seen << action->text();
            }
            QTest::keyClick(menu, key);
            // A key that chooses nothing leaves the menu open.
            if (menu->isVisible()) menu->close();
        });
        lookForMenu.start();
        QTest::keyClick(&button, Qt::Key_Space);
        if (!QTest::qWaitFor([&] { return menuOpened; }, 5000)) {
            throw std::runtime_error("Space did not drop the recent files down");
        }
    }

    QTemporaryDir directory_;
};

TEST_F(FilesFromOutside, OfTheFilesGivenTheFirstIsOpenedWithANote) {
    writeBytes(path("first.vostrel"), configurationWithRow(1111));
    writeBytes(path("second.vostrel"), configurationWithRow(2222));
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);

    driver.window().openGivenFiles({path("first.vostrel"), path("second.vostrel"), path("not-there.vostrel")});
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("1111"));
    EXPECT_EQ(driver.messages(), (std::vector<ShownMessage>{
                                     {QStringLiteral("Warn"), QStringLiteral("Only the first of the 3 files given was opened")}}));

    // A refused file is refused as Open refuses it, and the window stays as it was.
    driver.messages().clear();
    driver.window().openGivenFiles({path("not-there.vostrel")});
    ASSERT_EQ(driver.messages().size(), 1U);
    EXPECT_TRUE(driver.messages()[0].second.startsWith(QStringLiteral("The file cannot be read\n"))) << driver.messages()[0].second.toStdString();
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("1111"));

    // A site list is imported, as Import CSV imports it.
    driver.messages().clear();
    writeBytes(path("site.CSV"), "CapCode;Message\r\n4711;123\r\n");
    driver.window().openGivenFiles({path("site.CSV")});
    EXPECT_TRUE(driver.messages().empty());
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("4711"));
}

// Beneath the files, after a separator, the menu's own command.
const QStringList kCommands{QString(), QStringLiteral("Restore &backup...")};

TEST_F(FilesFromOutside, RecentFilesComeBackByKeyboardInTheNextRunAndAGoneOneLeavesWhenChosen) {
    writeBytes(path("opened.conf"), configurationWithRow(1111));
    writeBytes(path("gone.vostrel"), configurationWithRow(3333));
    QStringList entries;
    {
        device::EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        pressInRecentFiles(driver, Qt::Key_Escape, &entries);
        EXPECT_EQ(entries, (QStringList{QStringLiteral("No recent files")} + kCommands));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&driver.control<QPushButton>(QStringLiteral("BtnRecent")))
                      ->text(QAccessible::Name),
                  QStringLiteral("Recent files"));

        driver.window().openFile(path("gone.vostrel"));
        driver.window().openFile(path("opened.conf"));
        driver.enterRow(2, {QStringLiteral("2222"), 0, 0, QString()});
        driver.window().saveFile(path("saved.vostrel"));
        ASSERT_TRUE(driver.messages().empty());
    }
    ASSERT_TRUE(QFile::remove(path("gone.vostrel")));

    // The next run.
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    pressInRecentFiles(driver, Qt::Key_2, &entries);
    const QString shown = QDir::toNativeSeparators(directory_.path()) + QDir::separator();
    EXPECT_TRUE(shownAs(entries, QStringList{QStringLiteral("&1 ") + shown + QStringLiteral("saved.vostrel"),
                                             QStringLiteral("&2 ") + shown + QStringLiteral("opened.conf"),
                                             QStringLiteral("&3 ") + shown + QStringLiteral("gone.vostrel (gone)")} +
                                     kCommands));
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("1111"));
    EXPECT_EQ(driver.capCode(2).text(), QString());

    // Chosen, the gone file is reported as Open reports it and leaves the list; the
    // file opened last comes first.
    pressInRecentFiles(driver, Qt::Key_3);
    ASSERT_EQ(driver.messages().size(), 1U);
    EXPECT_TRUE(driver.messages()[0].second.startsWith(QStringLiteral("The file cannot be read\n")));
    pressInRecentFiles(driver, Qt::Key_Escape, &entries);
    EXPECT_TRUE(shownAs(entries, QStringList{QStringLiteral("&1 ") + shown + QStringLiteral("opened.conf"),
                                             QStringLiteral("&2 ") + shown + QStringLiteral("saved.vostrel")} +
                                     kCommands));

    // The file dialog starts in the folder used last, in the run before too.
    QString dialogFolder;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialogFolder = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    QTest::mouseClick(&driver.control<QPushButton>(QStringLiteral("BtnOpen")), Qt::LeftButton);
    EXPECT_EQ(dialogFolder, QDir(directory_.path()).absolutePath());

    // A name that is now a folder is refused as Open refuses it, and leaves the list too.
    ASSERT_TRUE(QFile::remove(path("saved.vostrel")) && QDir(directory_.path()).mkdir(QStringLiteral("saved.vostrel")));
    driver.messages().clear();
    pressInRecentFiles(driver, Qt::Key_2);
    ASSERT_EQ(driver.messages().size(), 1U);
    EXPECT_TRUE(driver.messages()[0].second.endsWith(QStringLiteral(": not a regular file")));
    // A long path is cut in its middle, keeping the file's name.
    const QString deep = path(std::string(120, 'd').c_str());
    ASSERT_TRUE(QDir().mkpath(deep));
    driver.window().saveFile(deep + QStringLiteral("/deep.vostrel"));
    pressInRecentFiles(driver, Qt::Key_Escape, &entries);
    ASSERT_EQ(entries.size(), 2 + kCommands.size());
    EXPECT_TRUE(entries[0].contains(QChar(0x2026)) && entries[0].endsWith(QStringLiteral("deep.vostrel"))) << entries[0].toStdString();
    EXPECT_LT(entries[0].size(), 100);
    EXPECT_TRUE(shownAs(entries.mid(1, 1), {QStringLiteral("&2 ") + shown + QStringLiteral("opened.conf")}));
}

// Every file dialog starts in the one folder used last, by any of them, and before any
// in the user's Documents folder: never in the working folder, which for the
// installer's shortcuts was the program's own.
TEST_F(FilesFromOutside, EveryFileDialogStartsInTheOneFolderUsedLastElseInDocuments) {
#ifndef Q_OS_WIN
    // A home of the test's own, with its Documents folder (Windows names its own).
    const QByteArray home = qgetenv("HOME");
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
    ASSERT_TRUE(QDir(directory_.path()).mkpath(QStringLiteral("home/Documents")));
    qputenv("HOME", QFile::encodeName(path("home")));
#endif
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QFileInfo(documents).isDir()) << documents.toStdString();
    ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("work")));
    ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("lists")));
    const QString before = QDir::currentPath();
    const auto restoreWorkingFolder = qScopeGuard([&] { QDir::setCurrent(before); });
    ASSERT_TRUE(QDir::setCurrent(path("work")));

    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    // The folder the button's dialog starts in; `chosen` is chosen there, or nothing.
    const auto startsIn = [&](const char* button, const QString& chosen = {}) {
        QString folder;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            folder = dialog->directory().absolutePath();
            if (chosen.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(chosen);
                static_cast<QDialog*>(dialog)->accept();  // QFileDialog keeps its accept() protected
            }
        });
        QTest::mouseClick(&driver.control<QPushButton>(QString::fromLatin1(button)), Qt::LeftButton);
        return folder;
    };
    EXPECT_EQ(startsIn("BtnSave"), QDir(documents).absolutePath());
    EXPECT_EQ(startsIn("BtnExportCsv", path("lists/site.csv")), QDir(documents).absolutePath());
    ASSERT_TRUE(QFile::exists(path("lists/site.csv")));
    EXPECT_EQ(startsIn("BtnOpen"), QDir(path("lists")).absolutePath());
}

// The last folder, remembered from a run before, is on a stick since removed: the
// dialog does not take its name for the file's, to which a typed name would be added.
TEST_F(FilesFromOutside, AFolderThatHasGoneIsNotTakenForAFileName) {
    ASSERT_TRUE(QDir(directory_.path()).mkdir(QStringLiteral("Stick")));
    writeBytes(path("Stick/site.vostrel"), configurationWithRow(1111));
    {
        device::EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        driver.window().openFile(path("Stick/site.vostrel"));
    }
    ASSERT_TRUE(QDir(path("Stick")).removeRecursively());
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    QStringList selected{QStringLiteral("no dialog")};
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            selected = dialog->selectedFiles();
            dialog->reject();
        }
    });
    QTest::mouseClick(&driver.control<QPushButton>(QStringLiteral("BtnSave")), Qt::LeftButton);
    EXPECT_TRUE(selected.filter(QStringLiteral("Stick")).isEmpty()) << selected.join(u',').toStdString();
}

// A name typed without an extension gets the file type's; one with any extension keeps
// it (Windows' own dialog would save site.conf as site.conf.vostrel); a file that is
// there under the name is asked about first, in the user's language.
TEST_F(FilesFromOutside, ANameTypedWithoutAnExtensionGetsTheFileTypesAndAFileThereIsAskedAbout) {
    writeBytes(path("there.vostrel"), configurationWithRow(1111));
    const struct {
        const char* typed;
        bool replace;
        QString saved;
        std::size_t questions;
    } cases[] = {
        {"site", true, path("site.vostrel"), 0},
        {"site.conf", true, path("site.conf"), 0},
        {"there", true, path("there.vostrel"), 1},
        {"there", false, QString(), 1},
        {"there.vostrel", true, path("there.vostrel"), 1},
    };
    for (const auto& c : cases) {
        RecordingPresenter presenter;
        presenter.confirmAnswer = c.replace;
        const ui::MessageReporter reporter(ui::LanguageTexts(texts::Translation(texts::Language::English)), presenter);
        EXPECT_EQ(ui::nameToSave(path(c.typed), QStringLiteral("vostrel"), reporter), c.saved) << c.typed;
        ASSERT_EQ(presenter.shown.size(), c.questions) << c.typed;
        if (c.questions == 0) continue;
        EXPECT_EQ(presenter.shown[0].second,
                  QDir::toNativeSeparators(path("there.vostrel")) + QStringLiteral(" already exists. Replace it?"));
        EXPECT_EQ(presenter.buttons.first, QStringLiteral("&Replace"));
    }
}

}  // namespace
}  // namespace vostrel::test
