// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/Unit1.h"

#include <QCloseEvent>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "files/program_folders.h"
#include "image/alphabet_standards.h"
#include "paging/alphabets.h"
#include "ui/controls/accessible_list.h"
#include "ui/controls/mnemonics.h"
#include "ui/controls/plain_text.h"
#include "ui/controls/window_geometry.h"

using vostrel::texts::TextKey;
using vostrel::ui::LanguageTexts;
using vostrel::ui::RowControls;
using keys = vostrel::texts::keys;

namespace {

constexpr QPoint kWindowPosition{305, 129};

QString builtInText(TextKey key) {
    return QString::fromUtf8(key.text().data(), static_cast<qsizetype>(key.text().size()));
}

}  // namespace

TForm1::TForm1(vostrel::device::HidTransport& transport, vostrel::ui::MessagePresenter& presenter,
               QWidget* parent)
    : QWidget(parent), texts_(LanguageTexts::ofThisProgram()), reporter_(texts_, presenter) {
    vostrel::ui::nameListsByTheirAccessibleName();
    setupUi(this);
    vostrel::ui::showLabelsAsPlainText(*this);
    move(kWindowPosition);
    labels_.emplace(*this);
    rows_.emplace(findRows(), findSettings());
    putLabelsInTheTabOrder();
    acceptOnlyAsciiDigits();
    offerAlphabets();
    transmitter_.emplace(*this, transport, reporter_, *rows_, *ConfirmWrite,
                         std::vector<QPushButton*>{BtnRead, BtnWrite, BtnOpen, BtnRecent});
    applyLanguageTexts(texts_);
    help_.emplace(*this, *BtnHelp, reporter_, vostrel::files::programPlaces().programFolder);
    remembered_.emplace(*Alphabet, *Transliterate, *ConfirmWrite);
    giveDistinctShortcuts();
    nameControls(texts_);
    onAir_.emplace(*OnAir, *rows_, texts_);
    // Before the layout is fitted: its button shows the menu's arrow.
    sheet_.emplace(*this, *BtnSheet, *rows_, reporter_);
    fitLayout();
    connectHandlers();
    files_.emplace(*this, *BtnOpen, *BtnSave, *rows_, reporter_);
    recentFiles_.emplace(*BtnRecent, *files_, texts_);
    restoreBackup_.emplace(*this, *recentFiles_, *BtnOpen, *files_, *transmitter_, reporter_);
    checks_.emplace(*rows_, *EepromUse, *onAir_, texts_);
    copyPaste_.emplace(*rows_, reporter_, *BtnOpen);
    siteList_.emplace(*this, *labels_, *rows_, reporter_);
    // Whether to ask before a Write is the program's preference, kept apart from the
    // entries; undoing a row must not turn it.
    undoRedo_.emplace(*this, *rows_, std::vector<const QWidget*>{ConfirmWrite});
    // Last: the window's entries as they start are the ones it has saved.
    unsaved_.emplace(*this, *rows_, *files_, reporter_);
    files_->askBeforeReplacing([this] { return unsaved_->mayDiscard(); });
    showFocusFromTheStart();
}

vostrel::ui::SettingControls TForm1::findSettings() const {
    return {Preamble, Repeater, DataRate, Alphabet, Transliterate};
}

vostrel::ui::RowControlArray TForm1::findRows() const {
    return {{
        {Label1, CapCode01, ToneType01, PagerType01, MsgData01, labels_->box(0)},
        {Label2, CapCode02, ToneType02, PagerType02, MsgData02, labels_->box(1)},
        {Label3, CapCode03, ToneType03, PagerType03, MsgData03, labels_->box(2)},
        {Label4, CapCode04, ToneType04, PagerType04, MsgData04, labels_->box(3)},
        {Label5, CapCode05, ToneType05, PagerType05, MsgData05, labels_->box(4)},
        {Label6, CapCode06, ToneType06, PagerType06, MsgData06, labels_->box(5)},
        {Label7, CapCode07, ToneType07, PagerType07, MsgData07, labels_->box(6)},
        {Label8, CapCode08, ToneType08, PagerType08, MsgData08, labels_->box(7)},
        {Label9, CapCode09, ToneType09, PagerType09, MsgData09, labels_->box(8)},
        {Label10, CapCode10, ToneType10, PagerType10, MsgData10, labels_->box(9)},
        {Label11, CapCode11, ToneType11, PagerType11, MsgData11, labels_->box(10)},
        {Label12, CapCode12, ToneType12, PagerType12, MsgData12, labels_->box(11)},
        {Label13, CapCode13, ToneType13, PagerType13, MsgData13, labels_->box(12)},
        {Label14, CapCode14, ToneType14, PagerType14, MsgData14, labels_->box(13)},
        {Label15, CapCode15, ToneType15, PagerType15, MsgData15, labels_->box(14)},
        {Label16, CapCode16, ToneType16, PagerType16, MsgData16, labels_->box(15)},
    }};
}

