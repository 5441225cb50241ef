// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/Unit1.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <algorithm>
#include <map>
#include <memory>
#include <string_view>

#include "image/air_time.h"
#include "image/transmitter_settings.h"
#include "ui/accessible_list.h"
#include "ui/local_path.h"
#include "ui/mnemonics.h"
#include "ui/plain_text.h"
#include "ui/row_checks.h"
#include "ui/window_files.h"
#include "ui/window_geometry.h"

using vostrel::image::ImageContents;
using vostrel::image::RowLayout;
using vostrel::image::PagerItem;
using vostrel::image::PagerTextSettings;
using vostrel::image::ProgrammerEntries;
using PagerAlphabet = vostrel::paging::Alphabet;
using vostrel::paging::PagerType;
using vostrel::ui::LanguageTexts;
using vostrel::ui::RowChoice;
using vostrel::ui::RowState;

namespace {

// How a screen reader names a row's controls: the row, then the column's heading.
constexpr std::string_view kRowName = "Row %d";

constexpr QPoint kWindowPosition{305, 129};
// Where the transfer's progress bar sits while words move, in design coordinates:
// between the Write and Exit buttons.
constexpr QRect kTransferProgressPlace{544, 362, 75, 12};

// What the window remembers between runs, in the user's configuration folder.
constexpr QLatin1StringView kSettingsGroup("Window");
constexpr QLatin1StringView kConfirmWriteKey("ConfirmWrite");

// The choices that outlive the window, in the user's configuration directory
// (vostrel-programmer/vostrel-programmer.ini there), apart from any configuration file.
// QSettings reads its file as soon as it is made, and a FIFO or a link to a device
// there would hold the window for ever; such a file, or one far larger than any
// settings, leaves the choices unremembered. Its name is asked of a QSettings for a
// name that has no file, so that it is the one QSettings itself would open.
const QString kSettingsOrganization = QStringLiteral("vostrel-programmer");
const QString kSettingsApplication = QStringLiteral("vostrel-programmer");
constexpr qint64 kMaxSettingsBytes = 1 << 20;

QString fromLatin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<QSettings> rememberedChoices() {
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, kSettingsOrganization,
                          QStringLiteral("vostrel-programmer-path-probe"));
    const QFileInfo file(QFileInfo(probe.fileName()).dir().filePath(kSettingsApplication + QStringLiteral(".ini")));
    if (file.exists() && (!file.isFile() || file.size() > kMaxSettingsBytes)) return nullptr;
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kSettingsOrganization,
                                                kSettingsApplication);
    settings->beginGroup(kSettingsGroup);
    return settings;
}
const QString kAlphabetKey = QStringLiteral("Alphabet");
const QString kTransliterateKey = QStringLiteral("Transliterate");

QString alphabetName(PagerAlphabet alphabet) {
    const std::string_view name = vostrel::paging::alphabetTable(alphabet).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// Shows a text read from the device whole: the box's limit bounds only what the user
// types.
void showWhole(QLineEdit& box, const QString& text) {
    if (text.size() > box.maxLength()) box.setMaxLength(static_cast<int>(text.size()));
    box.setText(text);
}

// A box the Write would refuse is tinted, with the reason as its tooltip; one whose
// characters are sent replaced is tinted more lightly, with the text sent as its
// tooltip, so that no replacement goes unseen.
constexpr QColor kProblemTint{255, 214, 214};
constexpr QColor kReplacedTint{255, 243, 196};

// Escaped, so that a translation is shown as it stands and never as markup.
QString plainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped());
}

// On one line each: a rich-text tooltip is wrapped narrowly, which tears a figure from
// its unit.
QString oneLineToolTip(const QStringList& lines) {
    QStringList escaped;
    for (const QString& line : lines) escaped << line.toHtmlEscaped();
    return QStringLiteral("<p style=\"white-space:nowrap\">%1</p>").arg(escaped.join(QStringLiteral("<br>")));
}
QString oneLineToolTip(const QString& text) { return oneLineToolTip(QStringList{text}); }

