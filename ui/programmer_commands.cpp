// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/programmer_commands.h"

#include <QApplication>
#include <QProgressBar>

#include "ui/message_presenter.h"

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

device::TransferProgress TransferFeedback::progressCallback() {
    // The transfer holds the thread, so the bar is painted at once rather than by the
    // event loop; no input is taken meanwhile.
    return [this](unsigned done, unsigned total) {
        bar_.setMaximum(static_cast<int>(total));
        bar_.setValue(static_cast<int>(done));
        bar_.repaint();
    };
}

namespace {

// A C1 control: never typed, above 7 bits, and not in the numeric table.
constexpr char kNotLatin1 = '\x80';
constexpr char32_t kLastLatin1 = 0xFF;

}  // namespace

std::string messageBytes(const QString& text) {
    std::string bytes;
    for (const char32_t character : text.toUcs4()) {
        bytes += character <= kLastLatin1 ? static_cast<char>(character) : kNotLatin1;
    }
    return bytes;
}

texts::Message namedAsTyped(texts::Message message, const TypedMessages& typed) {
    if (message.key != texts::keys::kInvalidCode || message.arguments.size() != 2) return message;
    auto* refused = std::get_if<texts::Character>(&message.arguments[0]);
    const int* row = std::get_if<int>(&message.arguments[1]);
    if (refused == nullptr || row == nullptr || *row < 1 || *row > static_cast<int>(typed.size())) return message;
    // Every character before the refused one was accepted, so the first that is outside
    // Latin-1 or equal to the refused byte is the one.
    for (const char32_t character : typed[static_cast<std::size_t>(*row - 1)].toUcs4()) {
        if (character > kLastLatin1 || character == refused->codePoint) {
            refused->codePoint = character;
            break;
        }
    }
    return message;
}

void writeCommand(const image::ProgrammerEntries& entries, const TypedMessages& typed,
                  const CommandServices& services) {
    const image::BuildOutcome outcome = image::buildImage(entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        services.reporter.report(namedAsTyped(refusal->message, typed));
        return;
    }
    const auto& built = std::get<image::BuiltImage>(outcome);
    // The image is complete before the warning is shown, so nothing done in the window
    // meanwhile changes what is sent.
    // The program may end while the warning is open; then nothing is written.
    if (const auto warning = built.warning(); warning && !services.reporter.report(*warning)) return;
    const auto failure = services.feedback.run([&](const device::TransferProgress& progress) {
        return device::writeEeprom(services.transport, built.image, built.usedWords, progress);
    });
    if (failure) {
        services.reporter.report(failure->message);
        return;
    }
    services.reporter.report({texts::keys::kWriteCompleted, texts::Title::Success, {}});
}

void readCommand(const CommandServices& services,
                 const std::function<void(const image::ImageContents&)>& showContents) {
    const device::ReadOutcome outcome = services.feedback.run(
        [&](const device::TransferProgress& progress) { return device::readEeprom(services.transport, progress); });
    if (const auto* failure = std::get_if<device::DeviceFailure>(&outcome)) {
        services.reporter.report(failure->message);
        return;
    }
    const image::ImageContents contents = image::decodeImage(std::get<image::EepromImage>(outcome));
    showContents(contents);
    if (contents.readErrorRow) {
        services.reporter.report({texts::keys::kEepromReadError, texts::Title::Error, {}});
    }
}

}  // namespace vostrel::ui
