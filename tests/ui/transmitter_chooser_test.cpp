// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Several transmitters attached: Read and Write first ask which one, by the keyboard
// alone and in the user's language; the choice is offered again until the program
// ends; with one attached nothing changes. Names given in the choice stay with their
// ports and name the transmitter in results; an erased one is empty; a backup is
// restored from a list. The EEPROM line's tooltip names the contents fingerprint, and
// access denied names its remedy.

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "files/backups.h"
#include "files/transmitter_names.h"
#include "image/fingerprint.h"
#include "image/image_builder.h"
#include "tests/device/emulated_bus.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using device::EmulatedTransmitter;
using Messages = std::vector<ShownMessage>;

const ShownMessage kRefusedPreamble{QStringLiteral("Error"), QStringLiteral("Preamble value out of range")};

image::EepromImage siteWith(const char* capcode, const char* message) {
    image::ProgrammerEntries entries;
    entries.rows[0] = {capcode, 3, paging::PagerType::Alphanumeric, message};
    entries.rows[3] = {"4711", 0, paging::PagerType::Numeric, "112"};
    return std::get<image::BuiltImage>(image::buildImage(entries)).image;
}

QString fingerprintOf(const image::EepromImage& image) {
    return QString::fromStdString(image::fingerprintText(image::contentsFingerprint(image)));
}

class TwoTransmitters : public testing::Test {
protected:
    void SetUp() override {
        // Only this test's backups are listed by Restore backup....
        std::filesystem::remove_all(std::get<std::filesystem::path>(files::backupFolder()));
        first_.setEeprom(siteWith("8", "Kitchen"));
        second_.setEeprom(siteWith("9", "Workshop"));
    }

    QString lineOf(const EmulatedTransmitter& transmitter, int port) const {
        return QStringLiteral("Port 1-1.%1: 2 rows, fingerprint %2").arg(port).arg(fingerprintOf(transmitter.eeprom()));
    }

    EmulatedTransmitter first_;
    EmulatedTransmitter second_;
    device::testing::EmulatedBus bus_{{&first_, &second_}};
};

TEST_F(TwoTransmitters, ReadAsksWhichAndReadsTheOneChosen) {
    WindowDriver driver(bus_);
    const ChoiceAnswer answer({Qt::Key_Down, Qt::Key_Return});
    driver.clickRead();
    const SeenChoice& seen = answer.seen();
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QStringLiteral("Transmitter"));
    EXPECT_EQ(seen.listName, QStringLiteral("Several transmitters are attached. Which one?"));
    EXPECT_EQ(seen.lines, (QStringList{lineOf(first_, 2), lineOf(second_, 3)}));
    EXPECT_EQ(seen.selected, 0) << "the first is the default";
    EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Read"), QStringLiteral("&Name..."), QStringLiteral("Cancel")}));
    EXPECT_EQ(driver.messages(), Messages{});
    EXPECT_EQ(driver.message(1).text(), QStringLiteral("Workshop"));
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("9"));
    // The EEPROM line names the fingerprint of what was read.
    EXPECT_EQ(driver.control<QLabel>(QStringLiteral("EepromUse")).toolTip(),
              QStringLiteral("<qt>Contents fingerprint %1</qt>").arg(fingerprintOf(second_.eeprom())));
}

// The choice is offered again with the last one selected; Escape reads nothing.
TEST_F(TwoTransmitters, TheChoiceIsRememberedAndCancelDoesNothing) {
    WindowDriver driver(bus_);
    const ChoiceAnswer chooseSecond({Qt::Key_Down, Qt::Key_Return});
    driver.clickRead();
    ASSERT_TRUE(chooseSecond.seen().shown);
    const WindowView read = driver.view();
    const std::size_t firstReports = first_.receivedReports().size();

    const ChoiceAnswer cancel({Qt::Key_Escape});
    driver.clickRead();
    EXPECT_EQ(cancel.seen().selected, 1);
    EXPECT_EQ(driver.view(), read);
    EXPECT_EQ(driver.messages(), Messages{});
    EXPECT_EQ(first_.receivedReports().size(), firstReports + image::kImageWords) << "only the choice's own read";
}