void showMark(QLineEdit& box, const QString& tooltip, const std::optional<QColor>& tint) {
    box.setToolTip(plainToolTip(tooltip));
    if (!tint) {
        box.setPalette(QPalette());
        return;
    }
    QPalette tinted = box.palette();
    tinted.setColor(QPalette::Base, *tint);
    box.setPalette(tinted);
}

// The place in `text` (UTF-16) of its character number `index`, and that character's length.
std::pair<qsizetype, qsizetype> characterSpan(const QString& text, std::size_t index) {
    const auto lengthAt = [&](qsizetype at) -> qsizetype {
        const bool pair = at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate();
        return pair ? 2 : 1;
    };
    qsizetype at = 0;
    for (std::size_t i = 0; i < index && at < text.size(); ++i) at += lengthAt(at);
    return {at, at < text.size() ? lengthAt(at) : 0};
}

// The one local file a drag carries; several files or anything else open nothing.
QString droppedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    return data->urls().front().toLocalFile();
}

QString joined(const std::vector<vostrel::texts::Message>& parts, const LanguageTexts& texts) {
    QStringList shown;
    for (const auto& part : parts) shown << texts.messageText(part);
    return shown.join(QStringLiteral("; "));
}

// "On air: ...; over 5 s, under it with 2400 bit/s, repeat 2 or preamble 700 bits"
QString airTimeText(const vostrel::ui::AirTimeLine& line, const LanguageTexts& texts) {
    QString text = texts.messageText(line.figures);
    if (!line.overLimit) return text;
    text += QStringLiteral("; ") + texts.messageText(*line.overLimit);
    for (std::size_t i = 0; i < line.remedies.size(); ++i) {
        const bool last = i + 1 == line.remedies.size();
        text += i == 0 ? QStringLiteral(" ")
                       : last ? QStringLiteral(" %1 ").arg(texts.text(vostrel::image::keys::kOr)) : QStringLiteral(", ");
        text += texts.messageText(line.remedies[i]);
    }
    return text;
}

// The time-on-air line at its usual longest, which the window makes room for: a
// row over the limit and two settings that would bring it under.
vostrel::ui::AirTimeLine airTimeWidthSample() {
    using vostrel::texts::Decimal;
    using vostrel::texts::Message;
    using vostrel::texts::Title;
    namespace keys = vostrel::image::keys;
    return {Message{vostrel::ui::keys::kOnAir, Title::Warn, {16, Decimal{15.99}, Decimal{16.0}}},
            Message{keys::kOverLimit, Title::Warn, {}},
            {Message{keys::kWithRate, Title::Warn, {2400}}, Message{keys::kWithRepeat, Title::Warn, {1}}}};
}

// A live region: a screen reader tells the label's change without being asked. Qt
// before 6.8 sends only the label's name change, which screen readers read out for
// the focused control alone.
void announce(QLabel& line) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(&line, line.text());
    QAccessible::updateAccessibility(&announcement);
#else
    (void)line;
#endif
}

}  // namespace

TForm1::TForm1(vostrel::device::HidTransport& transport, vostrel::ui::MessagePresenter& presenter,
               QWidget* parent)
    : QWidget(parent),
      transport_(transport),
      texts_(LanguageTexts::ofThisProgram()),
      transferProgress_(new QProgressBar(this)),
      reporter_(texts_, presenter),
      feedback_(*transferProgress_) {
    vostrel::ui::nameListsByTheirAccessibleName();
    setupUi(this);
    vostrel::ui::showLabelsAsPlainText(*this);
    move(kWindowPosition);
    rows_ = findRows();
    acceptOnlyAsciiDigits();
    offerAlphabets();
    transferProgress_->setGeometry(kTransferProgressPlace);
    transferProgress_->setTextVisible(false);
    transferProgress_->hide();
    // On unless the user turned it off; the backup and the read-back do not depend on it.
    if (const auto remembered = rememberedChoices()) {
        ConfirmWrite->setChecked(remembered->value(kConfirmWriteKey, true).toBool());
    }
    applyLanguageTexts(texts_);
    restoreTextChoices();
    giveDistinctShortcuts();
    nameControls(texts_);
    fitLayout();
    connectHandlers();
    connectRowChecks();
    followTheRowBeingEdited();
    passFileDropsToTheWindow();
    setAcceptDrops(true);
    checkRows();
    setUpEditing();
}