void TForm1::acceptOnlyAsciiDigits() {
    // A capcode is read up to its first non-digit, so "12345G7" would page pager 12345.
    // Typing and pasting anything but digits is refused where it happens.
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (const RowControls& row : rows_->rows()) row.capCode->setValidator(new QRegularExpressionValidator(digits, row.capCode));
    // The preamble box's mask takes a digit of any script, which reaches the image as
    // '?': "600" followed by an Arabic-Indic three would be written as 600. The blanks
    // stand for missing digits.
    Preamble->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), Preamble));
}

void TForm1::offerAlphabets() {
    for (const auto& table : vostrel::paging::kAlphabets) {
        Alphabet->addItem(QString::fromLatin1(table.name.data(), static_cast<qsizetype>(table.name.size())));
    }
}

void TForm1::connectHandlers() {
    // `activated` comes only from the user; a selection set from code must not run
    // the row rules.
    for (const RowControls& row : rows_->rows()) {
        connect(row.type, &QComboBox::activated, this, &TForm1::PagerType01Change);
        connect(row.tone, &QComboBox::activated, this, &TForm1::ToneType01Change);
    }
    connect(BtnRead, &QPushButton::clicked, this, &TForm1::BtnReadClick);
    connect(BtnWrite, &QPushButton::clicked, this, &TForm1::BtnWriteClick);
    connect(BtnExit, &QPushButton::clicked, this, &TForm1::BtnExitClick);
}

void TForm1::putLabelsInTheTabOrder() {
    // Each row's label after its message; the site list's buttons and Help last, so that
    // their Alt letters give way to those of the buttons users already know.
    for (const RowControls& row : rows_->rows()) setTabOrder(row.message, row.label);
    QWidget* previous = previousInFocusChain();
    for (QPushButton* button :
         {&labels_->importButton(), &labels_->exportButton(), &labels_->labelsButton(), BtnHelp}) {
        setTabOrder(previous, button);
        previous = button;
    }
}

void TForm1::showFocusFromTheStart() {
    // Focus frames from the start, not only once the keyboard has moved the focus
    // (some styles hide them until then).
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void TForm1::applyLanguageTexts(const LanguageTexts& texts) {
    const std::array<std::pair<QLabel*, TextKey>, 10> headings = {{
        {Label17, keys::kCapCodeHeading}, {Label18, keys::kToneHeading}, {Label19, keys::kTypeHeading},
        {Label20, keys::kMessageHeading}, {Label21, keys::kDataRateHeading}, {Label22, keys::kPreambleHeading},
        {Label23, keys::kRepeaterHeading}, {Label24, keys::kBitRateUnit}, {Label25, keys::kBitsUnit},
        {Label26, keys::kTimesUnit},
    }};
    for (const auto& [label, key] : headings) label->setText(texts.text(key));
    BtnRead->setText(texts.text(keys::kReadButton));
    BtnWrite->setText(texts.text(keys::kWriteButton));
    BtnExit->setText(texts.text(keys::kExitButton));
    BtnOpen->setText(texts.text(keys::kOpenButton));
    BtnSave->setText(texts.text(keys::kSaveButton));
    BtnSheet->setText(texts.text(keys::kSheetButton));
    labels_->applyTexts(texts);
    AlphabetLabel->setText(texts.text(keys::kPagerAlphabet));
    Transliterate->setText(texts.text(keys::kTransliterate));
    Transliterate->setToolTip(vostrel::ui::plainToolTip(texts.text(keys::kTransliterateTip)));
    for (const auto& table : vostrel::paging::kAlphabets) {
        // The standard it comes from, as its choice's tooltip.
        const TextKey standard = vostrel::image::alphabetStandard(table.alphabet);
        Alphabet->setItemData(static_cast<int>(table.alphabet), vostrel::ui::plainToolTip(texts.text(standard)),
                              Qt::ToolTipRole);
    }
    ConfirmWrite->setText(texts.text(keys::kConfirmWriteCheck));

    const QStringList pagerTypes = {texts.text(keys::kNumeric), texts.text(keys::kAlphnumeric)};
    for (const RowControls& row : rows_->rows()) {
        row.type->clear();
        row.type->addItems(pagerTypes);
        row.type->setCurrentIndex(0);
    }

    // The built-in title stays unless the file names another one.
    const QString title = texts.text(keys::kProgramTitle);
    if (title != builtInText(keys::kProgramTitle)) setWindowTitle(vostrel::ui::literalWindowTitle(title));
}

void TForm1::giveDistinctShortcuts() {
    // A later control in the Tab order gives way to an earlier one; a label's letter
    // belongs to the control it leads to.
    std::map<const QWidget*, int> tabPosition;
    int position = 0;
    for (QWidget* control = nextInFocusChain(); control != this; control = control->nextInFocusChain()) {
        tabPosition.emplace(control, position++);
    }
    std::vector<std::pair<int, QWidget*>> marked;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const auto* label = qobject_cast<QLabel*>(control);
        if (qobject_cast<QAbstractButton*>(control) != nullptr) marked.emplace_back(tabPosition[control], control);
        if (label != nullptr && label->buddy() != nullptr) marked.emplace_back(tabPosition[label->buddy()], control);
    }
    std::stable_sort(marked.begin(), marked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto captionOf = [](QWidget* control) {
        if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
        return qobject_cast<QLabel*>(control)->text();
    };
    QStringList captions;
    for (const auto& [tab, control] : marked) captions << captionOf(control);
    const QStringList distinct = vostrel::ui::distinctMnemonics(captions);
    for (qsizetype i = 0; i < distinct.size(); ++i) {
        QWidget* control = marked[static_cast<std::size_t>(i)].second;
        if (distinct[i] == captions[i]) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(distinct[i]);
        } else {
            qobject_cast<QLabel*>(control)->setText(distinct[i]);
        }
    }
}

