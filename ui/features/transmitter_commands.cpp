// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/transmitter_commands.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QPushButton>

#include "image/carried_labels.h"
#include "image/fingerprint.h"

namespace vostrel::ui {
namespace {

// Where the transfer's progress bar sits while words move, in design coordinates:
// between the Write and Exit buttons.
constexpr QRect kTransferProgressPlace{544, 362, 75, 12};

QProgressBar& transferProgressBar(QWidget& window) {
    auto* bar = new QProgressBar(&window);
    bar->setGeometry(kTransferProgressPlace);
    bar->setTextVisible(false);
    bar->hide();
    return *bar;
}

}  // namespace

TransmitterCommands::TransmitterCommands(QWidget& window, device::HidTransport& transport,
                                         const MessageReporter& reporter, RowsView& rows,
                                         const QAbstractButton& confirmWrite,
                                         std::vector<QPushButton*> heldWhileWriting)
    : transport_(transport),
      reporter_(reporter),
      rows_(rows),
      confirmWrite_(confirmWrite),
      heldWhileWriting_(std::move(heldWhileWriting)),
      feedback_(transferProgressBar(window)),
      chooser_(window, transport, reporter, [this]() -> std::optional<std::uint32_t> {
          const image::BuildOutcome built = image::buildImage(rows_.entries());
          const auto* image = std::get_if<image::BuiltImage>(&built);
          return image ? std::optional(image::contentsFingerprint(image->image)) : std::nullopt;
      }) {}

void TransmitterCommands::read() {
    const image::PagerTextSettings text = rows_.textSettings();
    readCommand(services(texts::keys::kReadButton), text, [this, &text](const image::ImageContents& contents) {
        image::ProgrammerEntries read = image::shownEntries(contents, text);
        // An erased transmitter holds no settings: the window's stay.
        if (contents.erased) read = rows_.withSettings(std::move(read));
        // The transmitter holds neither labels nor the site's name: the window's stay.
        const auto labelsLeft = image::carryLabelsAndSite(rows_.entries(), read);
        rows_.show(read);
        if (labelsLeft) reporter_.report(*labelsLeft);
    });
}

void TransmitterCommands::write() {
    if (const auto refused = writeCommand(rows_.entries(), services(texts::keys::kWriteButton))) {
        rows_.selectCharacter(*refused);
    }
}

CommandServices TransmitterCommands::services(texts::TextKey command) {
    // A Write waiting behind its box holds the rows it built; a Read, Open or second
    // Write meanwhile would be overwritten by them once the box is answered.
    const auto holdOtherCommands = [this](bool waiting) {
        for (QPushButton* button : heldWhileWriting_) button->setEnabled(!waiting);
    };
    return {transport_, reporter_, feedback_, confirmWrite_.isChecked(), holdOtherCommands,
            [this, command] { return chooser_.choose(command); }};
}

}  // namespace vostrel::ui
