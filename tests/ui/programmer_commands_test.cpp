// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Read and Write through the window against the emulated transmitter: every outcome
// with the exact messages shown, and what the device and the window hold afterwards.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QProgressBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "device/word_transfer.h"
#include "files/backups.h"
#include "files/utf8_path.h"
#include "image/image_reader.h"
#include "image/slot_table.h"
#include "tests/device/weak_cell_transport.h"
#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

using device::EmulatedTransmitter;
using device::EmulatorFault;
using device::EmulatorPresence;
using Messages = std::vector<ShownMessage>;

ShownMessage error(const char* text) { return {QStringLiteral("Error"), QString::fromUtf8(text)}; }
ShownMessage error(const QString& text) { return {QStringLiteral("Error"), text}; }
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

// The backup folder of the tests (under their own XDG_DATA_HOME) and what it holds.
std::filesystem::path backupFolder() { return std::get<std::filesystem::path>(files::backupFolder()); }

std::vector<std::filesystem::path> backups() {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(backupFolder(), error)) {
        if (entry.path().extension() == ".bin") found.push_back(entry.path());  // not the record of Writes
    }
    std::ranges::sort(found);
    return found;
}

std::string bytesOf(const image::EepromImage& image) { return {image.bytes.begin(), image.bytes.end()}; }

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

image::EepromImage erasedImage() {
    image::EepromImage erased;
    erased.bytes.fill(0xFF);
    return erased;
}

QString backupLine(const std::filesystem::path& backup) {
    return QStringLiteral("\nThe previous contents are in the backup ") + QString::fromStdString(backup.string());
}

std::size_t reportsWith(const EmulatedTransmitter& transmitter, device::WordCommand command) {
    return static_cast<std::size_t>(std::ranges::count_if(transmitter.receivedReports(), [command](const auto& report) {
        return report[device::kCommandByte] == static_cast<std::uint8_t>(command);
    }));
}

class Commands : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove_all(backupFolder()); }

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
    const image::PagerRows rows = deviceRows();
    EXPECT_EQ(rows[1].capcode, "8");
    EXPECT_EQ(rows[1].type, paging::PagerType::Alphanumeric);
    EXPECT_EQ(rows[1].message, "Call the office, room 12");
    EXPECT_EQ(rows[4].tone, unsigned(kToneB));
    EXPECT_EQ(rows[8].message, "12 34-5U  ");
    EXPECT_EQ(rows[2], image::PagerItem{});
    // One hold: read, write and read-back in one open; a backup of what was there, even
    // of an erased EEPROM.
    EXPECT_EQ(transmitter_.openCount(), 1U);
    EXPECT_EQ(transmitter_.closeCount(), 1U);
    const std::vector<std::filesystem::path> saved = backups();
    ASSERT_EQ(saved.size(), 1U);
    EXPECT_EQ(contentOf(saved[0]), bytesOf(erasedImage()));
    // The result names the transmitter (an emulated one has no port: its path) and the
    // backup.
    EXPECT_EQ(driver_.messages(),
              (Messages{{kWriteCompleted.first, kWriteCompleted.second + QStringLiteral("\nTransmitter: emulated:memory\n"
                                                                                      "The previous contents are in the backup ") +
                                                    QString::fromStdString(files::utf8Name(saved[0]))}}));
}

TEST_F(Commands, WriteOfAnEmptyWindowSendsHeaderAndEmptySlotTable) {
    driver_.clickWrite();
    EXPECT_EQ(headlines(driver_.messages()), Messages{kWriteCompleted});
    EXPECT_EQ(reportsWith(transmitter_, device::WordCommand::WriteWord), 17U);
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
         error("Invalid code 'ü' in Item[05]; pager alphabets that have it: DE")},
        {"dash in an alphanumeric row",
         [](WindowDriver& d) { d.enterRow(5, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("1–2")}); },
         error("Invalid code '–' in Item[05]; replacing special characters sends it as '-'")},
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