TForm1::Rows TForm1::findRows() const {
    return {{
        {Label1, CapCode01, ToneType01, PagerType01, MsgData01},
        {Label2, CapCode02, ToneType02, PagerType02, MsgData02},
        {Label3, CapCode03, ToneType03, PagerType03, MsgData03},
        {Label4, CapCode04, ToneType04, PagerType04, MsgData04},
        {Label5, CapCode05, ToneType05, PagerType05, MsgData05},
        {Label6, CapCode06, ToneType06, PagerType06, MsgData06},
        {Label7, CapCode07, ToneType07, PagerType07, MsgData07},
        {Label8, CapCode08, ToneType08, PagerType08, MsgData08},
        {Label9, CapCode09, ToneType09, PagerType09, MsgData09},
        {Label10, CapCode10, ToneType10, PagerType10, MsgData10},
        {Label11, CapCode11, ToneType11, PagerType11, MsgData11},
        {Label12, CapCode12, ToneType12, PagerType12, MsgData12},
        {Label13, CapCode13, ToneType13, PagerType13, MsgData13},
        {Label14, CapCode14, ToneType14, PagerType14, MsgData14},
        {Label15, CapCode15, ToneType15, PagerType15, MsgData15},
        {Label16, CapCode16, ToneType16, PagerType16, MsgData16},
    }};
}

void TForm1::acceptOnlyAsciiDigits() {
    // A capcode is read up to its first non-digit, so "12345G7" would page pager 12345.
    // Typing and pasting anything but digits is refused where it happens.
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (const RowControls& row : rows_) row.capCode->setValidator(new QRegularExpressionValidator(digits, row.capCode));
    // The preamble box's mask takes a digit of any script, which reaches the image as
    // '?': "600" followed by an Arabic-Indic three would be written as 600. The blanks
    // stand for missing digits.
    Preamble->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), Preamble));
}

void TForm1::offerAlphabets() {
    for (const auto& table : vostrel::paging::kAlphabets) Alphabet->addItem(alphabetName(table.alphabet));
}

void TForm1::connectHandlers() {
    // `activated` comes only from the user; a selection set from code must not run
    // the row rules.
    for (const RowControls& row : rows_) {
        connect(row.type, &QComboBox::activated, this, &TForm1::PagerType01Change);
        connect(row.tone, &QComboBox::activated, this, &TForm1::ToneType01Change);
    }
    connect(BtnRead, &QPushButton::clicked, this, &TForm1::BtnReadClick);
    connect(BtnWrite, &QPushButton::clicked, this, &TForm1::BtnWriteClick);
    connect(BtnExit, &QPushButton::clicked, this, &TForm1::BtnExitClick);
    connect(BtnOpen, &QPushButton::clicked, this, &TForm1::BtnOpenClick);
    connect(BtnSave, &QPushButton::clicked, this, &TForm1::BtnSaveClick);
    connect(ConfirmWrite, &QCheckBox::toggled, this, [](bool checked) {
        if (const auto remembered = rememberedChoices()) remembered->setValue(kConfirmWriteKey, checked);
    });
}

void TForm1::connectRowChecks() {
    // Every change counts, the user's and the code's: a Read or Open changes the rows too.
    const auto check = [this] { checkRows(); };
    const auto choiceChanged = [this] {
        rememberTextChoices();
        checkRows();
    };
    connect(Alphabet, &QComboBox::currentIndexChanged, this, choiceChanged);
    connect(Transliterate, &QCheckBox::toggled, this, choiceChanged);
    for (const RowControls& row : rows_) {
        connect(row.capCode, &QLineEdit::textChanged, this, check);
        connect(row.message, &QLineEdit::textChanged, this, check);
        connect(row.tone, &QComboBox::currentIndexChanged, this, check);
        connect(row.type, &QComboBox::currentIndexChanged, this, check);
    }
    // The settings change the time on air.
    connect(DataRate, &QComboBox::currentIndexChanged, this, check);
    connect(Repeater, &QComboBox::currentIndexChanged, this, check);
    connect(Preamble, &QLineEdit::textChanged, this, check);
}

