// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Read and Write through the window against the emulated transmitter: every outcome
// with the exact messages shown, and what the device and the window hold afterwards.

#include <QApplication>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <tuple>

#include "image/image_reader.h"
#include "image/slot_table.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using device::EmulatedTransmitter;
using device::EmulatorFault;
using device::EmulatorPresence;
using Messages = std::vector<ShownMessage>;

ShownMessage error(const char* text) { return {QStringLiteral("Error"), QString::fromUtf8(text)}; }
const ShownMessage kWriteCompleted{QStringLiteral("Success"), QStringLiteral("Data write completed")};

// Rows a user typed, with each kind of row in it.
const std::vector<std::pair<int, RowInput>> kTypedRows = {
    {1, {QStringLiteral("1234"), 0, 0, QStringLiteral("0123456789")}},
    {2, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("Call the office, room 12")}},
    {5, {QStringLiteral("2097151"), kToneB, 0, QString()}},
    {9, {QStringLiteral("77"), 0, 0, QStringLiteral("12 34-5U")}},
    {16, {QStringLiteral("100005"), kToneC, 0, QString()}},
};

void enterRows(WindowDriver& driver, const std::vector<std::pair<int, RowInput>>& rows) {
    for (const auto& [row, input] : rows) driver.enterRow(row, input);
}

// The numeric decoder hands back messages padded with blanks to whole groups of five.
QString paddedNumeric(const QString& message) {
    const qsizetype padded = (message.size() + 4) / 5 * 5;
    return message.leftJustified(padded, QLatin1Char(' '));
}

class Commands : public testing::Test {
protected:
    // The window as a Read gives it back after a Write of `written`.
    static WindowView readBack(WindowView written) {
        for (RowView& row : written.rows) {
            if (row.type == 0) row.message = paddedNumeric(row.message);
        }
        return written;
    }

    image::PagerRows deviceRows() const { return image::decodeImage(transmitter_.eeprom()).rows; }
    bool deviceUntouched() const { return transmitter_.openCount() == 0 && transmitter_.receivedReports().empty(); }

    EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
};

TEST_F(Commands, WriteProgramsTheTypedRowsAndReportsCompletion) {
    enterRows(driver_, kTypedRows);
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), Messages{kWriteCompleted});
    const image::PagerRows rows = deviceRows();
    EXPECT_EQ(rows[1].capcode, "8");
    EXPECT_EQ(rows[1].type, paging::PagerType::Alphanumeric);
    EXPECT_EQ(rows[1].message, "Call the office, room 12");
    EXPECT_EQ(rows[4].tone, unsigned(kToneB));
    EXPECT_EQ(rows[8].message, "12 34-5U  ");
    EXPECT_EQ(rows[2], image::PagerItem{});
    EXPECT_EQ(transmitter_.closeCount(), transmitter_.openCount());
}

TEST_F(Commands, WriteOfAnEmptyWindowSendsHeaderAndEmptySlotTable) {
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), Messages{kWriteCompleted});
    EXPECT_EQ(transmitter_.receivedReports().size(), 17U);
    for (unsigned row = 0; row < image::kRowCount; ++row) EXPECT_FALSE(image::loadSlot(transmitter_.eeprom(), row).inUse());
}

