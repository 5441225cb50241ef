// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/programmer_commands.h"

#include <QApplication>
#include <QProgressBar>
#include <cstdint>
#include <filesystem>

#include "device/transmitter_hold.h"
#include "files/backups.h"
#include "files/utf8_path.h"
#include "image/capacity.h"
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
    const auto saveBackupFirst = [&](const image::EepromImage& heldWords, const std::string& devicePath) {
        const image::ImageChanges changes = image::compareImages(heldWords, built.image, built.usedWords, entries.text);
        if (services.confirmOverwrite && changes.overwritesCalls()) {
            const TransferFeedback::Pause pause;
            const QString question = writeConfirmationText(changes, services.reporter.texts());
            if (!services.reporter.ask(question, texts::keys::kWriteButton)) return device::Proceed::Cancel;
        }
        auto saved = files::saveBackup(devicePath, heldWords);
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
    const texts::Message completed{texts::keys::kWriteCompleted, texts::Title::Success, {}};
    if (leftOut.isEmpty()) {
        services.reporter.report(completed);
    } else {
        // A transmitter that holds part of the site must not pass for one that holds all.
        QStringList detail{language.text(texts::keys::kNotStored)};
        detail << leftOut;
        services.reporter.report(completed, detail.join(QLatin1Char('\n')));
    }
    return std::nullopt;
}

void readCommand(const CommandServices& services, const image::PagerTextSettings& text,
                 const std::function<void(const image::ImageContents&)>& showContents) {
    device::HidTransport* transport = transmitterFor(services);
    if (transport == nullptr) return;
    const device::ReadOutcome outcome = services.feedback.run(
        [&](const device::TransferProgress& progress) { return device::readEeprom(*transport, progress); });
    if (const auto* failure = std::get_if<device::DeviceFailure>(&outcome)) {
        reportDeviceFailure(services.reporter, *failure);
        return;
    }
    const image::ImageContents contents = image::decodeImage(std::get<image::EepromImage>(outcome), text);
    showContents(contents);
    if (contents.readErrorRow) {
        services.reporter.report({texts::keys::kEepromReadError, texts::Title::Error, {}});
    }
    for (const texts::Message& hidden : contents.hiddenWordsMessages()) services.reporter.report(hidden);
}

}  // namespace vostrel::ui