// QWidget's destructor hides the window, which moves the focus: by then the rows are
// gone, so the window stops following the focus before.
TForm1::~TForm1() { disconnect(followingFocus_); }

void TForm1::followTheRowBeingEdited() {
    // Focus leaving the rows (for the data rate, say) keeps the row shown, so that the
    // effect of a setting on it can be seen.
    followingFocus_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (unsigned i = 0; i < rows_.size(); ++i) {
            const RowControls& row = rows_[i];
            if (now != row.capCode && now != row.tone && now != row.type && now != row.message) continue;
            if (i != airTimeRow_) {
                airTimeRow_ = i;
                checkRows();
            }
            return;
        }
    });
}

void TForm1::passFileDropsToTheWindow() {
    // A box would take a dropped file's name as text; the window opens the file instead.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->installEventFilter(this);
}

void TForm1::applyLanguageTexts(const LanguageTexts& texts) {
    const std::array<std::pair<QLabel*, std::string_view>, 10> headings = {{
        {Label17, "CapCode"}, {Label18, "Tone"}, {Label19, "Type"}, {Label20, "Message"},
        {Label21, "Data Rate"}, {Label22, "Preamble"}, {Label23, "Reapter"}, {Label24, "bps"},
        {Label25, "bits"}, {Label26, "times"},
    }};
    for (const auto& [label, key] : headings) label->setText(texts.text(key));
    BtnRead->setText(texts.text("&Read"));
    BtnWrite->setText(texts.text("&Write"));
    BtnExit->setText(texts.text("&Exit"));
    BtnOpen->setText(texts.text("&Open..."));
    BtnSave->setText(texts.text("&Save..."));
    AlphabetLabel->setText(texts.text("Pager alphabet"));
    Transliterate->setText(texts.text("Transliterate"));
    Transliterate->setToolTip(plainToolTip(
        texts.text("Send characters the pager alphabet lacks replaced (e with accent as e, ß as ss) "
                   "instead of refusing them")));
    for (const auto& table : vostrel::paging::kAlphabets) {
        Alphabet->setItemData(static_cast<int>(table.alphabet), plainToolTip(texts.text(table.standard)),
                              Qt::ToolTipRole);
    }
    ConfirmWrite->setText(texts.text("Ask before overwriting calls"));

    const QStringList pagerTypes = {texts.text("Numeric"), texts.text("Alphnumeric")};
    for (const RowControls& row : rows_) {
        row.type->clear();
        row.type->addItems(pagerTypes);
        row.type->setCurrentIndex(0);
    }

    // The built-in title stays unless the file names another one.
    const QString title = texts.text("ProgramTitle");
    if (title != QLatin1String("ProgramTitle")) setWindowTitle(vostrel::ui::literalWindowTitle(title));
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
    const auto shown = [](const QString& text, std::string_view key) {
        return text.isEmpty() ? fromLatin1(key) : text;
    };
    const auto caption = [](const QString& text, std::string_view key) {
        return vostrel::ui::withoutMnemonic(text.isEmpty() ? fromLatin1(key) : text);
    };
    const std::array<QString, 4> columns = {shown(Label17->text(), "CapCode"), shown(Label18->text(), "Tone"),
                                            shown(Label19->text(), "Type"), shown(Label20->text(), "Message")};
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        QString row = texts.messageText({kRowName, vostrel::texts::Title::Warn, {number}});
        if (row.trimmed().isEmpty()) row = QString::number(number);
        const RowControls& controls = rows_[i];
        const std::array<QWidget*, 4> cells = {controls.capCode, controls.tone, controls.type, controls.message};
        for (std::size_t column = 0; column < cells.size(); ++column) {
            cells[column]->setAccessibleName(row + QLatin1Char(' ') + columns[column]);
        }
    }
    const struct {
        QWidget* control;
        QLabel* heading;
        std::string_view key;
        QLabel* unit;
    } settings[] = {{DataRate, Label21, "Data Rate", Label24}, {Preamble, Label22, "Preamble", Label25},
                    {Repeater, Label23, "Reapter", Label26}};
    for (const auto& setting : settings) {
        setting.control->setAccessibleName(shown(setting.heading->text(), setting.key));
        setting.control->setAccessibleDescription(setting.unit->text());
    }
    Alphabet->setAccessibleName(shown(AlphabetLabel->text(), "Pager alphabet"));
    const std::pair<QPushButton*, std::string_view> buttons[] = {
        {BtnOpen, "&Open..."}, {BtnSave, "&Save..."}, {BtnRead, "&Read"}, {BtnWrite, "&Write"}, {BtnExit, "&Exit"}};
    for (const auto& [button, key] : buttons) button->setAccessibleName(caption(button->text(), key));
}