TEST_F(Commands, RefusedWritesShowTheirMessageAndNeverTouchTheDevice) {
    struct Case {
        const char* what;
        std::function<void(WindowDriver&)> enter;
        ShownMessage expected;
    };
    const Case cases[] = {
        {"preamble 575", [](WindowDriver& d) { d.setPreamble(QStringLiteral("575")); },
         error("Preamble value out of range")},
        {"preamble 1024", [](WindowDriver& d) { d.setPreamble(QStringLiteral("1024")); },
         error("Preamble value out of range")},
        {"blank preamble", [](WindowDriver& d) { d.setPreamble(QString()); }, error("Preamble value out of range")},
        {"letter in a numeric row",
         [](WindowDriver& d) { d.enterRow(3, {QStringLiteral("12"), 0, 0, QStringLiteral("12a")}); },
         error("Invalid code 'a' in Item[03]")},
        {"non-ASCII letter in a numeric row",
         [](WindowDriver& d) { d.enterRow(11, {QStringLiteral("12"), 0, 0, QStringLiteral("4é")}); },
         error("Invalid code 'é' in Item[11]")},
        {"en dash in a numeric row",
         [](WindowDriver& d) { d.enterRow(2, {QStringLiteral("12"), 0, 0, QStringLiteral("1–2")}); },
         error("Invalid code '–' in Item[02]")},
        {"accent in an alphanumeric row",
         [](WindowDriver& d) { d.enterRow(5, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("ü é")}); },
         error("Invalid code 'ü' in Item[05]")},
        {"Cyrillic in an alphanumeric row",
         [](WindowDriver& d) {
             d.enterRow(6, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("5 Привет")});
         },
         error("Invalid code 'П' in Item[06]")},
        {"pasted emoji in an alphanumeric row",
         [](WindowDriver& d) {
             d.enterRow(7, {QStringLiteral("8"), kToneD, kAlphnumeric, QString()});
             d.message(7).insert(QStringLiteral("ok 😀 é"));
         },
         error("Invalid code '😀' in Item[07]")},
        {"capcode beyond 21 bits", [](WindowDriver& d) { d.enterRow(4, {QStringLiteral("2097152"), 0, 0, QString()}); },
         error("CapCode out of range in Item[04]")},
    };
    for (const Case& c : cases) {
        EmulatedTransmitter transmitter;
        transmitter.setPresence(EmulatorPresence::Absent);  // a search would show "not found"
        WindowDriver driver(transmitter);
        c.enter(driver);
        driver.clickWrite();
        EXPECT_EQ(driver.messages(), Messages{c.expected}) << c.what;
        EXPECT_EQ(transmitter.openCount(), 0U) << c.what;
    }
}

TEST_F(Commands, FullImageWarnsBeforeTheDeviceIsTouchedThenWritesRowsOneToEleven) {
    // Twelve rows of ten codewords each: eleven fill the image, the twelfth does not fit.
    for (int row = 1; row <= 12; ++row) {
        driver_.enterRow(row, {QString::number(1000 + 8 * row + 3), 0, 0, QStringLiteral("12345")});
    }
    bool deviceTouchedBeforeWarning = true;
    driver_.presenter().whenShown = [&](const ShownMessage& shown) {
        if (shown.first == QLatin1String("Warn")) deviceTouchedBeforeWarning = !deviceUntouched();
    };
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(),
              (Messages{{QStringLiteral("Warn"), QStringLiteral("out of EEPROM size, only 11 items data can be save")},
                        kWriteCompleted}));
    EXPECT_FALSE(deviceTouchedBeforeWarning);
    const image::PagerRows rows = deviceRows();
    for (int row = 1; row <= 16; ++row) {
        const image::PagerItem expected =
            row <= 11 ? image::PagerItem{std::to_string(1000 + 8 * row + 3), 0, paging::PagerType::Numeric, "12345"}
                      : image::PagerItem{};
        EXPECT_EQ(rows[static_cast<std::size_t>(row - 1)], expected) << "row " << row;
    }
}

TEST_F(Commands, WriteWithoutTheDeviceReportsItMissing) {
    const struct {
        EmulatorPresence presence;
        ShownMessage expected;
    } cases[] = {
        {EmulatorPresence::Absent, error("USB Device not found !")},
        {EmulatorPresence::AccessDenied, error("USB Device found, but access denied")},
    };
    for (const auto& c : cases) {
        EmulatedTransmitter transmitter;
        transmitter.setPresence(c.presence);
        WindowDriver driver(transmitter);
        enterRows(driver, kTypedRows);
        driver.clickWrite();
        EXPECT_EQ(driver.messages(), Messages{c.expected});
        EXPECT_TRUE(transmitter.receivedReports().empty());
    }
}

