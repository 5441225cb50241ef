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

std::optional<image::CharacterPosition> writeCommand(const image::ProgrammerEntries& entries,
                                                     const CommandServices& services) {
    const image::BuildOutcome outcome = image::buildImage(entries);
    if (const auto* refusal = std::get_if<image::BuildRefusal>(&outcome)) {
        services.reporter.report(refusal->message);
        return refusal->at;
    }
    const auto& built = std::get<image::BuiltImage>(outcome);
    // The image is complete before the warning is shown, so nothing done in the window
    // meanwhile changes what is sent.
    // The program may end while the warning is open; then nothing is written.
    if (const auto warning = built.warning(); warning && !services.reporter.report(*warning)) return std::nullopt;
    const auto failure = services.feedback.run([&](const device::TransferProgress& progress) {
        return device::writeEeprom(services.transport, built.image, built.usedWords, progress);
    });
    if (failure) {
        services.reporter.report(failure->message);
        return std::nullopt;
    }
    services.reporter.report({texts::keys::kWriteCompleted, texts::Title::Success, {}});
    return std::nullopt;
}

void readCommand(const CommandServices& services, const image::PagerTextSettings& text,
                 const std::function<void(const image::ImageContents&)>& showContents) {
    const device::ReadOutcome outcome = services.feedback.run(
        [&](const device::TransferProgress& progress) { return device::readEeprom(services.transport, progress); });
    if (const auto* failure = std::get_if<device::DeviceFailure>(&outcome)) {
        services.reporter.report(failure->message);
        return;
    }
    const image::ImageContents contents = image::decodeImage(std::get<image::EepromImage>(outcome), text);
    showContents(contents);
    if (contents.readErrorRow) {
        services.reporter.report({texts::keys::kEepromReadError, texts::Title::Error, {}});
    }
}

}  // namespace vostrel::ui
