// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/window_geometry.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <string_view>
#include <vector>

#include "ui/controls/mnemonics.h"
#include "image/row_rules.h"

namespace vostrel::ui {
namespace {

constexpr int kDesignFontPixels = 13;
constexpr double kDesignDotsPerInch = 96.0;
// Translations may ask for more room, but not for a window wider than this many
// times its design.
constexpr double kMaxWidening = 2.0;
// What a message or capcode box must show whole: capitals and digits, the widest
// characters a pager text usually holds.
constexpr std::string_view kWidthSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";

int lineEditWidthFor(const QLineEdit& box, int characters) {
    const QString sample = QString::fromLatin1(kWidthSample.substr(0, static_cast<std::size_t>(characters)));
    const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
    constexpr int kTextMargin = 2;  // QLineEdit's own margin on each side
    constexpr int kCursorWidth = 1;
    // The same letters in another order may take a pixel more (kerning, advances in
    // fractions of a pixel).
    constexpr int kOrderAllowance = 1;
    return box.fontMetrics().horizontalAdvance(sample) + 2 * (frame + kTextMargin) + kCursorWidth + kOrderAllowance;
}

int pushButtonWidthFor(const QPushButton& button) {
    // The style's frame and margins around the caption, as it draws them at the
    // button's present width, and a menu's arrow, which the caption is kept clear of.
    QStyleOptionButton option;
    option.initFrom(&button);
    const int contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
    const int arrow = button.menu() != nullptr
                          ? button.style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, &button)
                          : 0;
    return button.fontMetrics().horizontalAdvance(withoutMnemonic(button.text())) + button.width() - contents + arrow;
}

// The width a control needs to show its contents uncut.
int requiredWidth(const QWidget& control, const TextsToFit& texts) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) return combo->sizeHint().width();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        int width = label->fontMetrics().horizontalAdvance(label->text());
        for (const auto& [changing, widest] : texts.widestTexts) {
            if (changing == label) width = std::max(width, label->fontMetrics().horizontalAdvance(widest));
        }
        return width;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) return pushButtonWidthFor(*button);
    // Check boxes and the like: their indicator, its spacing and the caption.
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->sizeHint().width();
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        const auto& messages = texts.messageBoxes;
        const bool isMessageBox = std::find(messages.begin(), messages.end(), box) != messages.end();
        for (const auto& [shown, characters] : texts.shownCharacters) {
            if (shown == box) return lineEditWidthFor(*box, characters);
        }
        return lineEditWidthFor(*box, isMessageBox ? image::kAlphanumericMessageLimit : box->maxLength());
    }
    return 0;
}

QRect scaled(const QRect& place, double factor) {
    const QPoint topLeft(qRound(place.left() * factor), qRound(place.top() * factor));
    const QPoint end(qRound((place.left() + place.width()) * factor), qRound((place.top() + place.height()) * factor));
    return {topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())};
}

// The window's columns, drawn by the controls' left and right edges: a control that
// needs more room widens the widest column it spans, and everything to the right of
// that column moves over by as much. The widest, because neighbours overlap by a pixel
// in the design (a row's boxes share their borders): the one-pixel column they share
// must not grow, or a control would grow over its unmoved neighbour. The arrangement stays as designed (what is
// lined up stays lined up, what is right of another stays so), and only the columns
// whose texts need it grow: a long button caption widens its column, not the rows.
class Columns {
public:
    explicit Columns(const QList<QWidget*>& controls, int windowWidth) {
        edges_ = {0, windowWidth};
        for (const QWidget* control : controls) {
            edges_.push_back(control->x());
            edges_.push_back(control->x() + control->width());
        }
        std::ranges::sort(edges_);
        edges_.erase(std::unique(edges_.begin(), edges_.end()), edges_.end());
        added_.assign(edges_.size(), 0);
    }

    // Makes the span [left, right) at least `needed` wide.
    void widen(int left, int right, int needed) {
        const int shortfall = needed - (moved(right) - moved(left));
        if (shortfall <= 0) return;
        std::size_t widest = index(right);
        for (std::size_t i = index(left) + 1; i <= index(right); ++i) {
            if (edges_[i] - edges_[i - 1] > edges_[widest] - edges_[widest - 1]) widest = i;
        }
        added_[widest] += shortfall;
    }

    // Where an edge of the design goes.
    int moved(int edge) const {
        int added = 0;
        for (std::size_t i = 1; i <= index(edge); ++i) added += added_[i];
        return edge + added;
    }

    // Keeps the window within `maxWidth`: every column's growth shrinks alike.
    void limitTo(int designWidth, int maxWidth) {
        const int added = moved(designWidth) - designWidth;
        if (designWidth + added <= maxWidth) return;
        const double share = double(maxWidth - designWidth) / added;
        for (int& column : added_) column = static_cast<int>(column * share);
    }

private:
    std::size_t index(int edge) const {
        return static_cast<std::size_t>(std::ranges::lower_bound(edges_, edge) - edges_.begin());
    }

    std::vector<int> edges_;
    std::vector<int> added_;  // at [i]: how much the column between edges i-1 and i grows
};

}  // namespace

double layoutScale(const QScreen& screen) { return std::max(1.0, screen.logicalDotsPerInchY() / kDesignDotsPerInch); }

QFont windowFont(double scale) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(kDesignFontPixels * scale));
    return font;
}

void fitWindow(QWidget& window, const TextsToFit& texts) {
    const double scale = layoutScale(*window.screen());
    window.setFont(windowFont(scale));
    const QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        if (!control->isWindow()) control->setGeometry(scaled(control->geometry(), scale));
    }
    window.resize(qRound(window.width() * scale), qRound(window.height() * scale));

    QList<QWidget*> placed;
    for (QWidget* control : controls) {
        if (!control->isWindow()) placed << control;
    }
    // Left to right by their right edges: what a control lacks is measured after the
    // columns it spans have grown for the controls that end before it.
    std::ranges::sort(placed, {}, [](const QWidget* control) { return control->x() + control->width(); });
    Columns columns(placed, window.width());
    for (const QWidget* control : placed) {
        columns.widen(control->x(), control->x() + control->width(), requiredWidth(*control, texts));
    }
    columns.limitTo(window.width(), qRound(window.width() * kMaxWidening));
    for (QWidget* control : placed) {
        const int left = columns.moved(control->x());
        control->setGeometry(left, control->y(), columns.moved(control->x() + control->width()) - left,
                             control->height());
    }
    window.resize(columns.moved(window.width()), window.height());
    keepOnScreen(window);
}

void keepOnScreen(QWidget& window) {
    // The wider window may no longer fit beside its design position on a small screen.
    const QRect available = window.screen()->availableGeometry();
    const int left = std::max(available.left(), std::min(window.x(), available.right() + 1 - window.width()));
    const int top = std::max(available.top(), std::min(window.y(), available.bottom() + 1 - window.height()));
    window.move(left, top);
}

}  // namespace vostrel::ui
