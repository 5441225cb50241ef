// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/window_geometry.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <string_view>

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
    return box.fontMetrics().horizontalAdvance(sample) + 2 * (frame + kTextMargin) + kCursorWidth;
}

int pushButtonWidthFor(const QPushButton& button) {
    // The style's frame and margins around the caption, as it draws them at the
    // button's present width.
    QStyleOptionButton option;
    option.initFrom(&button);
    const int contents = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
    return button.fontMetrics().horizontalAdvance(withoutMnemonic(button.text())) + button.width() - contents;
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

QRect widened(const QRect& place, double factor) {
    const int left = qRound(place.left() * factor);
    const int right = qRound((place.left() + place.width()) * factor);
    return {left, place.top(), right - left, place.height()};
}

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

    double factor = 1.0;
    for (const QWidget* control : controls) {
        if (!control->isWindow() && control->width() > 0) {
            factor = std::max(factor, double(requiredWidth(*control, texts)) / control->width());
        }
    }
    factor = std::min(factor, kMaxWidening);
    for (QWidget* control : controls) {
        if (!control->isWindow()) control->setGeometry(widened(control->geometry(), factor));
    }
    window.resize(qRound(window.width() * factor), window.height());
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
