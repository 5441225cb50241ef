// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/Unit1.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <algorithm>
#include <string_view>

#include "image/air_time.h"
#include "image/transmitter_settings.h"
#include "ui/local_path.h"
#include "ui/plain_text.h"
#include "ui/row_checks.h"
#include "ui/window_files.h"

using vostrel::image::ImageContents;
using vostrel::image::RowLayout;
using vostrel::image::PagerItem;
using vostrel::image::ProgrammerEntries;
using vostrel::paging::PagerType;
using vostrel::ui::LanguageTexts;
using vostrel::ui::RowChoice;
using vostrel::ui::RowState;

namespace {

constexpr int kFontPixelSize = 13;
constexpr QPoint kWindowPosition{305, 129};
// Where the transfer's progress bar sits while words move, in design coordinates:
// between the Write and Exit buttons.
constexpr QRect kTransferProgressPlace{544, 362, 75, 12};
// Translations may ask for more room, but not for a window wider than this many
// times its design.
constexpr double kMaxWidening = 2.0;
// What a message or capcode box must show whole: capitals and digits, the widest
// characters a pager text usually holds.
constexpr std::string_view kWidthSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";

QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixelSize);
    return font;
}

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The paging code sees every character as one byte; in the capcode and preamble
// boxes characters outside Latin-1 become '?'.
std::string toLatin1(const QString& text) { return text.toLatin1().toStdString(); }

// Shows a text read from the device whole: the box's limit bounds only what the user
// types.
void showWhole(QLineEdit& box, const QString& text) {
    if (text.size() > box.maxLength()) box.setMaxLength(static_cast<int>(text.size()));
    box.setText(text);
}

int lineEditWidthFor(const QLineEdit& box, int characters) {
    const QString sample = QString::fromLatin1(kWidthSample.substr(0, static_cast<std::size_t>(characters)));
    const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
    constexpr int kTextMargin = 2;  // QLineEdit's own margin on each side
    constexpr int kCursorWidth = 1;
    return box.fontMetrics().horizontalAdvance(sample) + 2 * (frame + kTextMargin) + kCursorWidth;
}

// The width a control needs to show its contents uncut.
int requiredWidth(const QWidget& control) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) return combo->sizeHint().width();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return label->fontMetrics().horizontalAdvance(label->text());
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        constexpr int kButtonPadding = 12;
        return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) +
               kButtonPadding;
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        const bool isMessageBox = box->objectName().startsWith(QLatin1String("MsgData"));
        return lineEditWidthFor(*box, isMessageBox ? vostrel::ui::kAlphanumericMessageLimit : box->maxLength());
    }
    return 0;
}

// A box the Write would refuse: tinted, with the reason as its tooltip.
constexpr QColor kProblemTint{255, 214, 214};

// Escaped, so that a translation is shown as it stands and never as markup.
QString plainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped());
}

// On one line: a rich-text tooltip is wrapped narrowly, which tears a figure from its
// unit.
QString oneLineToolTip(const QString& text) {
    return QStringLiteral("<p style=\"white-space:nowrap\">%1</p>").arg(text.toHtmlEscaped());
}

void showProblem(QLineEdit& box, const QString& problem) {
    box.setToolTip(plainToolTip(problem));
    if (problem.isEmpty()) {
        box.setPalette(QPalette());
        return;
    }
    QPalette tinted = box.palette();
    tinted.setColor(QPalette::Base, kProblemTint);
    box.setPalette(tinted);
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
                       : last ? QStringLiteral(" %1 ").arg(texts.text(vostrel::ui::keys::kOr)) : QStringLiteral(", ");
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
    namespace keys = vostrel::ui::keys;
    return {Message{keys::kOnAir, Title::Warn, {16, Decimal{15.99}, Decimal{16.0}}},
            Message{keys::kOverLimit, Title::Warn, {}},
            {Message{keys::kWithRate, Title::Warn, {2400}}, Message{keys::kWithRepeat, Title::Warn, {1}}}};
}

