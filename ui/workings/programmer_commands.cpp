// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/programmer_commands.h"

#include <QApplication>
#include <QProgressBar>
#include <cstdint>
#include <filesystem>

#include "device/transmitter_hold.h"
#include "files/backups.h"
#include "files/transmitter_names.h"
#include "files/utf8_path.h"
#include "files/write_history.h"
#include "image/capacity.h"
#include "image/fingerprint.h"
#include "image/image_changes.h"
#include "ui/workings/message_presenter.h"
#include "ui/dialogs/write_confirmation.h"

namespace vostrel::ui {

TransferFeedback::TransferFeedback(QProgressBar& bar) : bar_(bar) {}

TransferFeedback::Scope::Scope(TransferFeedback& feedback) : feedback_(feedback) { feedback_.begin(); }

TransferFeedback::Scope::~Scope() { feedback_.end(); }

void TransferFeedback::begin() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bar_.reset();
    bar_.show();
    bar_.repaint();
}

void TransferFeedback::end() {
    bar_.hide();
    QApplication::restoreOverrideCursor();
}

TransferFeedback::Pause::Pause() { QApplication::setOverrideCursor(Qt::ArrowCursor); }

TransferFeedback::Pause::~Pause() { QApplication::restoreOverrideCursor(); }

device::TransferProgress TransferFeedback::progressCallback() {
    // The transfer holds the thread, so the bar is painted at once rather than by the
    // event loop; no input is taken meanwhile. Only a change of the per cent is painted.
    constexpr int kFull = 100;
    bar_.setRange(0, kFull);
    return [this](unsigned done, unsigned total) {
        const int percent = total == 0 ? kFull : static_cast<int>(std::uint64_t{done} * kFull / total);
        if (percent == bar_.value()) return;
        bar_.setValue(percent);
        bar_.repaint();
    };
}

namespace {

// Keeps the other commands from starting while a Write waits behind a box, until it
// ends or lets them go.
class HeldCommands {
public:
    explicit HeldCommands(const std::function<void(bool)>& hold) : hold_(hold) {
        if (hold_) hold_(true);
    }
    ~HeldCommands() { release(); }
    HeldCommands(const HeldCommands&) = delete;
    HeldCommands& operator=(const HeldCommands&) = delete;