// A Write asks too, after its entries have built, with its own caption; the one chosen
// is the only one written.
TEST_F(TwoTransmitters, WriteGoesToTheOneChosenOnly) {
    WindowDriver driver(bus_);
    driver.enterRow(2, {QStringLiteral("555"), 0, 0, QStringLiteral("123")});
    driver.presenter().confirmAnswer = true;
    const image::EepromImage firstBefore = first_.eeprom();
    const ChoiceAnswer answer({Qt::Key_Down, Qt::Key_Return});
    driver.clickWrite();
    EXPECT_EQ(answer.seen().buttons.front(), QStringLiteral("&Write"));
    EXPECT_EQ(first_.eeprom(), firstBefore);
    EXPECT_EQ(image::decodeImage(second_.eeprom()).rows[1].capcode, "555");
    EXPECT_EQ(driver.messages().back().second.section(QLatin1Char('\n'), 0, 1),
              QStringLiteral("Data write completed\nTransmitter: Port 1-1.3"));

    driver.setPreamble(QStringLiteral("575"));  // a Write that refuses asks nothing
    const ChoiceAnswer none({Qt::Key_Return});
    driver.clickWrite();
    EXPECT_FALSE(none.seen().shown) << none.seen().lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(driver.messages().back(), kRefusedPreamble);
}

TEST_F(TwoTransmitters, TheChoiceSpeaksTheUsersLanguage) {
    const LanguageFileForTest german(exampleTranslation());
    second_.setPresence(device::EmulatorPresence::Busy);
    WindowDriver driver(bus_);
    const ChoiceAnswer answer({Qt::Key_Return});
    driver.clickRead();
    const SeenChoice& seen = answer.seen();
    EXPECT_EQ(seen.title, QStringLiteral("Sender"));
    EXPECT_EQ(seen.question, QStringLiteral("Mehrere Sender sind &angeschlossen. Welchen?"));
    EXPECT_EQ(seen.lines, (QStringList{QStringLiteral("Anschluss 1-1.2: 2 Zeilen, Fingerabdruck ") +
                                           fingerprintOf(first_.eeprom()),
                                       QStringLiteral("Anschluss 1-1.3: Sender wird gerade von einem anderen Programm "
                                                      "benutzt")}));
    EXPECT_EQ(seen.buttons,
              (QStringList{QStringLiteral("&Lesen"), QStringLiteral("&Benennen..."), QStringLiteral("Abbrechen")}));
    EXPECT_EQ(driver.message(1).text(), QStringLiteral("Kitchen"));
}

// Answers the next name question with `name`, and records what it asked and offered.
class NameAnswer {
public:
    explicit NameAnswer(QString name) : name_(std::move(name)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }
    bool shown = false;
    QString question;
    QString offered;

private:
    void answer() {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        timer_.stop();
        shown = true;
        question = dialog->labelText();
        offered = dialog->textValue();
        auto* box = dialog->findChild<QLineEdit*>();
        box->selectAll();
        typeCharacters(*box, name_);
        QTest::keyClick(box, Qt::Key_Return);
    }

    QString name_;
    QTimer timer_;
};