// The "EEPROM full" warning asks, naming the rows left out, before the device is
// touched; Cancel, its default, sends nothing; Write writes rows 1 to 11 and its result
// names the row left out.
TEST_F(Commands, FullImageAsksBeforeTheDeviceIsTouchedThenWritesRowsOneToEleven) {
    // Twelve rows of ten codewords each: eleven fill the image, the twelfth does not fit.
    for (int row = 1; row <= 12; ++row) {
        driver_.enterRow(row, {QString::number(1000 + 8 * row + 3), 0, 0, QStringLiteral("12345")});
    }
    driver_.window().findChild<QLineEdit*>(QStringLiteral("RowLabel12"))->setText(QStringLiteral("Nachtdienst"));
    const ShownMessage question{QStringLiteral("Warn"),
                                QStringLiteral("out of EEPROM size, only 11 items data can be save\nNot stored:\n"
                                               "row 12 Nachtdienst (capcode 1099 A)\n\nWrite the rows that fit?")};
    driver_.presenter().confirmAnswer = false;
    driver_.clickWrite();
    EXPECT_EQ(driver_.messages(), Messages{question});
    EXPECT_EQ(driver_.presenter().buttons, std::make_pair(QStringLiteral("&Write"), QStringLiteral("Cancel")));
    EXPECT_TRUE(deviceUntouched());

    driver_.messages().clear();
    driver_.presenter().confirmAnswer = true;
    bool deviceTouchedBeforeWarning = true;
    driver_.presenter().whenShown = [&](const ShownMessage& shown) {
        if (shown.first == QLatin1String("Warn")) deviceTouchedBeforeWarning = !deviceUntouched();
    };
    driver_.clickWrite();
    ASSERT_EQ(driver_.messages().size(), 2U);
    EXPECT_EQ(driver_.messages()[0], question);
    EXPECT_EQ(headlines(driver_.messages())[1], kWriteCompleted);
    // A transmitter that holds part of the site must not pass for one that holds all.
    EXPECT_TRUE(driver_.messages()[1].second.endsWith(QStringLiteral("\nNot stored:\nrow 12 Nachtdienst (capcode 1099 A)")))
        << driver_.messages()[1].second.toStdString();
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
    constexpr unsigned kFailingWrite = 5;
    transmitter_.injectFault(image::kImageWords + kFailingWrite, EmulatorFault::RefuseSend);
    driver_.clickWrite();
    ASSERT_EQ(backups().size(), 1U);
    EXPECT_EQ(driver_.messages(), Messages{error(QStringLiteral("USB Command fail") + backupLine(backups()[0]))});
    EXPECT_EQ(transmitter_.closeCount(), transmitter_.openCount());
    const image::EepromImage afterFailure = transmitter_.eeprom();

    // The first reports empty the slot table, so no row points at half-written calls.
    for (unsigned word = 0; word < image::kImageWords; ++word) {
        const std::uint16_t expected = word >= 1 && word <= kFailingWrite ? 0 : 0xFFFF;
        EXPECT_EQ(afterFailure.word(word), expected) << "word " << word;
    }
}

// Words across a Write (its read, its writes and its read-back) and a Read (the device
// tests sweep every word), each broken by a refused send, a missing reply and an unplug:
// always "USB Command fail" alone, never "Data write completed", the device opened and
// closed once, the window as it was, and once a word was sent, the backup of what the
// transmitter held, named in the message.
std::vector<unsigned> everyFortiethAndLast(unsigned first, unsigned count) {
    std::vector<unsigned> reports;
    for (unsigned n = 0; n < count; n += 40) reports.push_back(first + n);
    if (reports.back() != first + count - 1) reports.push_back(first + count - 1);
    return reports;
}

