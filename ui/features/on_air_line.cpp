// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/on_air_line.h"

#include <QApplication>
#include <QLabel>

#include "texts/message_format.h"
#include "ui/controls/accessible_list.h"
#include "ui/controls/plain_text.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// The line at its usual longest: a row over the limit and two settings that would
// bring it under.
OnAirFigures widthSample() {
    using texts::Decimal;
    using texts::Message;
    using texts::Title;
    return {Message{keys::kOnAir, Title::Warn, {16, Decimal{15.99}, Decimal{16.0}}},
            Message{keys::kOverLimit, Title::Warn, {}},
            {Message{keys::kWithRate, Title::Warn, {2400}}, Message{keys::kWithRepeat, Title::Warn, {1}}}};
}

}  // namespace

OnAirLine::OnAirLine(QLabel& line, const RowsView& rows, const LanguageTexts& texts)
    : line_(line), texts_(texts) {
    followTheRowBeingEdited(rows);
}

void OnAirLine::followTheRowBeingEdited(const RowsView& rows) {
    // Focus leaving the rows (for the data rate, say) keeps the row shown, so that the
    // effect of a setting on it can be seen. The connection ends with this object: the
    // window's destruction moves the focus after its rows are gone.
    connect(qApp, &QApplication::focusChanged, this, [this, &rows](QWidget*, QWidget* now) {
        const auto row = rows.rowOf(now);
        if (!row || *row == row_) return;
        row_ = static_cast<unsigned>(*row);
        emit rowChanged();
    });
}

void OnAirLine::show(const std::variant<image::AirTime, texts::Message>& planned) {
    const OnAirFigures line = onAirFigures(planned, row_);
    if (line == shown_) return;
    shown_ = line;
    line_.setText(text(line));
    // The whole line, should a long translation not fit the window.
    line_.setToolTip(oneLineToolTip(QStringList{line_.text()}));
    announce(line_);
}

// "On air: ...; over 5 s, under it with 2400 bit/s, repeat 2 or preamble 700 bits"
QString OnAirLine::text(const OnAirFigures& line) const {
    QString text = texts_.messageText(line.figures);
    if (!line.overLimit) return text;
    text += QStringLiteral("; ") + texts_.messageText(*line.overLimit);
    if (line.remedies.empty()) return text;
    std::vector<std::string> remedies;
    for (const texts::Message& remedy : line.remedies) remedies.push_back(texts_.messageText(remedy).toStdString());
    const std::string joined = texts::joinedAlternatives(remedies, texts_.text(keys::kOr).toStdString());
    return text + QLatin1Char(' ') + QString::fromStdString(joined);
}

QString OnAirLine::widestText() const { return text(widthSample()); }

}  // namespace vostrel::ui