// Named in the chooser by the keyboard alone: the name is on the line at once, in the
// next run's chooser, in the Write's result and in the backup's name; the line of the
// transmitter that holds the window's rows says so.
TEST_F(TwoTransmitters, ANameGivenInTheChooserStaysWithItsPort) {
    {
        WindowDriver driver(bus_);
        const NameAnswer name(QStringLiteral("Erdgeschoß"));
        const ChoiceAnswer answer({Qt::Key_Down, Qt::ALT | Qt::Key_N, Qt::Key_Escape});
        driver.clickRead();
        ASSERT_TRUE(name.shown);
        EXPECT_EQ(name.question, QStringLiteral("Name of the transmitter at 1-1.3 (empty for none):"));
        EXPECT_EQ(name.offered, QString());
    }
    WindowDriver nextRun(bus_);
    nextRun.enterRow(2, {QStringLiteral("555"), 0, 0, QStringLiteral("123")});
    const ChoiceAnswer chooseNamed({Qt::Key_Down, Qt::Key_Return});
    nextRun.clickWrite();
    EXPECT_EQ(chooseNamed.seen().lines,
              (QStringList{lineOf(first_, 2), QStringLiteral("Erdgeschoß (port 1-1.3): 2 rows, fingerprint ") +
                                                  fingerprintOf(siteWith("9", "Workshop"))}));
    const QStringList result = nextRun.messages().back().second.split(QLatin1Char('\n'));
    ASSERT_EQ(result.size(), 3) << nextRun.messages().back().second.toStdString();
    EXPECT_EQ(result[0], QStringLiteral("Data write completed"));
    EXPECT_EQ(result[1], QStringLiteral("Transmitter: Erdgeschoß (port 1-1.3)"));
    EXPECT_TRUE(result[2].startsWith(QStringLiteral("The previous contents are in the backup ")) &&
                result[2].endsWith(QStringLiteral("-Erdgeschoß.bin")))
        << result[2].toStdString();

    // The window's rows are now on the second: its line says so, and a Write of them
    // sends nothing and says that too.
    const ChoiceAnswer again({Qt::Key_Return});
    nextRun.clickWrite();
    EXPECT_EQ(again.seen().lines.at(1), QStringLiteral("Erdgeschoß (port 1-1.3): 1 row, fingerprint ") +
                                            fingerprintOf(second_.eeprom()) + QStringLiteral("; holds the window's rows"));
    EXPECT_EQ(again.seen().selected, 1) << "the one written last";
    EXPECT_EQ(nextRun.messages().back().second,
              QStringLiteral("Data write completed\nTransmitter: Erdgeschoß (port 1-1.3)\n"
                             "Nothing was sent; the transmitter already held these words"));
}

// A new transmitter reads as empty, not as faulty: the chooser says so, a Read empties
// the rows, keeps the settings and says which transmitter it read.
TEST_F(TwoTransmitters, AnErasedTransmitterIsEmpty) {
    image::EepromImage erased;
    erased.bytes.fill(0xFF);
    second_.setEeprom(erased);
    const LanguageFileForTest german(exampleTranslation());
    WindowDriver driver(bus_);
    driver.enterRow(1, {QStringLiteral("77"), 0, 0, QStringLiteral("1")});
    driver.choose(driver.control<QComboBox>(QStringLiteral("DataRate")), 2);
    const ChoiceAnswer answer({Qt::Key_Down, Qt::Key_Return});
    driver.clickRead();
    EXPECT_EQ(answer.seen().lines.at(1), QStringLiteral("Anschluss 1-1.3: leer (gelöscht)"));
    EXPECT_EQ(driver.messages(),
              (Messages{{QStringLiteral("Erledigt"),
                         QStringLiteral("Der Sender ist leer (gelöscht): Er enthält keine Rufe und keine Einstellungen; "
                                        "die Einstellungen im Fenster bleiben, wie sie waren\nSender: Anschluss 1-1.3")}}));
    const WindowView view = driver.view();
    EXPECT_EQ(view.dataRate, 2);
    for (const RowView& row : view.rows) EXPECT_TRUE(row.capCode.isEmpty() && row.message.isEmpty());
}

// Answers the list of backups with `keys` pressed in it, and records its lines.
class BackupAnswer {
public:
    explicit BackupAnswer(std::vector<Qt::Key> keys) : keys_(std::move(keys)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }
    QStringList headings;
    std::vector<QStringList> lines;

private:
    void answer() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        timer_.stop();
        auto* list = dialog->findChild<QTreeWidget*>();
        ASSERT_NE(list, nullptr) << dialog->windowTitle().toStdString();
        EXPECT_EQ(dialog->focusWidget(), list);
        for (int column = 0; column < list->columnCount(); ++column) headings << list->headerItem()->text(column);
        for (int line = 0; line < list->topLevelItemCount(); ++line) {
            QStringList cells;
            for (int column = 0; column < list->columnCount(); ++column) cells << list->topLevelItem(line)->text(column);
            lines.push_back(cells);
        }
        for (const Qt::Key key : keys_) QTest::keyClick(list, key);
    }

    std::vector<Qt::Key> keys_;
    QTimer timer_;
};

