// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The time on air on the line under the rows: the row being edited (or last edited)
// and all rows, and when a row sends longer than the limit, the settings that would
// bring it under. The figures and the remedies come from ui/workings/on_air_figures.h; here they
// become the user's language.

#include <QObject>
#include <QString>
#include <optional>
#include <variant>

#include "image/air_time.h"
#include "texts/message.h"
#include "ui/workings/on_air_figures.h"
#include "ui/workings/language_texts.h"
#include "ui/features/rows_view.h"

class QLabel;

namespace vostrel::ui {

class OnAirLine : public QObject {
    Q_OBJECT

public:
    OnAirLine(QLabel& line, const RowsView& rows, const LanguageTexts& texts);

    // The row (0-based) whose time the line shows.
    unsigned row() const { return row_; }
    void show(const std::variant<image::AirTime, texts::Message>& planned);
    // The line at its usual longest, which the window makes room for.
    QString widestText() const;

signals:
    // The user went to another row: the line must show that one.
    void rowChanged();

private:
    void followTheRowBeingEdited(const RowsView& rows);
    QString text(const OnAirFigures& line) const;

    QLabel& line_;
    const LanguageTexts& texts_;
    unsigned row_ = 0;
    // What the line shows now, so that texts are looked up only when it changes.
    std::optional<OnAirFigures> shown_;
};

}  // namespace vostrel::ui