TEST_F(Commands, BrokenWordsEndInCommandFail) {
    const image::EepromImage before = image::EepromImage{};  // all zero: neither erased nor these rows
    enterRows(driver_, kTypedRows);
    transmitter_.setEeprom(before);
    driver_.clickWrite();
    const auto writes = static_cast<unsigned>(reportsWith(transmitter_, device::WordCommand::WriteWord));
    const unsigned readBack = static_cast<unsigned>(transmitter_.receivedReports().size()) - image::kImageWords - writes;

    enum class Step { Read, Write, ReadBack, ReadCommand };
    const struct {
        Step step;
        std::vector<unsigned> reports;
    } steps[] = {
        {Step::Read, everyFortiethAndLast(0, image::kImageWords)},
        {Step::Write, everyFortiethAndLast(image::kImageWords, writes)},
        {Step::ReadBack, everyFortiethAndLast(image::kImageWords + writes, readBack)},
        {Step::ReadCommand, everyFortiethAndLast(0, image::kImageWords)},
    };
    for (const auto& [step, reports] : steps) {
        for (const EmulatorFault fault : {EmulatorFault::RefuseSend, EmulatorFault::NoReply, EmulatorFault::Unplug}) {
            for (const unsigned report : reports) {
                std::filesystem::remove_all(backupFolder());
                EmulatedTransmitter transmitter;
                transmitter.setEeprom(before);
                WindowDriver driver(transmitter);
                enterRows(driver, kTypedRows);
                const WindowView typed = driver.view();
                transmitter.injectFault(report, fault);
                step == Step::ReadCommand ? driver.clickRead() : driver.clickWrite();
                const std::string where = "step " + std::to_string(int(step)) + ", report " + std::to_string(report) +
                                          ", fault " + std::to_string(int(fault));
                const bool sent = step == Step::Write || step == Step::ReadBack;
                ASSERT_EQ(backups().size(), sent ? 1U : 0U) << where;
                ShownMessage expected = error("USB Command fail");
                if (sent) {
                    EXPECT_EQ(contentOf(backups()[0]), bytesOf(before)) << where;
                    expected.second += backupLine(backups()[0]);
                }
                ASSERT_EQ(driver.messages(), Messages{expected}) << where;
                ASSERT_EQ(transmitter.openCount(), 1U) << where;
                ASSERT_EQ(transmitter.closeCount(), 1U) << where;
                ASSERT_EQ(driver.view(), typed) << where;
            }
        }
    }
}

TEST_F(Commands, ReadAfterWriteGivesBackTheSameWindow) {
    enterRows(driver_, kTypedRows);
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("DataRate")), 2);
    driver_.choose(driver_.control<QComboBox>(QStringLiteral("Repeater")), 3);
    driver_.setPreamble(QStringLiteral("600"));
    const WindowView written = driver_.view();
    driver_.clickWrite();
    driver_.clickRead();
    EXPECT_EQ(headlines(driver_.messages()), Messages{kWriteCompleted});
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

// A new transmitter is empty, not faulty: the rows are emptied, the settings stay (it
// holds none), and the box says which transmitter it was; a Write then goes through.
TEST_F(Commands, ErasedDeviceReadsAsEmptyAndKeepsTheSettings) {
    enterRows(driver_, kTypedRows);
    driver_.setPreamble(QStringLiteral("600"));
    const WindowView typed = driver_.view();
    driver_.clickRead();  // the emulated EEPROM starts erased
    EXPECT_EQ(driver_.messages(),
              (Messages{{QStringLiteral("Success"), QStringLiteral("The transmitter is empty (erased): it holds no calls "
                                                                   "and no settings; the window's settings stay as they "
                                                                   "were\nTransmitter: emulated:memory")}}));
    const WindowView view = driver_.view();
    EXPECT_EQ(view.preamble, typed.preamble);
    EXPECT_EQ(view.repeater, typed.repeater);
    EXPECT_EQ(view.dataRate, typed.dataRate);
    for (const RowView& row : view.rows) EXPECT_TRUE(row.capCode.isEmpty() && row.message.isEmpty());

    driver_.messages().clear();
    driver_.clickWrite();
    EXPECT_EQ(headlines(driver_.messages()), Messages{kWriteCompleted});
}