void TForm1::nameControls(const LanguageTexts& texts) {
    // A heading or caption translated to nothing is named by its built-in text, so
    // that no control goes unnamed. Headings show "&" as it stands; captions mark
    // their Alt letter with it.
    const auto shown = [](const QString& text, TextKey key) { return text.isEmpty() ? builtInText(key) : text; };
    const auto caption = [](const QString& text, TextKey key) {
        return vostrel::ui::withoutMnemonic(text.isEmpty() ? builtInText(key) : text);
    };
    const std::array<QString, 5> columns = {
        shown(Label17->text(), keys::kCapCodeHeading), shown(Label18->text(), keys::kToneHeading),
        shown(Label19->text(), keys::kTypeHeading), shown(Label20->text(), keys::kMessageHeading),
        shown(labels_->heading().text(), keys::kLabelHeading)};
    for (std::size_t i = 0; i < rows_->rows().size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        QString row = texts.messageText({keys::kRowName, vostrel::texts::Title::Warn, {number}});
        if (row.trimmed().isEmpty()) row = QString::number(number);
        const RowControls& controls = rows_->rows()[i];
        const std::array<QWidget*, 5> cells = {controls.capCode, controls.tone, controls.type, controls.message,
                                               controls.label};
        for (std::size_t column = 0; column < cells.size(); ++column) {
            cells[column]->setAccessibleName(row + QLatin1Char(' ') + columns[column]);
        }
    }
    const struct {
        QWidget* control;
        QLabel* heading;
        TextKey key;
        QLabel* unit;
    } settings[] = {{DataRate, Label21, keys::kDataRateHeading, Label24},
                    {Preamble, Label22, keys::kPreambleHeading, Label25},
                    {Repeater, Label23, keys::kRepeaterHeading, Label26}};
    for (const auto& setting : settings) {
        setting.control->setAccessibleName(shown(setting.heading->text(), setting.key));
        setting.control->setAccessibleDescription(setting.unit->text());
    }
    Alphabet->setAccessibleName(shown(AlphabetLabel->text(), keys::kPagerAlphabet));
    const std::pair<QPushButton*, TextKey> buttons[] = {
        {BtnOpen, keys::kOpenButton}, {BtnSave, keys::kSaveButton}, {BtnRead, keys::kReadButton},
        {BtnWrite, keys::kWriteButton}, {BtnExit, keys::kExitButton}, {BtnSheet, keys::kSheetButton},
        {BtnHelp, keys::kHelpButton}};
    for (const auto& [button, key] : buttons) button->setAccessibleName(caption(button->text(), key));
}

void TForm1::fitLayout() {
    vostrel::ui::TextsToFit texts;
    for (const RowControls& row : rows_->rows()) {
        texts.messageBoxes.push_back(row.message);
        texts.shownCharacters.emplace_back(row.label, vostrel::ui::LabelColumn::kShownCharacters);
    }
    texts.widestTexts.emplace_back(EepromUse, vostrel::ui::LiveChecks::widestUseText(texts_));
    texts.widestTexts.emplace_back(OnAir, onAir_->widestText());
    vostrel::ui::fitWindow(*this, texts);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!unsaved_->mayDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closing();
}

void TForm1::BtnExitClick() {
    // A posted request: the window closes once this click has been handled.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