TEST_F(Commands, FailedSendKeepsTheWordsBeforeItAndClosesTheDevice) {
    enterRows(driver_, kTypedRows);
    constexpr unsigned kFailingReport = 5;
    transmitter_.injectFault(kFailingReport, EmulatorFault::RefuseSend);
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), Messages{error("USB Command fail")});
    EXPECT_EQ(transmitter_.closeCount(), transmitter_.openCount());
    const image::EepromImage afterFailure = transmitter_.eeprom();

    // The first reports empty the slot table, so no row points at half-written calls.
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        const std::uint16_t expected = word >= 1 && word <= kFailingReport ? 0 : 0xFFFF;
        EXPECT_EQ(afterFailure.word(word), expected) << "word " << word;
    }
}

// Words across a Write and a Read (the device tests sweep every word), each broken by a
// refused send, a missing reply and an unplug: always "USB Command fail" alone, never
// "Data write completed", the device closed once, and the window as it was.
std::vector<unsigned> everyFifteenthAndLast(unsigned count) {
    std::vector<unsigned> words;
    for (unsigned word = 0; word < count; word += 15) words.push_back(word);
    if (words.back() != count - 1) words.push_back(count - 1);
    return words;
}

// One test per direction and fault, so that they can run side by side.
class CommandFaultSweep : public testing::TestWithParam<std::tuple<bool, EmulatorFault>> {};

TEST_P(CommandFaultSweep, BrokenWordsEndInCommandFail) {
    const auto [reading, fault] = GetParam();
    unsigned words = image::kImageWords;
    if (!reading) {
        EmulatedTransmitter probe;
        WindowDriver probeDriver(probe);
        enterRows(probeDriver, kTypedRows);
        probeDriver.clickWrite();
        words = static_cast<unsigned>(probe.receivedReports().size());
    }
    for (const unsigned word : everyFifteenthAndLast(words)) {
        EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        enterRows(driver, kTypedRows);
        const WindowView typed = driver.view();
        transmitter.injectFault(word, fault);
        reading ? driver.clickRead() : driver.clickWrite();
        const std::string where = (reading ? "Read" : "Write") + std::string(" word ") + std::to_string(word);
        ASSERT_EQ(driver.messages(), Messages{error("USB Command fail")}) << where;
        ASSERT_EQ(transmitter.openCount(), 1U) << where;
        ASSERT_EQ(transmitter.closeCount(), 1U) << where;
        ASSERT_EQ(driver.view(), typed) << where;
    }
}

INSTANTIATE_TEST_SUITE_P(ReadAndWrite, CommandFaultSweep,
                         testing::Combine(testing::Bool(), testing::Values(EmulatorFault::RefuseSend,
                                                                           EmulatorFault::NoReply,
                                                                           EmulatorFault::Unplug)));

TEST_F(Commands, ReadAfterWriteGivesBackTheSameWindow) {
    enterRows(driver_, kTypedRows);
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 2);
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("Repeater")), 3);
    driver_.setPreamble(QStringLiteral("600"));
    const WindowView written = driver_.view();
    driver_.clickWrite();
    driver_.clickRead();
    EXPECT_EQ(driver_.messages(), Messages{kWriteCompleted});
    EXPECT_EQ(driver_.view(), readBack(written));
}

TEST_F(Commands, ReadIntoAFreshWindowShowsTextsWholeAndRunsNoRules) {
    const QString forty = QStringLiteral("The quick brown fox jumps over a lazy do");
    enterRows(driver_, {{1, {QStringLiteral("5"), kToneD, kAlphnumeric, forty}},
                        {2, {QStringLiteral("6"), kToneB, 0, QString()}}});
    driver_.clickWrite();

    WindowDriver fresh(transmitter_);
    fresh.clickRead();
    EXPECT_TRUE(fresh.messages().empty());
    const WindowView view = fresh.view();
    EXPECT_EQ(view.rows[0].message, forty);
    EXPECT_EQ(view.rows[0].tone, kToneD);
    // Limits and read-only states stay as they were until the user changes a choice.
    EXPECT_FALSE(view.rows[1].messageReadOnly);
    fresh.choose(fresh.tone(3), 0);
    EXPECT_TRUE(fresh.view().rows[1].messageReadOnly);
}

