// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/window_geometry.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <string_view>

#include "ui/row_rules.h"

namespace vostrel::ui {
namespace {

constexpr int kFontPixelSize = 13;
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

// The width a control needs to show its contents uncut.
int requiredWidth(const QWidget& control, const std::vector<const QLineEdit*>& messageBoxes) {
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
        const bool isMessageBox = std::find(messageBoxes.begin(), messageBoxes.end(), box) != messageBoxes.end();
        return lineEditWidthFor(*box, isMessageBox ? kAlphanumericMessageLimit : box->maxLength());
    }
    return 0;
}

QRect widened(const QRect& place, double factor) {
    const int left = qRound(place.left() * factor);
    const int right = qRound((place.left() + place.width()) * factor);
    return {left, place.top(), right - left, place.height()};
}

}  // namespace

QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixelSize);
    return font;
}

void widenForTexts(QWidget& window, const std::vector<const QLineEdit*>& messageBoxes) {
    const QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    double factor = 1.0;
    for (const QWidget* control : controls) {
        if (control->width() > 0) {
            factor = std::max(factor, double(requiredWidth(*control, messageBoxes)) / control->width());
        }
    }
    factor = std::min(factor, kMaxWidening);
    for (QWidget* control : controls) control->setGeometry(widened(control->geometry(), factor));
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
