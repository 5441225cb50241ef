// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The live check of the rows as the window shows it, after every change of its
// entries: the EEPROM's use on the line under the rows (ui/workings/row_checks.h), with
// what the site could do when rows are left out and the contents fingerprint of what a
// Write would store in its tooltip, each box tinted where a Write would refuse, leave
// out or replace what it holds, with the reason as its tooltip, and the time on air: each row's share in its message box's tooltip, the
// line in ui/features/on_air_line.h. A row that a Write stores has first in its tooltip, and
// as its message box's accessible description, what its pager will show
// (image/pager_preview.h).

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/pager_preview.h"
#include "texts/message.h"
#include "ui/workings/language_texts.h"
#include "ui/features/on_air_line.h"
#include "ui/workings/row_checks.h"
#include "ui/features/rows_view.h"

class QLabel;

namespace vostrel::ui {

class LiveChecks : public QObject {
    Q_OBJECT

public:
    // Checks now and after every change of `rows`' entries or of the row `onAir` shows.
    LiveChecks(const RowsView& rows, QLabel& eepromUse, OnAirLine& onAir, const LanguageTexts& texts);

    void check();
    // The EEPROM line at its longest, which the window makes room for: every word used
    // and all rows but the first left out.
    static QString widestUseText(const LanguageTexts& texts);

private:
    void showEepromUse(const std::vector<texts::Message>& line, const std::vector<texts::Message>& advice);
    void showFingerprint(const image::ProgrammerEntries& entries);
    void showEepromToolTip();
    void markRow(std::size_t index, const RowMark& mark, const std::vector<texts::Message>& airTime,
                 const std::optional<std::string>& shows);

    const RowsView& rows_;
    QLabel& eepromUse_;
    OnAirLine& onAir_;
    const LanguageTexts& texts_;
    // What is shown now, so that texts are looked up only when it changes.
    std::vector<texts::Message> shownUse_;
    std::vector<texts::Message> shownAdvice_;
    QStringList useToolTip_;  // the EEPROM line's tooltip above the fingerprint
    std::optional<std::uint32_t> shownFingerprint_;
    std::array<RowMark, image::kRowCount> shownMarks_;
    std::array<std::vector<texts::Message>, image::kRowCount> shownAirTimes_;
    image::PagerDisplays shownDisplays_;
};

}  // namespace vostrel::ui