void TForm1::fitLayout() {
    vostrel::ui::TextsToFit texts;
    for (const RowControls& row : rows_) texts.messageBoxes.push_back(row.message);
    // The line under the rows at its longest: every word used and two rows left out.
    const int words = vostrel::ui::kTransmissionAreaWords;
    const int rows = static_cast<int>(rows_.size());
    const auto text = [this](std::string_view key, std::vector<vostrel::texts::MessageArgument> arguments) {
        return texts_.messageText({key, vostrel::texts::Title::Warn, std::move(arguments)});
    };
    const QString longestUse = text(vostrel::ui::keys::kWordsUsed, {words, words}) + QStringLiteral("; ") +
                               text(vostrel::ui::keys::kRowsWillNotFit, {rows - 1, rows});
    texts.widestTexts.emplace_back(EepromUse, longestUse);
    texts.widestTexts.emplace_back(OnAir, airTimeText(airTimeWidthSample(), texts_));
    vostrel::ui::fitWindow(*this, texts);
}

RowChoice TForm1::rowChoice(const RowControls& row) const {
    const PagerType type = row.type->currentIndex() == 1 ? PagerType::Alphanumeric : PagerType::Numeric;
    return {static_cast<unsigned>(row.tone->currentIndex()), type};
}

void TForm1::setRowState(const RowControls& row, const RowState& state) {
    row.tone->setCurrentIndex(static_cast<int>(state.choice.tone));
    row.type->setCurrentIndex(static_cast<int>(state.choice.type));
    // A lower limit cuts a longer text to its first characters, to nothing at 0.
    row.message->setMaxLength(state.messageLimit);
    row.message->setReadOnly(state.messageLimit == 0);
}

void TForm1::PagerType01Change() {
    changeRows([this] {
        for (const RowControls& row : rows_) setRowState(row, vostrel::ui::applyTypeRule(rowChoice(row)));
    });
}

void TForm1::ToneType01Change() {
    changeRows([this] {
        for (const RowControls& row : rows_) setRowState(row, vostrel::ui::applyToneRule(rowChoice(row)));
    });
}

ProgrammerEntries TForm1::entries() const {
    ProgrammerEntries entries;
    // The blanks of the masked box stay in the text, as shown.
    entries.preambleText = Preamble->displayText().toStdString();
    entries.repeatIndex = Repeater->currentIndex();
    entries.dataRateIndex = DataRate->currentIndex();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowControls& row = rows_[i];
        const RowChoice choice = rowChoice(row);
        // Every character as typed: the builder refuses what the pager cannot show, and
        // Save keeps it.
        entries.rows[i] = {row.capCode->text().toStdString(), choice.tone, choice.type,
                           row.message->text().toStdString()};
    }
    entries.text = textSettings();
    return entries;
}

PagerTextSettings TForm1::textSettings() const {
    PagerTextSettings text;
    text.alphabet = static_cast<PagerAlphabet>(std::max(Alphabet->currentIndex(), 0));
    text.rowAlphabets = rowAlphabets_;
    text.transliterate = Transliterate->isChecked();
    return text;
}

void TForm1::showEntries(const ProgrammerEntries& entries) {
    changeRows([&] {
        Preamble->setText(QString::fromStdString(entries.preambleText));
        Repeater->setCurrentIndex(entries.repeatIndex);
        DataRate->setCurrentIndex(entries.dataRateIndex);
        for (std::size_t i = 0; i < rows_.size(); ++i) showRow(rows_[i], entries.rows[i]);
        showTextSettings(entries.text);
    });
}

