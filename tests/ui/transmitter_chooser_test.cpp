// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Several transmitters attached: Read and Write first ask which one, by the keyboard
// alone and in the user's language; the choice is offered again until the program
// ends; with one attached nothing changes. The EEPROM line's tooltip names the
// contents fingerprint, and access denied names its remedy.

#include <QLabel>
#include <gtest/gtest.h>

#include "image/fingerprint.h"
#include "image/image_builder.h"
#include "tests/device/emulated_bus.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using device::EmulatedTransmitter;
using Messages = std::vector<ShownMessage>;

const ShownMessage kWrittenMessage{QStringLiteral("Success"), QStringLiteral("Data write completed")};
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
    EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Read"), QStringLiteral("Cancel")}));
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
    EXPECT_EQ(driver.messages().back(), kWrittenMessage);

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
    EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Lesen"), QStringLiteral("Abbrechen")}));
    EXPECT_EQ(driver.message(1).text(), QStringLiteral("Kitchen"));
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
