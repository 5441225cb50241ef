// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/live_checks.h"

#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "image/air_time.h"
#include "image/fingerprint.h"
#include "ui/controls/accessible_list.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {
namespace {

// A box the Write would refuse is tinted, with the reason as its tooltip; the boxes of
// a row it leaves out are tinted in another colour, with why and what would make it
// fit; one whose characters are sent replaced is tinted more lightly, with the text
// sent as its tooltip, so that no replacement goes unseen.
constexpr QColor kProblemTint{255, 214, 214};
constexpr QColor kLeftOutTint{255, 222, 173};
constexpr QColor kReplacedTint{255, 243, 196};

std::optional<QColor> tintOf(RowMark::Kind kind) {
    switch (kind) {
        case RowMark::Kind::None: return std::nullopt;
        case RowMark::Kind::Refused: return kProblemTint;
        case RowMark::Kind::LeftOut: return kLeftOutTint;
        case RowMark::Kind::Replaced: break;
    }
    return kReplacedTint;
}

// A tooltip of one line wraps as a tooltip does; one of several keeps each line whole.
QString toolTipOf(const QStringList& lines) {
    return lines.size() > 1 ? oneLineToolTip(lines) : plainToolTip(lines.join(QString()));
}

void showMark(QLineEdit& box, const QStringList& tooltip, const std::optional<QColor>& tint) {
    box.setToolTip(toolTipOf(tooltip));
    // What the tint and the tooltip show, for a screen reader.
    box.setAccessibleDescription(tooltip.join(QLatin1Char('\n')));
    if (!tint) {
        box.setPalette(QPalette());
        return;
    }
    QPalette tinted = box.palette();
    tinted.setColor(QPalette::Base, *tint);
    box.setPalette(tinted);
}

}  // namespace

LiveChecks::LiveChecks(const RowsView& rows, QLabel& eepromUse, OnAirLine& onAir, const LanguageTexts& texts)
    : rows_(rows), eepromUse_(eepromUse), onAir_(onAir), texts_(texts) {
    // Every change counts, the user's and the code's: a Read or Open changes the rows too.
    connect(&rows, &RowsView::changed, this, &LiveChecks::check);
    connect(&onAir, &OnAirLine::rowChanged, this, &LiveChecks::check);
    check();
}

void LiveChecks::check() {
    const image::ProgrammerEntries now = rows_.entries();
    const image::RowLayout layout = image::layOutRows(now);
    const image::SiteCapacity capacity = image::siteCapacity(now, layout);
    const std::vector<image::Advice> advice = image::capacityAdvice(capacity, now);
    showEepromUse(eepromUseLine(layout, now), siteAdviceLines(advice));
    showFingerprint(now);
    const auto planned = image::plannedAirTime(now, layout);
    onAir_.show(planned);
    const auto* air = std::get_if<image::AirTime>(&planned);
    const image::PagerDisplays displays = image::plannedDisplays(now, layout);
    for (unsigned i = 0; i < image::kRowCount; ++i) {
        const image::RowAirTime* figures = air ? air->find(i) : nullptr;
        markRow(i, rowMark(layout, now, capacity, advice, i),
                figures ? rowBreakdown(*air, *figures) : std::vector<texts::Message>(),
                displays[i]);
    }
}

QString LiveChecks::widestUseText(const LanguageTexts& texts) {
    const int rows = static_cast<int>(image::kRowCount);
    const auto text = [&](texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
        return texts.messageText({key, texts::Title::Warn, std::move(arguments)});
    };
    // The labels of the rows left out do not widen the window: the line is cut.
    return text(texts::keys::kWordsUsed, {kTransmissionAreaWords, kTransmissionAreaWords}) + QStringLiteral("; ") +
           text(texts::keys::kRowsWillNotFit, {rows - 1, rows});
}

void LiveChecks::showEepromUse(const std::vector<texts::Message>& line, const std::vector<texts::Message>& advice) {
    if (line == shownUse_ && advice == shownAdvice_) return;
    shownUse_ = line;
    shownAdvice_ = advice;
    const QString text = joinedTexts(line, texts_);
    // The labels of many rows left out can be longer than the line: it ends in "...",
    // and the tooltip has it whole.
    const QString shown = eepromUse_.fontMetrics().elidedText(text, Qt::ElideRight, eepromUse_.contentsRect().width());
    eepromUse_.setText(shown);
    useToolTip_.clear();
    if (shown != text) useToolTip_ << text;
    for (const texts::Message& each : advice) useToolTip_ << texts_.messageText(each);
    showEepromToolTip();
    announce(eepromUse_);
}

// The value a site's sheet, `vostrel-cli devices` and `verify` show for a transmitter
// holding these rows; none while a Write would refuse them.
void LiveChecks::showFingerprint(const image::ProgrammerEntries& entries) {
    const image::BuildOutcome built = image::buildImage(entries);
    const auto* image = std::get_if<image::BuiltImage>(&built);
    const std::optional<std::uint32_t> fingerprint =
        image ? std::optional(image::contentsFingerprint(image->image)) : std::nullopt;
    if (fingerprint == shownFingerprint_) return;
    shownFingerprint_ = fingerprint;
    showEepromToolTip();
}

// The whole line when it is cut, what the site could do when rows are left out, and the
// contents fingerprint.
void LiveChecks::showEepromToolTip() {
    QStringList lines = useToolTip_;
    if (shownFingerprint_) {
        lines << texts_.messageText({texts::keys::kContentsFingerprint, texts::Title::Warn,
                                     {texts::Text{image::fingerprintText(*shownFingerprint_)}}});
    }
    eepromUse_.setToolTip(lines.isEmpty() ? QString() : toolTipOf(lines));
    eepromUse_.setAccessibleDescription(lines.join(QLatin1Char('\n')));
}

void LiveChecks::markRow(std::size_t index, const RowMark& mark, const std::vector<texts::Message>& airTime,
                         const std::optional<std::string>& shows) {
    if (mark == shownMarks_[index] && airTime == shownAirTimes_[index] && shows == shownDisplays_[index]) return;
    shownMarks_[index] = mark;
    shownAirTimes_[index] = airTime;
    shownDisplays_[index] = shows;
    QStringList text;
    for (const texts::Message& line : mark.text) text << texts_.messageText(line);
    const std::optional<QColor> tint = tintOf(mark.kind);
    const bool onCapcode = mark.box != MarkedBox::Message;
    const bool onMessage = mark.box != MarkedBox::CapCode;
    const RowControls& row = rows_.rows()[index];
    showMark(*row.capCode, onCapcode ? text : QStringList(), onCapcode ? tint : std::nullopt);
    showMark(*row.message, onMessage ? text : QStringList(), onMessage ? tint : std::nullopt);
    // Only a row that Write stores shows on a pager and goes on air, and such a row has
    // no refusal to show: what its pager shows comes first, then what it sends
    // replaced or its own alphabet.
    if (!shows) return;
    QStringList lines{texts_.messageText({texts::keys::kPagerShowsTip, texts::Title::Warn, {texts::Text{*shows}}})};
    lines << text;
    row.message->setAccessibleDescription(lines.join(QLatin1Char('\n')));
    // Rich text would run the blanks a numeric pager adds together.
    lines.front().replace(QLatin1Char(' '), QChar(0x00A0));
    if (!airTime.empty()) lines << joinedTexts(airTime, texts_);
    row.message->setToolTip(oneLineToolTip(lines));
}

}  // namespace vostrel::ui
