// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/dialogs/transmitter_chooser.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
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

// Reading every transmitter takes a moment per transmitter: the window shows it is busy.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The names as the settings file holds them now: another program may have named one.
files::TransmitterNames namesNow() { return files::rememberedTransmitterNames(); }

}  // namespace

TransmitterChooser::TransmitterChooser(QWidget& window, device::HidTransport& transport,
                                       const MessageReporter& reporter, WindowFingerprint windowFingerprint)
    : window_(window), transport_(transport), reporter_(reporter), windowFingerprint_(std::move(windowFingerprint)) {}

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
    remembered_ = device::portOf(chosen);
    chosen_.emplace(transport_, chosen.path);
    return &*chosen_;
}

QString TransmitterChooser::lineOf(const device::SurveyedDevice& surveyed, const files::TransmitterNames& names) const {
    const LanguageTexts& texts = reporter_.texts();
    const device::HidDeviceInfo& device = surveyed.device;
    const QString where = QString::fromStdString(files::transmitterText(
        names, device.path, device.location,
        [&texts](const texts::Message& message) { return texts.messageText(message).toStdString(); }));
    if (!surveyed.contents) {
        const QString why = surveyed.failure ? texts.messageText(surveyed.failure->message) : QString();
        return where + QStringLiteral(": ") + why;
    }
    const image::ImageContents contents = image::decodeImage(*surveyed.contents);
    if (contents.erased) return where + QStringLiteral(": ") + texts.text(keys::kTransmitterErased);
    const int rows = static_cast<int>(std::ranges::count_if(
        contents.rows, [](const image::PagerItem& row) { return row != image::PagerItem{}; }));
    const std::uint32_t fingerprint = image::contentsFingerprint(*surveyed.contents);
    const texts::Text fingerprintText{image::fingerprintText(fingerprint)};
    const texts::Message holds = rows == 1 ? texts::Message{keys::kTransmitterHoldsOne, texts::Title::Warn, {fingerprintText}}
                                           : texts::Message{keys::kTransmitterHolds, texts::Title::Warn, {rows, fingerprintText}};
    QString line = where + QStringLiteral(": ") + texts.messageText(holds);
    if (contents.readErrorRow) line += QStringLiteral(" (") + texts.text(keys::kEepromReadError) + QLatin1Char(')');
    if (windowFingerprint_ && windowFingerprint_() == fingerprint) line += QStringLiteral("; ") + texts.text(keys::kHoldsWindowRows);
    // Another program's words would otherwise be taken for the rows they hide in.
    for (const texts::Message& hidden : contents.hiddenWordsMessages()) {
        line += QStringLiteral(" (") + texts.messageText(hidden) + QLatin1Char(')');
    }
    return line;
}

std::size_t TransmitterChooser::preselected(const std::vector<device::SurveyedDevice>& transmitters) const {
    const auto last = std::ranges::find_if(transmitters, [this](const device::SurveyedDevice& surveyed) {
        return device::portOf(surveyed.device) == remembered_;
    });
    return last == transmitters.end() ? 0 : static_cast<std::size_t>(last - transmitters.begin());
}

void TransmitterChooser::nameSelected(QListWidget& list, const std::vector<device::SurveyedDevice>& transmitters) const {
    const int row = list.currentRow();
    if (row < 0) return;
    const device::SurveyedDevice& surveyed = transmitters[static_cast<std::size_t>(row)];
    const std::string port = device::portOf(surveyed.device);
    const LanguageTexts& texts = reporter_.texts();
    files::TransmitterNames names = namesNow();
    QInputDialog dialog(list.window());
    dialog.setWindowTitle(literalWindowTitle(texts.text(keys::kChooseTransmitterTitle)));
    dialog.setLabelText(texts.messageText({keys::kNameQuestion, texts::Title::Warn, {texts::Text{port}}}));
    dialog.setTextValue(QString::fromStdString(names.nameAt(port).value_or(std::string())));
    dialog.setCancelButtonText(texts.text(keys::kCancel));
    showLabelsAsPlainText(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    if (const auto refused = names.give(port, dialog.textValue().toStdString())) {
        reporter_.report(*refused);
        return;
    }
    if (const auto error = files::keepTransmitterNames(names)) {
        reporter_.report({keys::kNameNotKept, texts::Title::Error, {}}, QString::fromStdString(error->what));
        return;
    }
    list.currentItem()->setText(lineOf(surveyed, names));
}

std::optional<std::size_t> TransmitterChooser::ask(const std::vector<device::SurveyedDevice>& transmitters,
                                                   texts::TextKey command) const {
    const LanguageTexts& texts = reporter_.texts();
    QDialog dialog(&window_);
    dialog.setWindowTitle(literalWindowTitle(texts.text(keys::kChooseTransmitterTitle)));
    auto* question = new QLabel(texts.text(keys::kChooseTransmitter), &dialog);
    auto* list = new QListWidget(&dialog);
    // The question names the list for a screen reader, and its Alt letter leads to it.
    question->setBuddy(list);
    list->setAccessibleName(withoutMnemonic(question->text()));
    const files::TransmitterNames names = namesNow();
    for (const device::SurveyedDevice& surveyed : transmitters) list->addItem(lineOf(surveyed, names));
    list->setCurrentRow(static_cast<int>(preselected(transmitters)));
    // Every line whole, and up to eight of them without scrolling; room for a name given.
    constexpr int kLinesShown = 8;
    const int nameRoom = list->fontMetrics().averageCharWidth() * static_cast<int>(files::kMaxNameLength);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24 + nameRoom / 2);
    list->setFixedHeight(list->sizeHintForRow(0) * std::min(list->count(), kLinesShown) + 2 * list->frameWidth() + 4);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* goOn = buttons->addButton(texts.text(command), QDialogButtonBox::AcceptRole);
    QPushButton* name = buttons->addButton(texts.text(keys::kNameButton), QDialogButtonBox::ActionRole);
    buttons->addButton(texts.text(keys::kCancel), QDialogButtonBox::RejectRole);
    // Enter in the list takes the transmitter selected; Escape cancels.
    goOn->setDefault(true);
    name->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(name, &QPushButton::clicked, &dialog, [this, list, &transmitters] {
        nameSelected(*list, transmitters);
        list->setFocus();
    });

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