TEST_F(Commands, FailedReadLeavesTheWindowExactlyAsItWas) {
    const struct {
        const char* what;
        std::function<void(EmulatedTransmitter&)> breakDevice;
        ShownMessage expected;
    } cases[] = {
        {"no device", [](EmulatedTransmitter& t) { t.setPresence(EmulatorPresence::Absent); },
         error("USB Device not found !")},
        {"send failed mid-way", [](EmulatedTransmitter& t) { t.injectFault(100, EmulatorFault::RefuseSend); },
         error("USB Command fail")},
        {"no reply", [](EmulatedTransmitter& t) { t.injectFault(3, EmulatorFault::NoReply); }, error("USB Command fail")},
    };
    for (const auto& c : cases) {
        EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        enterRows(driver, kTypedRows);
        driver.setPreamble(QStringLiteral("777"));
        const WindowView typed = driver.view();
        c.breakDevice(transmitter);
        driver.clickRead();
        EXPECT_EQ(driver.messages(), Messages{c.expected}) << c.what;
        EXPECT_EQ(driver.view(), typed) << c.what;
        EXPECT_EQ(transmitter.closeCount(), transmitter.openCount()) << c.what;
    }
}

TEST_F(Commands, InvalidSlotShowsTheRowsBeforeItAndReportsAReadError) {
    for (int row = 1; row <= 6; ++row) driver_.enterRow(row, {QString::number(row * 10), 0, 0, QStringLiteral("12345")});
    driver_.clickWrite();
    image::EepromImage damaged = transmitter_.eeprom();
    image::storeSlot(damaged, 4, {1, 9});  // row 5 points into the slot table
    transmitter_.setEeprom(damaged);

    WindowDriver reader(transmitter_);
    enterRows(reader, kTypedRows);
    reader.clickRead();
    EXPECT_EQ(reader.messages(), Messages{error("EEPROM read error")});
    const WindowView view = reader.view();
    EXPECT_EQ(view.preamble, QStringLiteral("1023"));
    for (int row = 1; row <= 16; ++row) {
        const RowView& shown = view.rows[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ(shown.capCode, row <= 4 ? QString::number(row * 10) : QString()) << "row " << row;
        EXPECT_EQ(shown.message, row <= 4 ? QStringLiteral("12345") : QString()) << "row " << row;
    }
}

TEST_F(Commands, ErasedDeviceReadsAsNoRateAndAReadErrorAtRowOne) {
    enterRows(driver_, kTypedRows);
    driver_.clickRead();  // the emulated EEPROM starts erased
    EXPECT_EQ(driver_.messages(), Messages{error("EEPROM read error")});
    const WindowView view = driver_.view();
    EXPECT_EQ(view.preamble, QStringLiteral("1023"));
    EXPECT_EQ(view.repeater, 3);
    EXPECT_EQ(view.dataRate, -1);
    for (const RowView& row : view.rows) EXPECT_TRUE(row.capCode.isEmpty() && row.message.isEmpty());

    driver_.messages().clear();
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), Messages{error("Data rate not selected")});
}

TEST_F(Commands, ProgressRunsToTheEndThenBarAndBusyCursorAreGone) {
    enterRows(driver_, kTypedRows);
    auto* bar = driver_.window().findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    std::vector<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    driver_.clickWrite();
    ASSERT_EQ(shown.size(), transmitter_.receivedReports().size());
    for (std::size_t n = 0; n < shown.size(); ++n) EXPECT_EQ(shown[n], static_cast<int>(n + 1));
    EXPECT_EQ(shown.back(), bar->maximum());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    transmitter_.setPresence(EmulatorPresence::Absent);
    driver_.clickRead();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (const QWidget* child : driver_.window().findChildren<QWidget*>()) {
        if (child->inherits("QProgressBar")) {
            EXPECT_FALSE(child->isVisible());
        }
    }
}

TEST_F(Commands, ExitClosesTheWindowOnceTheClickIsHandled) {
    driver_.clickExit();
    EXPECT_TRUE(driver_.window().isVisible());
    QApplication::processEvents();
    EXPECT_FALSE(driver_.window().isVisible());
}

}  // namespace
}  // namespace vostrel::test