void restoreBackup(WindowDriver& driver) {
    QMenu* menu = driver.control<QPushButton>(QStringLiteral("BtnRecent")).menu();
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("Restore &backup...")) return action->trigger();
    }
    ADD_FAILURE() << "no Restore backup... in the menu beside Open";
}

// Restore backup... lists the backups newest first by transmitter, puts the one chosen
// into the window as Open does, and the next Write goes back where it came from.
TEST_F(TwoTransmitters, RestoreBackupFillsTheWindowReadyForItsTransmitter) {
    WindowDriver driver(bus_);
    const image::EepromImage workshop = second_.eeprom();
    driver.enterRow(1, {QStringLiteral("555"), 0, 0, QStringLiteral("123")});
    const ChoiceAnswer second({Qt::Key_Down, Qt::Key_Return});
    driver.clickWrite();
    const ChoiceAnswer first({Qt::Key_Up, Qt::Key_Return});
    driver.clickWrite();

    const BackupAnswer answer({Qt::Key_Down, Qt::Key_Return});
    restoreBackup(driver);
    EXPECT_EQ(answer.headings, (QStringList{QStringLiteral("Taken"), QStringLiteral("Transmitter"),
                                            QStringLiteral("Rows"), QStringLiteral("Contents fingerprint")}));
    ASSERT_EQ(answer.lines.size(), 2U);
    EXPECT_EQ(answer.lines[0].mid(1), (QStringList{QStringLiteral("Port 1-1.2"), QStringLiteral("2"),
                                                   fingerprintOf(siteWith("8", "Kitchen"))}));
    EXPECT_EQ(answer.lines[1].mid(1),
              (QStringList{QStringLiteral("Port 1-1.3"), QStringLiteral("2"), fingerprintOf(workshop)}));
    EXPECT_EQ(driver.message(1).text(), QStringLiteral("Workshop"));
    EXPECT_EQ(driver.capCode(1).text(), QStringLiteral("9"));

    const ChoiceAnswer back({Qt::Key_Return});
    driver.clickWrite();
    EXPECT_EQ(back.seen().selected, 1) << "the transmitter the backup came from";
    EXPECT_EQ(fingerprintOf(second_.eeprom()), fingerprintOf(workshop));
}

// A result box is as wide as its title needs: a German "Erledigt" over a short text was
// cut to "Erl… igt".
TEST(ResultBox, IsWideEnoughForItsTitle) {
    ui::MessageBoxPresenter presenter;
    int width = 0;
    int titleWidth = 0;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (box == nullptr || !box->isVisible()) continue;
            QFont bold = box->font();
            bold.setBold(true);
            titleWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
            width = box->width();
            box->accept();
        }
    });
    presenter.show(QStringLiteral("Erfolgreich abgeschlossen"), QStringLiteral("Daten"));
    EXPECT_GT(titleWidth, 0);
    EXPECT_GE(width, titleWidth + 100);
}

