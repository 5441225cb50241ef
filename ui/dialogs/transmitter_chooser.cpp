// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/transmitter_chooser.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "image/fingerprint.h"
#include "image/image_reader.h"
#include "ui/controls/mnemonics.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {
namespace {

using texts::keys;

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// Where a transmitter is plugged in: its port, the name that stays the same across
// boots, or its path where the system names no port.
std::string nameOf(const device::HidDeviceInfo& device) {
    return device.location.empty() ? device.path : device.location;
}

// Reading every transmitter takes a moment per transmitter: the window shows it is busy.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

TransmitterChooser::TransmitterChooser(QWidget& window, device::HidTransport& transport, const LanguageTexts& texts)
    : window_(window), transport_(transport), texts_(texts) {}

device::HidTransport* TransmitterChooser::choose(texts::TextKey command) {
    // Listing reads nothing: with one transmitter the command goes on as it always did.
    if (device::surveyTransmitters(transport_, device::SurveyReads::None).size() < 2) return &transport_;
    std::vector<device::SurveyedDevice> transmitters;
    {
        const BusyCursor busy;
        transmitters = device::surveyTransmitters(transport_, device::SurveyReads::Each);
    }
    if (transmitters.size() < 2) return &transport_;  // one went away meanwhile
    const std::optional<std::size_t> index = ask(transmitters, command);
    if (!index) return nullptr;
    const device::HidDeviceInfo& chosen = transmitters[*index].device;
    remembered_ = nameOf(chosen);
    chosen_.emplace(transport_, chosen.path);
    return &*chosen_;
}

QString TransmitterChooser::lineOf(const device::SurveyedDevice& surveyed) const {
    const device::HidDeviceInfo& device = surveyed.device;
    const QString where = device.location.empty()
                              ? utf8(device.path)
                              : texts_.messageText({keys::kTransmitterPort, texts::Title::Warn,
                                                    {texts::Text{device.location}}});
    if (!surveyed.contents) {
        const QString why = surveyed.failure ? texts_.messageText(surveyed.failure->message) : QString();
        return where + QStringLiteral(": ") + why;
    }
    const image::ImageContents contents = image::decodeImage(*surveyed.contents);
    const int rows = static_cast<int>(std::ranges::count_if(
        contents.rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; }));
    const std::string fingerprint = image::fingerprintText(image::contentsFingerprint(*surveyed.contents));
    const texts::Message holds = rows == 1 ? texts::Message{keys::kTransmitterHoldsOne, texts::Title::Warn,
                                                            {texts::Text{fingerprint}}}
                                           : texts::Message{keys::kTransmitterHolds, texts::Title::Warn,
                                                            {rows, texts::Text{fingerprint}}};
    QString line = where + QStringLiteral(": ") + texts_.messageText(holds);
    if (contents.readErrorRow) line += QStringLiteral(" (") + texts_.text(keys::kEepromReadError) + QLatin1Char(')');
    // Another program's words would otherwise be taken for the rows they hide in.
    for (const texts::Message& hidden : contents.hiddenWordsMessages()) {
        line += QStringLiteral(" (") + texts_.messageText(hidden) + QLatin1Char(')');
    }
    return line;
}

std::size_t TransmitterChooser::preselected(const std::vector<device::SurveyedDevice>& transmitters) const {
    const auto last = std::ranges::find_if(transmitters, [this](const device::SurveyedDevice& surveyed) {
        return nameOf(surveyed.device) == remembered_;
    });
    return last == transmitters.end() ? 0 : static_cast<std::size_t>(last - transmitters.begin());
}

std::optional<std::size_t> TransmitterChooser::ask(const std::vector<device::SurveyedDevice>& transmitters,
                                                   texts::TextKey command) const {
    QDialog dialog(&window_);
    dialog.setWindowTitle(literalWindowTitle(texts_.text(keys::kChooseTransmitterTitle)));
    auto* question = new QLabel(texts_.text(keys::kChooseTransmitter), &dialog);
    auto* list = new QListWidget(&dialog);
    // The question names the list for a screen reader, and its Alt letter leads to it.
    question->setBuddy(list);
    list->setAccessibleName(withoutMnemonic(question->text()));
    for (const device::SurveyedDevice& surveyed : transmitters) list->addItem(lineOf(surveyed));
    list->setCurrentRow(static_cast<int>(preselected(transmitters)));
    // Every line whole, and up to eight of them without scrolling.
    constexpr int kLinesShown = 8;
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24);
    list->setFixedHeight(list->sizeHintForRow(0) * std::min(list->count(), kLinesShown) + 2 * list->frameWidth() + 4);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* goOn = buttons->addButton(texts_.text(command), QDialogButtonBox::AcceptRole);
    buttons->addButton(texts_.text(keys::kCancel), QDialogButtonBox::RejectRole);
    // Enter in the list takes the transmitter selected; Escape cancels.
    goOn->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addWidget(list);
    layout->addWidget(buttons);
    showLabelsAsPlainText(dialog);
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
    return static_cast<std::size_t>(list->currentRow());
}

}  // namespace vostrel::ui