QRect widened(const QRect& place, double factor) {
    const int left = qRound(place.left() * factor);
    const int right = qRound((place.left() + place.width()) * factor);
    return {left, place.top(), right - left, place.height()};
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
    setupUi(this);
    vostrel::ui::showLabelsAsPlainText(*this);
    move(kWindowPosition);
    setFont(windowFont());
    rows_ = findRows();
    acceptOnlyDigitsInCapcodes();
    transferProgress_->setGeometry(kTransferProgressPlace);
    transferProgress_->setTextVisible(false);
    transferProgress_->hide();
    applyLanguageTexts(texts_);
    OnAir->setText(airTimeText(airTimeWidthSample(), texts_));
    widenForFont();
    connectHandlers();
    connectRowChecks();
    followTheRowBeingEdited();
    passFileDropsToTheWindow();
    setAcceptDrops(true);
    checkRows();
}

TForm1::Rows TForm1::findRows() const {
    return {{
        {CapCode01, ToneType01, PagerType01, MsgData01}, {CapCode02, ToneType02, PagerType02, MsgData02},
        {CapCode03, ToneType03, PagerType03, MsgData03}, {CapCode04, ToneType04, PagerType04, MsgData04},
        {CapCode05, ToneType05, PagerType05, MsgData05}, {CapCode06, ToneType06, PagerType06, MsgData06},
        {CapCode07, ToneType07, PagerType07, MsgData07}, {CapCode08, ToneType08, PagerType08, MsgData08},
        {CapCode09, ToneType09, PagerType09, MsgData09}, {CapCode10, ToneType10, PagerType10, MsgData10},
        {CapCode11, ToneType11, PagerType11, MsgData11}, {CapCode12, ToneType12, PagerType12, MsgData12},
        {CapCode13, ToneType13, PagerType13, MsgData13}, {CapCode14, ToneType14, PagerType14, MsgData14},
        {CapCode15, ToneType15, PagerType15, MsgData15}, {CapCode16, ToneType16, PagerType16, MsgData16},
    }};
}

void TForm1::acceptOnlyDigitsInCapcodes() {
    // A capcode is read up to its first non-digit, so "12345G7" would page pager 12345.
    // Typing and pasting anything but digits is refused where it happens.
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (const RowControls& row : rows_) row.capCode->setValidator(new QRegularExpressionValidator(digits, row.capCode));
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
}

void TForm1::connectRowChecks() {
    // Every change counts, the user's and the code's: a Read or Open changes the rows too.
    const auto check = [this] { checkRows(); };
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

void TForm1::widenForFont() {
    const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    double factor = 1.0;
    for (const QWidget* control : controls) {
        if (control->width() > 0) factor = std::max(factor, double(requiredWidth(*control)) / control->width());
    }
    factor = std::min(factor, kMaxWidening);
    for (QWidget* control : controls) control->setGeometry(widened(control->geometry(), factor));
    resize(qRound(width() * factor), height());
    keepOnScreen();
}

void TForm1::keepOnScreen() {
    // The wider window may no longer fit beside its design position on a small screen.
    const QRect available = screen()->availableGeometry();
    const int left = std::max(available.left(), std::min(x(), available.right() + 1 - width()));
    const int top = std::max(available.top(), std::min(y(), available.bottom() + 1 - height()));
    move(left, top);
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
    entries.preambleText = toLatin1(Preamble->displayText());
    entries.repeatIndex = Repeater->currentIndex();
    entries.dataRateIndex = DataRate->currentIndex();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowControls& row = rows_[i];
        const RowChoice choice = rowChoice(row);
        entries.rows[i] = {toLatin1(row.capCode->text()), choice.tone, choice.type,
                           vostrel::ui::messageBytes(row.message->text())};
    }
    return entries;
}

vostrel::ui::TypedMessages TForm1::typedMessages() const {
    vostrel::ui::TypedMessages typed;
    for (std::size_t i = 0; i < rows_.size(); ++i) typed[i] = rows_[i].message->text();
    return typed;
}