// The names section as Qt's own settings reads and writes it: what the window's Qt
// rewrites when it remembers a choice keeps every name, and a file it wrote reads back.
TEST(NamesInTheSettingsFile, QtReadsAndWritesThemAlike) {
    const QTemporaryDir folder;
    const std::filesystem::path file = std::filesystem::path(folder.path().toStdString()) / "settings.ini";
    const std::vector<std::string> names = {"Erdgeschoss", "Küche, 1. OG", " @Dach \"Süd\" ;\\ ", "Ωmega=日本"};
    files::TransmitterNames given;
    for (std::size_t n = 0; n < names.size(); ++n) ASSERT_EQ(given.give("1-1." + std::to_string(n), names[n]), std::nullopt);
    ASSERT_EQ(files::saveTransmitterNames(file, given), std::nullopt);
    {
        QSettings qt(QString::fromStdString(file.string()), QSettings::IniFormat);
        const int size = qt.beginReadArray(QStringLiteral("TransmitterNames"));
        ASSERT_EQ(size, static_cast<int>(names.size()));
        for (int n = 0; n < size; ++n) {
            qt.setArrayIndex(n);
            EXPECT_EQ(qt.value(QStringLiteral("name")).toString().toStdString(), given.names()[n].name);
            EXPECT_EQ(qt.value(QStringLiteral("port")).toString(), QStringLiteral("1-1.%1").arg(n));
        }
        qt.endArray();
        qt.setValue(QStringLiteral("Window/Alphabet"), QStringLiteral("DE"));  // Qt writes the whole file anew
    }
    const auto reread = files::loadTransmitterNames(file);
    ASSERT_TRUE(std::holds_alternative<files::TransmitterNames>(reread));
    EXPECT_EQ(std::get<files::TransmitterNames>(reread).names(), given.names());
    {
        QSettings qt(QString::fromStdString(file.string()), QSettings::IniFormat);
        qt.beginWriteArray(QStringLiteral("TransmitterNames"));
        qt.setArrayIndex(0);
        qt.setValue(QStringLiteral("name"), QStringLiteral("Tab\there, \"Ä\""));
        qt.setValue(QStringLiteral("port"), QStringLiteral("PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)"));
        qt.endArray();
    }
    const files::TransmitterNames fromQt = std::get<files::TransmitterNames>(files::loadTransmitterNames(file));
    EXPECT_EQ(fromQt.nameAt("PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)"), std::nullopt) << "a tab is refused";
    EXPECT_EQ(std::get<files::SettingsEntries>(files::readSettingsSection(file, "TransmitterNames")).front().second,
              "Tab\there, \"Ä\"");
}

// One transmitter: no choice, and nothing read but the Read's own words.
TEST(ChooserAndRemedy, OneTransmitterIsNotAskedFor) {
    EmulatedTransmitter only;
    only.setEeprom(siteWith("8", "Kitchen"));
    device::testing::EmulatedBus bus({&only});
    WindowDriver driver(bus);
    const ChoiceAnswer answer({Qt::Key_Return});
    driver.clickRead();
    EXPECT_FALSE(answer.seen().shown);
    EXPECT_EQ(only.receivedReports().size(), image::kImageWords);
    EXPECT_EQ(driver.message(1).text(), QStringLiteral("Kitchen"));
}

// A system that names a remedy for access denied: it is the box's second line.
TEST(ChooserAndRemedy, AccessDeniedNamesTheRemedyOnTheBoxsSecondLine) {
    class WithRemedy final : public device::HidTransport {
    public:
        explicit WithRemedy(EmulatedTransmitter& inner) : inner_(inner) {}
        std::vector<device::HidDeviceInfo> enumerate(std::uint16_t vendor, std::uint16_t product) override {
            return inner_.enumerate(vendor, product);
        }
        device::OpenResult open(const device::HidDeviceInfo& device) override { return inner_.open(device); }
        std::optional<texts::Message> accessDeniedRemedy() const override {
            return texts::Message{texts::keys::kDeviceAccessRemedy, texts::Title::Error,
                                  {texts::Text{"70-vostrel-transmitter.rules"}}};
        }

    private:
        EmulatedTransmitter& inner_;
    };
    EmulatedTransmitter denied;
    denied.setPresence(device::EmulatorPresence::AccessDenied);
    WithRemedy system(denied);
    const LanguageFileForTest german(exampleTranslation());
    WindowDriver driver(system);
    driver.clickRead();
    EXPECT_EQ(driver.messages(),
              (Messages{{QStringLiteral("Fehler"),
                         QStringLiteral("Sender gefunden, aber der Zugriff wurde verweigert\nDie udev-Regel "
                                        "70-vostrel-transmitter.rules installieren (das Paket tut das; von Hand: "
                                        "Benutzerhandbuch, Kapitel „USB-Zugriff unter Linux“) und den Sender aus- "
                                        "und wieder einstecken")}}));
}

}  // namespace
}  // namespace vostrel::test
