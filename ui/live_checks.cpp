// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/live_checks.h"

#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "image/air_time.h"
#include "ui/accessible_list.h"
#include "ui/plain_text.h"

namespace vostrel::ui {
namespace {

// A box the Write would refuse is tinted, with the reason as its tooltip; one whose
// characters are sent replaced is tinted more lightly, with the text sent as its
// tooltip, so that no replacement goes unseen.
constexpr QColor kProblemTint{255, 214, 214};
constexpr QColor kReplacedTint{255, 243, 196};

void showMark(QLineEdit& box, const QString& tooltip, const std::optional<QColor>& tint) {
    box.setToolTip(plainToolTip(tooltip));
    // What the tint and the tooltip show, for a screen reader.
    box.setAccessibleDescription(tooltip);
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
    showEepromUse(eepromUseLine(layout, now.rows));
    const auto planned = image::plannedAirTime(now, layout);
    onAir_.show(planned);
    const auto* air = std::get_if<image::AirTime>(&planned);
    for (unsigned i = 0; i < image::kRowCount; ++i) {
        const image::RowAirTime* figures = air ? air->find(i) : nullptr;
        markRow(i, rowMark(layout, now, i), figures ? rowBreakdown(*air, *figures) : std::vector<texts::Message>());
    }
}

QString LiveChecks::widestUseText(const LanguageTexts& texts) {
    const int rows = static_cast<int>(image::kRowCount);
    const auto text = [&](texts::TextKey key, std::vector<texts::MessageArgument> arguments) {
        return texts.messageText({key, texts::Title::Warn, std::move(arguments)});
    };
    return text(texts::keys::kWordsUsed, {kTransmissionAreaWords, kTransmissionAreaWords}) + QStringLiteral("; ") +
           text(texts::keys::kRowsWillNotFit, {rows - 1, rows});
}

void LiveChecks::showEepromUse(const std::vector<texts::Message>& line) {
    if (line == shownUse_) return;
    shownUse_ = line;
    eepromUse_.setText(joinedTexts(line, texts_));
    announce(eepromUse_);
}

void LiveChecks::markRow(std::size_t index, const RowMark& mark, const std::vector<texts::Message>& airTime) {
    if (mark == shownMarks_[index] && airTime == shownAirTimes_[index]) return;
    shownMarks_[index] = mark;
    shownAirTimes_[index] = airTime;
    const QString text = mark.text ? texts_.messageText(*mark.text) : QString();
    std::optional<QColor> tint;
    if (mark.kind != RowMark::Kind::None) tint = mark.kind == RowMark::Kind::Refused ? kProblemTint : kReplacedTint;
    const bool onCapcode = mark.box == MarkedBox::CapCode;
    const RowControls& row = rows_.rows()[index];
    showMark(*row.capCode, onCapcode ? text : QString(), onCapcode ? tint : std::nullopt);
    showMark(*row.message, onCapcode ? QString() : text, onCapcode ? std::nullopt : tint);
    // Only a row that Write stores goes on air, and such a row has no refusal to show;
    // what it sends replaced, or its own alphabet, comes first.
    if (airTime.empty()) return;
    QStringList lines;
    if (!text.isEmpty()) lines << text;
    lines << joinedTexts(airTime, texts_);
    row.message->setToolTip(oneLineToolTip(lines));
}

}  // namespace vostrel::ui