    void release() {
        if (hold_ && !released_) hold_(false);
        released_ = true;
    }

private:
    const std::function<void(bool)>& hold_;
    bool released_ = false;
};

// A device failure, with what the user can do about it on the line beneath.
void reportDeviceFailure(const MessageReporter& reporter, const device::DeviceFailure& failure) {
    if (failure.remedy) {
        reporter.report(failure.message, reporter.texts().messageText(*failure.remedy));
    } else {
        reporter.report(failure.message);
    }
}

// The transport the command goes to; none when the user cancelled the choice.
device::HidTransport* transmitterFor(const CommandServices& services) {
    return services.chooseTransmitter ? services.chooseTransmitter() : &services.transport;
}

// The rows a Write of `entries` leaves out, each as "row 12 Kitchen (capcode 100012 A)".
QStringList leftOutRows(const image::ProgrammerEntries& entries, const LanguageTexts& texts) {
    const image::SiteCapacity capacity = image::siteCapacity(entries, image::layOutRows(entries));
    QStringList rows;
    for (const texts::Message& row : image::leftOutRowNames(capacity, entries)) rows << texts.messageText(row);
    return rows;
}

// The "EEPROM full" warning as a question: the rows that will not be stored, one a line,
// and whether to write the others. Cancel is its default: a Write of part of the site
// must be chosen.
bool confirmPartialWrite(const texts::Message& warning, const QStringList& leftOut, const MessageReporter& reporter) {
    const LanguageTexts& texts = reporter.texts();
    QStringList lines{texts.messageText(warning), texts.text(texts::keys::kNotStored)};
    lines << leftOut << QString() << texts.text(texts::keys::kWriteRowsThatFit);
    return reporter.ask(lines.join(QLatin1Char('\n')), texts::keys::kWriteButton);
}

// The line under a message that names where the transmitter's previous contents are.
QString backupLine(const LanguageTexts& texts, const std::filesystem::path& backup) {
    return texts.text(texts::keys::kBackupNamed) + QLatin1Char(' ') +
           QString::fromStdString(files::utf8Name(backup));
}

// "Transmitter: Erdgeschoss (port 1-1.2)": the line under a result that says which
// transmitter it is of.
QString transmitterLine(const LanguageTexts& texts, const files::TransmitterNames& names, const std::string& path,
                        const std::string& location) {
    const std::string transmitter = files::transmitterText(
        names, path, location, [&texts](const texts::Message& message) { return texts.messageText(message).toStdString(); });
    return texts.messageText({texts::keys::kResultTransmitter, texts::Title::Success, {texts::Text{transmitter}}});
}

// The Write in the record beside the backups: the list of backups names its
// transmitter by it, and the site's sheet says where the site went. One that sent
// nothing and saved nothing is none.
void recordWrite(const device::WriteOutcome& written, const files::TransmitterNames& names,
                 const std::optional<std::filesystem::path>& backup, const image::BuiltImage& built,
                 const image::ProgrammerEntries& entries) {
    using End = device::WriteOutcome::End;
    if (written.end == End::NotOpened || written.end == End::ReadFailed || written.end == End::Cancelled) return;
    const bool there = written.end == End::Written || written.end == End::AlreadyThere;
    const std::string fingerprint = there ? image::fingerprintText(image::contentsFingerprint(built.image)) : "";
    // A record that cannot be kept costs the backup list a name and the sheet a line;
    // the Write itself is done and said.
    files::recordWrite(files::writeRecord(written.port(), names, backup, fingerprint, entries.site));
}

}  // namespace

std::optional<image::CharacterPosition> writeCommand(const image::ProgrammerEntries& entries,
                                                     const CommandServices& services) {
    const image::BuildOutcome outcome = image::buildImage(entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        services.reporter.report(refusal->message);
        return refusal->at;
    }
    const auto& built = std::get<image::BuiltImage>(outcome);
    HeldCommands held(services.holdOtherCommands);
    // The image is complete before the warning is shown, so nothing done in the window
    // meanwhile changes what is sent. Cancel, or the program ending while the warning is
    // open, writes nothing.
    const QStringList leftOut = built.fullAtRow ? leftOutRows(entries, services.reporter.texts()) : QStringList();
    if (const auto warning = built.warning(); warning && !confirmPartialWrite(*warning, leftOut, services.reporter)) {
        return std::nullopt;
    }
    device::HidTransport* transport = transmitterFor(services);
    if (transport == nullptr) return std::nullopt;

    std::optional<std::filesystem::path> backup;
    std::optional<files::FileError> backupProblem;
    const files::TransmitterNames names = files::rememberedTransmitterNames();
    const auto saveBackupFirst = [&](const image::EepromImage& heldWords, const device::TransmitterHold& hold) {
        const image::ImageChanges changes = image::compareImages(heldWords, built.image, built.usedWords, entries.text);
        if (services.confirmOverwrite && changes.overwritesCalls()) {
            const TransferFeedback::Pause pause;
            const QString question = writeConfirmationText(changes, services.reporter.texts());
            if (!services.reporter.ask(question, texts::keys::kWriteButton)) return device::Proceed::Cancel;
        }
        auto saved = files::saveBackup(files::transmitterCalled(names, hold.port()), heldWords);
        if (auto* problem = std::get_if<files::FileError>(&saved)) {
            backupProblem = std::move(*problem);
            return device::Proceed::Cancel;
        }
        backup = std::get<std::filesystem::path>(saved);
        return device::Proceed::Write;
    };
    const device::WriteOutcome written = services.feedback.run([&](const device::TransferProgress& progress) {
        return device::writeUnderOneHold(*transport, built.image, built.usedWords, device::WriteSteps{},
                                         saveBackupFirst, progress);
    });
    // The device is closed now; what follows only reports.
    held.release();
    recordWrite(written, names, backup, built, entries);

    using End = device::WriteOutcome::End;
    const LanguageTexts& language = services.reporter.texts();
    switch (written.end) {
        case End::NotOpened:
        case End::ReadFailed: reportDeviceFailure(services.reporter, *written.failure); return std::nullopt;
        case End::Cancelled:
            if (backupProblem) {
                services.reporter.report({texts::keys::kBackupFailed, texts::Title::Error, {}},
                                         QString::fromStdString(backupProblem->what));
            }
            return std::nullopt;
        case End::WriteFailed:
        case End::ReadBackFailed:
            services.reporter.report(written.failure->message, backupLine(language, *backup));
            return std::nullopt;
        case End::VerifyFailed:
            services.reporter.report(
                {texts::keys::kVerifyFailed, texts::Title::Error, {static_cast<int>(written.mismatch->address)}},
                backupLine(language, *backup));
            return std::nullopt;
        case End::AlreadyThere:
        case End::Written: break;
    }
    QString said = transmitterLine(language, names, written.path, written.location);
    said += QLatin1Char('\n') + (written.end == End::AlreadyThere ? language.text(texts::keys::kAlreadyHeld)
                                                                  : backupLine(language, *backup));
    // A transmitter that holds part of the site must not pass for one that holds all.
    if (!leftOut.isEmpty()) said += QLatin1Char('\n') + language.text(texts::keys::kNotStored) + QLatin1Char('\n') + leftOut.join(QLatin1Char('\n'));
    services.reporter.report({texts::keys::kWriteCompleted, texts::Title::Success, {}}, said);
    return std::nullopt;
}