TEST_F(Commands, ProgressRunsOnceFromZeroToAHundredThenBarAndBusyCursorAreGone) {
    enterRows(driver_, kTypedRows);
    auto* bar = driver_.window().findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    std::vector<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    driver_.clickWrite();
    // Read, write and read-back in one run: every per cent once, in order.
    std::vector<int> expected(101);
    std::ranges::generate(expected, [n = 0]() mutable { return n++; });
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(bar->maximum(), 100);
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

// ---- what a Write overwrites: the box that asks first, the backup, the read-back ----

// What the transmitter holds before each of these Writes.
const std::vector<std::pair<int, RowInput>> kHeldRows = {
    {1, {QStringLiteral("1234"), 0, 0, QStringLiteral("0123456789")}},
    {2, {QStringLiteral("8"), kToneD, kAlphnumeric, QStringLiteral("Call the office")}},
    {3, {QStringLiteral("77"), kToneB, 0, QString()}},
};

class Overwrite : public Commands {
protected:
    void SetUp() override {
        Commands::SetUp();
        enterRows(driver_, kHeldRows);
        driver_.clickWrite();  // onto an erased transmitter: no box
        ASSERT_EQ(headlines(driver_.messages()), Messages{kWriteCompleted});
        held_ = transmitter_.eeprom();
        driver_.messages().clear();
        std::filesystem::remove_all(backupFolder());
        reportsBefore_ = transmitter_.receivedReports().size();
    }
    std::size_t writesSince() const {
        return static_cast<std::size_t>(std::ranges::count_if(
            transmitter_.receivedReports().begin() + static_cast<std::ptrdiff_t>(reportsBefore_),
            transmitter_.receivedReports().end(), [](const auto& report) {
                return report[device::kCommandByte] == static_cast<std::uint8_t>(device::WordCommand::WriteWord);
            }));
    }
    QCheckBox& confirmSetting() { return driver_.control<QCheckBox>(QStringLiteral("ConfirmWrite")); }

    image::EepromImage held_;
    std::size_t reportsBefore_ = 0;
};

TEST_F(Overwrite, TheBoxListsWhatChangesOnlyWhenACallIsOverwritten) {
    const QString intro = QStringLiteral("The transmitter holds calls that this Write changes or clears:\n");
    const QString question = QStringLiteral("\n\nWrite these calls to the transmitter?");
    const QString row1 = QStringLiteral("1234 A Numeric \"0123456789\"");
    const QString row2 = QStringLiteral("8 D Alphnumeric \"Call the office\"");
    const QString row3 = QStringLiteral("77 B Numeric \"\"");
    const struct {
        const char* what;
        std::function<void(WindowDriver&)> edit;
        QString box;  // empty: no box
        bool sends;
    } cases[] = {
        {"row changed", [](WindowDriver& d) { d.typeInto(d.message(2), QStringLiteral(" now")); },
         intro + "Item[02]: changed " + row2 + " \u2192 " + "8 D Alphnumeric \"Call the office now\"\n\n" +
             "Item[01]: unchanged " + row1 + "\nItem[03]: unchanged " + row3 + question,
         true},
        {"row cleared, rate changed",
         [](WindowDriver& d) {
             d.capCode(1).clear();
             d.message(1).clear();
             d.choose(d.control<QComboBox>(QStringLiteral("DataRate")), 2);
         },
         intro + "Item[01]: cleared " + row1 + "\nData Rate: 1200 \u2192 2400 bps\n\nItem[02]: unchanged " + row2 +
             "\nItem[03]: unchanged " + row3 + question,
         true},
        {"row added", [](WindowDriver& d) { d.enterRow(9, {QStringLiteral("555"), 0, 0, QStringLiteral("1")}); }, {},
         true},
        {"settings only", [](WindowDriver& d) { d.setPreamble(QStringLiteral("800")); }, {}, true},
        {"nothing", [](WindowDriver&) {}, {}, false},
        // Last: the window remembers the alphabet for the windows after it.
        {"national letters, shown as the pager shows them",
         [](WindowDriver& d) {
             d.choose(d.control<QComboBox>(QStringLiteral("Alphabet")), 1);  // DE
             d.message(2).setText(QStringLiteral("Grüße"));
         },
         intro + "Item[02]: changed " + row2 + " \u2192 " + "8 D Alphnumeric \"Grüße\"\n\n" +
             "Item[01]: unchanged " + row1 + "\nItem[03]: unchanged " + row3 + question,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatedTransmitter transmitter;
        transmitter.setEeprom(held_);
        WindowDriver driver(transmitter);
        enterRows(driver, kHeldRows);
        c.edit(driver);
        driver.clickWrite();
        Messages expected;
        if (!c.box.isEmpty()) expected.push_back({QStringLiteral("Warn"), c.box});
        expected.push_back(kWriteCompleted);
        Messages shown = driver.messages();
        ASSERT_FALSE(shown.empty());
        shown.back() = headlines({shown.back()}).front();  // the result, without its transmitter and backup
        EXPECT_EQ(shown, expected);
        if (!c.box.isEmpty()) {
            EXPECT_EQ(driver.presenter().buttons, std::make_pair(QStringLiteral("&Write"), QStringLiteral("Cancel")));
        }
        const std::size_t writes = reportsWith(transmitter, device::WordCommand::WriteWord);
        EXPECT_EQ(writes > 0, c.sends);
        // Nothing sent: only the read, which proved the words there.
        if (!c.sends) {
            EXPECT_EQ(transmitter.receivedReports().size(), image::kImageWords);
        }
    }
}

TEST_F(Overwrite, CancelSendsNothingAndSavesNoBackup) {
    driver_.typeInto(driver_.message(2), QStringLiteral(" now"));
    driver_.presenter().confirmAnswer = false;
    driver_.clickWrite();
    ASSERT_EQ(driver_.messages().size(), 1U);
    EXPECT_EQ(driver_.messages()[0].first, QStringLiteral("Warn"));
    EXPECT_EQ(writesSince(), 0U);
    EXPECT_EQ(transmitter_.eeprom(), held_);
    EXPECT_TRUE(backups().empty());
}

TEST_F(Overwrite, TheRememberedSettingTurnsTheBoxOffButNotTheBackupOrTheReadBack) {
    confirmSetting().click();
    ASSERT_FALSE(confirmSetting().isChecked());
    {
        WindowDriver later(transmitter_);  // a window of a later run remembers it
        EXPECT_FALSE(later.control<QCheckBox>(QStringLiteral("ConfirmWrite")).isChecked());
    }
    driver_.typeInto(driver_.message(2), QStringLiteral(" now"));
    driver_.clickWrite();
    confirmSetting().click();  // as it was, for the other tests
    EXPECT_EQ(headlines(driver_.messages()), Messages{kWriteCompleted});
    ASSERT_EQ(backups().size(), 1U);
    EXPECT_EQ(contentOf(backups()[0]), bytesOf(held_));
    const auto written = static_cast<std::size_t>(writesSince());
    EXPECT_EQ(transmitter_.receivedReports().size() - reportsBefore_,
              image::kImageWords + written + image::usedWordCount(transmitter_.eeprom()));
}

TEST_F(Overwrite, AWordThatDidNotTakeIsNamedWithTheBackupToRestore) {
    device::testing::WeakCellTransport weak(transmitter_, 23);
    WindowDriver driver(weak);
    enterRows(driver, kTypedRows);
    driver.presenter().confirmAnswer = true;
    driver.clickWrite();
    ASSERT_EQ(backups().size(), 1U);
    ASSERT_EQ(driver.messages().size(), 2U);  // the box, then the outcome
    EXPECT_EQ(driver.messages()[1],
              error(QStringLiteral("EEPROM verify failed at word 23") + backupLine(backups()[0])));
    EXPECT_EQ(contentOf(backups()[0]), bytesOf(held_));
}

TEST_F(Overwrite, ABackupThatCannotBeSavedSendsNothingAndSaysWhy) {
#ifdef _WIN32
    const char* const dataVariable = "LOCALAPPDATA";
#else
    const char* const dataVariable = "XDG_DATA_HOME";
#endif
    const QByteArray dataHome = qgetenv(dataVariable);
    const std::filesystem::path notAFolder = std::filesystem::path(dataHome.toStdString()) / "not-a-folder";
    std::filesystem::create_directories(notAFolder.parent_path());
    std::ofstream(notAFolder) << "a file";
    qputenv(dataVariable, QByteArray::fromStdString(notAFolder.string()));
    const std::filesystem::path folder = backupFolder();
    driver_.typeInto(driver_.message(2), QStringLiteral(" now"));
    driver_.clickWrite();
    qputenv(dataVariable, dataHome);
    std::filesystem::remove(notAFolder);
    ASSERT_EQ(driver_.messages().size(), 2U);
    EXPECT_EQ(driver_.messages()[1],
              error(QStringLiteral("No backup of the transmitter could be saved; nothing was written\n") +
                    QString::fromStdString(folder.string()) + QStringLiteral(": cannot make the folder: Not a directory")));
    EXPECT_EQ(writesSince(), 0U);
    EXPECT_EQ(transmitter_.eeprom(), held_);
}

// While a Write waits behind a box, a Read, an Open or another Write would be overwritten
// by the rows it built once the box is answered: they wait too, dropped files and
// pasted rows included.
TEST_F(Overwrite, OtherCommandsWaitWhileAWriteWaitsBehindItsBox) {
    for (int row = 1; row <= 12; ++row) {  // the image-full warning, then the box
        driver_.enterRow(row, {QString::number(1000 + 8 * row + 3), 0, 0, QStringLiteral("12345")});
    }
    std::vector<std::pair<QString, bool>> seen;
    driver_.presenter().whenShown = [&](const ShownMessage& shown) {
        bool enabled = false;
        for (const char* name : {"BtnRead", "BtnWrite", "BtnOpen"}) {
            enabled = enabled || driver_.control<QPushButton>(QString::fromLatin1(name)).isEnabled();
        }
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/pages.conf"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&driver_.window(), &enter);
        QApplication::clipboard()->setText(QStringLiteral("77\n88\n"));
        driver_.activate();
        driver_.capCode(14).setFocus(Qt::TabFocusReason);
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(&driver_.capCode(14), &paste);
        const bool pasted = !driver_.capCode(14).text().isEmpty();
        driver_.capCode(14).clear();
        driver_.capCode(15).clear();
        seen.emplace_back(shown.first, enabled || enter.isAccepted() || pasted);
    };
    driver_.clickWrite();
    const std::vector<std::pair<QString, bool>> expected = {
        {QStringLiteral("Warn"), false}, {QStringLiteral("Warn"), false}, {QStringLiteral("Success"), true}};
    EXPECT_EQ(seen, expected);
}

// Restoring: Open of a backup fills the window, and Write puts its calls back.
TEST_F(Overwrite, OpenOfTheBackupThenWritePutsTheCallsBack) {
    driver_.typeInto(driver_.message(2), QStringLiteral(" now"));
    driver_.clickWrite();
    ASSERT_EQ(backups().size(), 1U);
    WindowDriver restorer(transmitter_);
    restorer.window().openFile(QString::fromStdString(backups()[0].string()));
    restorer.clickWrite();
    EXPECT_EQ(headlines(restorer.messages()).back(), kWriteCompleted);
    EXPECT_EQ(image::decodeImage(transmitter_.eeprom()).rows, image::decodeImage(held_).rows);
    EXPECT_EQ(image::decodeImage(transmitter_.eeprom()).settings, image::decodeImage(held_).settings);
}

}  // namespace
}  // namespace vostrel::test