void TForm1::showRow(const RowControls& row, const PagerItem& item) {
    showWhole(*row.capCode, QString::fromStdString(item.capcode));
    row.tone->setCurrentIndex(static_cast<int>(item.tone));
    row.type->setCurrentIndex(static_cast<int>(item.type));
    showWhole(*row.message, QString::fromStdString(item.message));
}

void TForm1::showTextSettings(const PagerTextSettings& text) {
    rowAlphabets_ = text.rowAlphabets;
    Alphabet->setCurrentIndex(static_cast<int>(text.alphabet));
    Transliterate->setChecked(text.transliterate);
}

void TForm1::restoreTextChoices() {
    const auto remembered = rememberedChoices();
    if (!remembered) return;
    const std::string name = remembered->value(kAlphabetKey).toString().toStdString();
    Alphabet->setCurrentIndex(static_cast<int>(vostrel::paging::alphabetNamed(name).value_or(PagerAlphabet::US)));
    Transliterate->setChecked(remembered->value(kTransliterateKey, false).toBool());
}

void TForm1::rememberTextChoices() {
    const auto remembered = rememberedChoices();
    if (!remembered) return;
    remembered->setValue(kAlphabetKey, alphabetName(textSettings().alphabet));
    remembered->setValue(kTransliterateKey, Transliterate->isChecked());
}

void TForm1::selectCharacter(const vostrel::image::CharacterPosition& position) {
    if (position.row >= rows_.size()) return;
    QLineEdit& box = *rows_[position.row].message;
    const auto [at, length] = characterSpan(box.text(), position.index);
    box.setFocus(Qt::OtherFocusReason);
    box.setSelection(static_cast<int>(at), static_cast<int>(length));
}

vostrel::ui::CommandServices TForm1::services() {
    // A Write waiting behind its box holds the rows it built; a Read, Open or second
    // Write meanwhile would be overwritten by them once the box is answered.
    const auto holdOtherCommands = [this](bool waiting) {
        for (QPushButton* button : {BtnRead, BtnWrite, BtnOpen}) button->setEnabled(!waiting);
    };
    return {transport_, reporter_, feedback_, ConfirmWrite->isChecked(), holdOtherCommands};
}

void TForm1::changeRows(const std::function<void()>& change) {
    checksHeld_ = true;
    change();
    checksHeld_ = false;
    checkRows();
}

void TForm1::checkRows() {
    if (checksHeld_) return;
    const ProgrammerEntries now = entries();
    const RowLayout layout = vostrel::image::layOutRows(now);
    showEepromUse(vostrel::ui::eepromUseLine(layout, now.rows));
    const auto planned = vostrel::image::plannedAirTime(now, layout);
    showAirTime(vostrel::ui::airTimeLine(planned, airTimeRow_));
    const auto* air = std::get_if<vostrel::image::AirTime>(&planned);
    for (unsigned i = 0; i < rows_.size(); ++i) {
        const vostrel::image::RowAirTime* figures = air ? air->find(i) : nullptr;
        markRow(i, vostrel::ui::rowMark(layout, now, i),
                figures ? vostrel::ui::rowBreakdown(*air, *figures) : std::vector<vostrel::texts::Message>());
    }
}

void TForm1::showEepromUse(const std::vector<vostrel::texts::Message>& line) {
    if (line == shownUse_) return;
    shownUse_ = line;
    EepromUse->setText(joined(line, texts_));
    announce(*EepromUse);
}

void TForm1::showAirTime(const vostrel::ui::AirTimeLine& line) {
    if (line == shownAirTime_) return;
    shownAirTime_ = line;
    OnAir->setText(airTimeText(line, texts_));
    // The whole line, should a long translation not fit the window.
    OnAir->setToolTip(oneLineToolTip(OnAir->text()));
    announce(*OnAir);
}

