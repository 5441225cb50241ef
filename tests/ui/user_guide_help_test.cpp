// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Help: F1 anywhere in the window and the Help button ask the desktop to open the user
// guide's first page in the window's language. A handler for file: addresses takes the
// request in place of the browser.

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "files/program_folders.h"
#include "files/user_guide.h"
#include "files/utf8_path.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {

class OpenedAddresses : public QObject {
    Q_OBJECT

public:
    OpenedAddresses() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedAddresses() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> addresses;

public slots:
    void open(const QUrl& address) { addresses << address; }
};

namespace {

// The guide's pages in `languages`, where the Windows installer puts them: beside the
// program, here the test program.
class GuideBesideTheProgram {
public:
    explicit GuideBesideTheProgram(const QStringList& languages) {
        for (const QString& language : languages) {
            QDir().mkpath(folder().filePath(language));
            QFile page(page_(language));
            if (!page.open(QIODevice::WriteOnly) || page.write("<html></html>") < 0) {
                throw std::runtime_error("cannot write the guide's page");
            }
        }
    }
    ~GuideBesideTheProgram() { folder().removeRecursively(); }
    GuideBesideTheProgram(const GuideBesideTheProgram&) = delete;
    GuideBesideTheProgram& operator=(const GuideBesideTheProgram&) = delete;

    static QUrl address(const QString& language) { return QUrl::fromLocalFile(page_(language)); }

private:
    static QDir folder() { return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/user-guide")); }
    static QString page_(const QString& language) { return folder().filePath(language + QStringLiteral("/index.html")); }
};

enum class Press { F1InARowsBox, HelpButton };

void askForHelp(WindowDriver& driver, Press press) {
    if (press == Press::HelpButton) {
        driver.control<QPushButton>(QStringLiteral("BtnHelp")).click();
        return;
    }
    driver.capCode(3).setFocus();
    QTest::keyClick(&driver.capCode(3), Qt::Key_F1);
}

TEST(UserGuideHelp, F1AndTheHelpButtonOpenTheGuideInTheWindowsLanguage) {
    const struct {
        const char* what;
        QByteArray translation;
        Press press;
        QString opened;  // the language of the page asked for
        QString buttonName;
    } cases[] = {
        {"German example, F1", exampleTranslation(), Press::F1InARowsBox, QStringLiteral("de"), QStringLiteral("Hilfe")},
        {"German example, the button", exampleTranslation(), Press::HelpButton, QStringLiteral("de"),
         QStringLiteral("Hilfe")},
        {"no translation", "", Press::F1InARowsBox, QStringLiteral("en"), QStringLiteral("Help")},
        {"a language named in capitals", "[Message]\nLanguageCode = DE\n", Press::HelpButton, QStringLiteral("de"),
         QStringLiteral("Help")},
        {"a language the guide is not written in", "[Message]\nLanguageCode=fr\n&Help=&Aide\n", Press::F1InARowsBox,
         QStringLiteral("en"), QStringLiteral("Aide")},
    };
    const GuideBesideTheProgram guide({QStringLiteral("en"), QStringLiteral("de")});
    for (const auto& c : cases) {
        const LanguageFileForTest language(c.translation);
        device::EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        const OpenedAddresses browser;
        askForHelp(driver, c.press);
        EXPECT_EQ(browser.addresses, QList<QUrl>{GuideBesideTheProgram::address(c.opened)}) << c.what;
        EXPECT_TRUE(driver.messages().empty()) << c.what;
        EXPECT_EQ(driver.control<QPushButton>(QStringLiteral("BtnHelp")).accessibleName(), c.buttonName) << c.what;
    }
}

TEST(UserGuideHelp, AGuideThatIsNotThereIsReportedWithItsPlace) {
    const LanguageFileForTest german(exampleTranslation());
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    const OpenedAddresses browser;
    askForHelp(driver, Press::F1InARowsBox);
    // Named as the program finds its own folder.
    const auto place = files::installedUserGuidePage(files::runningProgramFolder().value());
    EXPECT_TRUE(browser.addresses.isEmpty());
    EXPECT_EQ(driver.messages(),
              (std::vector<ShownMessage>{{QStringLiteral("Fehler"),
                                          QStringLiteral("Das Benutzerhandbuch ist nicht installiert: %1 fehlt. Eine "
                                                         "erneute Installation der Programme legt es dorthin")
                                              .arg(QString::fromStdString(files::utf8Name(place)))}}));
}

}  // namespace
}  // namespace vostrel::test

#include "user_guide_help_test.moc"