void TForm1::showEntries(const ProgrammerEntries& entries) {
    changeRows([&] {
        Preamble->setText(fromLatin1(entries.preambleText));
        Repeater->setCurrentIndex(entries.repeatIndex);
        DataRate->setCurrentIndex(entries.dataRateIndex);
        for (std::size_t i = 0; i < rows_.size(); ++i) showRow(rows_[i], entries.rows[i]);
    });
}

void TForm1::showRow(const RowControls& row, const PagerItem& item) {
    showWhole(*row.capCode, fromLatin1(item.capcode));
    row.tone->setCurrentIndex(static_cast<int>(item.tone));
    row.type->setCurrentIndex(static_cast<int>(item.type));
    showWhole(*row.message, fromLatin1(item.message));
}

vostrel::ui::CommandServices TForm1::services() {
    return {transport_, reporter_, feedback_};
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
    const RowLayout layout = vostrel::image::layOutRows(now.rows);
    showEepromUse(vostrel::ui::eepromUseLine(layout, now.rows));
    const auto planned = vostrel::image::plannedAirTime(now, layout);
    showAirTime(vostrel::ui::airTimeLine(planned, airTimeRow_));
    const auto* air = std::get_if<vostrel::image::AirTime>(&planned);
    const vostrel::ui::TypedMessages typed = typedMessages();
    for (unsigned i = 0; i < rows_.size(); ++i) {
        const auto& refusal = layout.refusals[i];
        const vostrel::image::RowAirTime* figures = air ? air->find(i) : nullptr;
        markRow(i, refusal ? std::optional(vostrel::ui::namedAsTyped(*refusal, typed)) : std::nullopt,
                figures ? vostrel::ui::rowBreakdown(*air, *figures) : std::vector<vostrel::texts::Message>());
    }
}

void TForm1::showEepromUse(const std::vector<vostrel::texts::Message>& line) {
    if (line == shownUse_) return;
    shownUse_ = line;
    EepromUse->setText(joined(line, texts_));
}

void TForm1::showAirTime(const vostrel::ui::AirTimeLine& line) {
    if (line == shownAirTime_) return;
    shownAirTime_ = line;
    OnAir->setText(airTimeText(line, texts_));
    // The whole line, should a long translation not fit the window.
    OnAir->setToolTip(oneLineToolTip(OnAir->text()));
}

void TForm1::markRow(std::size_t index, const std::optional<vostrel::texts::Message>& refusal,
                     const std::vector<vostrel::texts::Message>& airTime) {
    if (refusal == shownRefusals_[index] && airTime == shownAirTimes_[index]) return;
    shownRefusals_[index] = refusal;
    shownAirTimes_[index] = airTime;
    const QString problem = refusal ? texts_.messageText(*refusal) : QString();
    const bool onCapcode = refusal && vostrel::ui::markedBox(*refusal) == vostrel::ui::MarkedBox::CapCode;
    showProblem(*rows_[index].capCode, onCapcode ? problem : QString());
    showProblem(*rows_[index].message, onCapcode ? QString() : problem);
    // Only a row that Write stores goes on air, and such a row has no problem to show.
    if (!airTime.empty()) rows_[index].message->setToolTip(oneLineToolTip(joined(airTime, texts_)));
}

void TForm1::BtnReadClick() {
    vostrel::ui::readCommand(services(), [this](const ImageContents& contents) {
        showEntries(vostrel::image::shownEntries(contents));
    });
}

void TForm1::BtnWriteClick() { vostrel::ui::writeCommand(entries(), typedMessages(), services()); }

void TForm1::BtnExitClick() {
    // A posted request: the window closes once this click has been handled.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

QString TForm1::chooseFile(bool toSave) {
    const QPushButton& button = toSave ? *BtnSave : *BtnOpen;
    QFileDialog dialog(this, QString(button.text()).remove(QLatin1Char('&')), lastDirectory_);
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
    const auto opened = vostrel::ui::openWindowFile(vostrel::ui::localPath(path));
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

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openFile(path);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool isDrag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
    if (isDrag || event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);  // QDragEnterEvent and QDragMoveEvent are drop events
        if (!droppedFile(drop->mimeData()).isEmpty()) {
            if (isDrag) {
                drop->acceptProposedAction();
            } else {
                dropEvent(drop);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
