// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/controls/accessible_list.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

namespace vostrel::ui {
namespace {

// A list that is not editable, as Qt describes it, but for its name.
class ListAccessible final : public QAccessibleWidget {
public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        const QString choice = list()->currentText();
        if (kind == QAccessible::Value) return choice;
        if (kind == QAccessible::Accelerator) return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        if (kind == QAccessible::Name && !list()->accessibleName().isEmpty()) return list()->accessibleName();
#ifdef Q_OS_UNIX
        if (kind == QAccessible::Name) return choice;
#endif
        const QString text = QAccessibleWidget::text(kind);
        return text.isEmpty() && kind == QAccessible::Name ? choice : text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        return state;
    }

    // The popup's list of choices is the one child.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    QString localizedActionDescription(const QString& action) const override {
        return actionNames().contains(action) ? QComboBox::tr("Open the combo box selection popup") : QString();
    }
    void doAction(const QString& action) override {
        if (!actionNames().contains(action)) return;
        if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* listInterface(const QString& className, QObject* object) {
    auto* list = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || list == nullptr || list->isEditable()) return nullptr;
    return new ListAccessible(list);
}

}  // namespace

void nameListsByTheirAccessibleName() {
    static const bool installed = [] {
        QAccessible::installFactory(listInterface);
        return true;
    }();
    (void)installed;
}

void announce(QLabel& label) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(&label, label.text());
    QAccessible::updateAccessibility(&announcement);
#else
    (void)label;
#endif
}

}  // namespace vostrel::ui