namespace {

// The words a Read moved, and from which transmitter.
struct ReadWords {
    image::EepromImage image;
    std::string path;
    std::string location;
};

std::variant<ReadWords, device::DeviceFailure> readWords(device::HidTransport& transport,
                                                         const device::TransferProgress& progress) {
    auto taken = device::TransmitterHold::take(transport);
    if (auto* failure = std::get_if<device::DeviceFailure>(&taken)) return std::move(*failure);
    auto& hold = std::get<device::TransmitterHold>(taken);
    auto words = hold.readAllWords(progress);
    if (!words) return device::DeviceFailure{{texts::keys::kCommandFail, texts::Title::Error, {}}};
    return ReadWords{*words, hold.path(), hold.location()};
}

}  // namespace

void readCommand(const CommandServices& services, const image::PagerTextSettings& text,
                 const std::function<void(const image::ImageContents&)>& showContents) {
    device::HidTransport* transport = transmitterFor(services);
    if (transport == nullptr) return;
    const auto outcome = services.feedback.run(
        [&](const device::TransferProgress& progress) { return readWords(*transport, progress); });
    if (const auto* failure = std::get_if<device::DeviceFailure>(&outcome)) {
        reportDeviceFailure(services.reporter, *failure);
        return;
    }
    const ReadWords& read = std::get<ReadWords>(outcome);
    const image::ImageContents contents = image::decodeImage(read.image, text);
    showContents(contents);
    if (contents.readErrorRow) {
        services.reporter.report({texts::keys::kEepromReadError, texts::Title::Error, {}});
    }
    for (const texts::Message& hidden : contents.hiddenWordsMessages()) services.reporter.report(hidden);
    // A new transmitter is no faulty one: it is said to be empty, and which one it is.
    if (contents.erased) {
        services.reporter.report({texts::keys::kReadErased, texts::Title::Success, {}},
                                 transmitterLine(services.reporter.texts(), files::rememberedTransmitterNames(),
                                                 read.path, read.location));
    }
}

}  // namespace vostrel::ui