void TForm1::markRow(std::size_t index, const vostrel::ui::RowMark& mark,
                     const std::vector<vostrel::texts::Message>& airTime) {
    if (mark == shownMarks_[index] && airTime == shownAirTimes_[index]) return;
    shownMarks_[index] = mark;
    shownAirTimes_[index] = airTime;
    using Kind = vostrel::ui::RowMark::Kind;
    const QString text = mark.text ? texts_.messageText(*mark.text) : QString();
    std::optional<QColor> tint;
    if (mark.kind != Kind::None) tint = mark.kind == Kind::Refused ? kProblemTint : kReplacedTint;
    const bool onCapcode = mark.box == vostrel::ui::MarkedBox::CapCode;
    showMark(*rows_[index].capCode, onCapcode ? text : QString(), onCapcode ? tint : std::nullopt);
    showMark(*rows_[index].message, onCapcode ? QString() : text, onCapcode ? std::nullopt : tint);
    // What the tint and the tooltip show, for a screen reader.
    rows_[index].capCode->setAccessibleDescription(onCapcode ? text : QString());
    rows_[index].message->setAccessibleDescription(onCapcode ? QString() : text);
    // Only a row that Write stores goes on air, and such a row has no refusal to show;
    // what it sends replaced, or its own alphabet, comes first.
    if (airTime.empty()) return;
    QStringList lines;
    if (!text.isEmpty()) lines << text;
    lines << joined(airTime, texts_);
    rows_[index].message->setToolTip(oneLineToolTip(lines));
}

void TForm1::BtnReadClick() {
    const PagerTextSettings text = textSettings();
    vostrel::ui::readCommand(services(), text, [this, &text](const ImageContents& contents) {
        showEntries(vostrel::image::shownEntries(contents, text));
    });
}

void TForm1::BtnWriteClick() {
    if (const auto refused = vostrel::ui::writeCommand(entries(), services())) selectCharacter(*refused);
}

void TForm1::BtnExitClick() {
    // A posted request: the window closes once this click has been handled.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

QString TForm1::chooseFile(bool toSave) {
    const QPushButton& button = toSave ? *BtnSave : *BtnOpen;
    QFileDialog dialog(this, vostrel::ui::withoutMnemonic(button.text()), lastDirectory_);
    QStringList filters = {texts_.text("Configuration files (*.conf)")};
    if (!toSave) filters << texts_.text("EEPROM images (*.bin)");
    dialog.setNameFilters(filters << texts_.text("All files (*)"));
    dialog.setAcceptMode(toSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(toSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (toSave) dialog.setDefaultSuffix(QStringLiteral("conf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void TForm1::rememberDirectory(const QString& path) { lastDirectory_ = QFileInfo(path).absolutePath(); }

void TForm1::BtnOpenClick() {
    if (const QString path = chooseFile(false); !path.isEmpty()) openFile(path);
}

void TForm1::BtnSaveClick() {
    if (const QString path = chooseFile(true); !path.isEmpty()) saveFile(path);
}

void TForm1::openFile(const QString& path) {
    rememberDirectory(path);
    const auto opened = vostrel::ui::openWindowFile(vostrel::ui::localPath(path), textSettings());
    if (const auto* problem = std::get_if<vostrel::ui::FileProblem>(&opened)) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    const auto& file = std::get<vostrel::ui::OpenedFile>(opened);
    showEntries(file.entries);
    if (file.readErrorRow) reporter_.report({vostrel::texts::keys::kEepromReadError, vostrel::texts::Title::Error, {}});
}

void TForm1::saveFile(const QString& path) {
    rememberDirectory(path);
    if (const auto problem = vostrel::ui::saveWindowFile(vostrel::ui::localPath(path), entries())) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
    }
}

// A dropped file is opened as Open would open it, so it waits while Open does.
bool TForm1::takesDroppedFile(const QMimeData* data) const {
    return BtnOpen->isEnabled() && !droppedFile(data).isEmpty();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (takesDroppedFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    if (!takesDroppedFile(event->mimeData())) return;
    const QString path = droppedFile(event->mimeData());
    event->acceptProposedAction();
    openFile(path);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (filterEditingEvent(*static_cast<QWidget*>(watched), *event)) return true;
    const bool isDrag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
    if (isDrag || event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);  // QDragEnterEvent and QDragMoveEvent are drop events
        if (!droppedFile(drop->mimeData()).isEmpty()) {
            // Eaten even while Open waits: a box would take the file's name as text.
            if (isDrag && takesDroppedFile(drop->mimeData())) {
                drop->acceptProposedAction();
            } else if (isDrag) {
                drop->ignore();
            } else {
                dropEvent(drop);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
