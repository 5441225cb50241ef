// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// Import CSV..., Export CSV... and Labels from list... with their file dialogs. An
// import replaces all sixteen rows and their labels, or, when a cell fails, leaves the
// window as it was and names the cell; an export writes the headings of the window's
// language. What is read and written is ui/workings/window_files.h's.

#include <QObject>
#include <QString>

#include "config/site_list.h"
#include "ui/features/label_column.h"
#include "ui/workings/message_presenter.h"
#include "ui/features/rows_view.h"

class QWidget;

namespace vostrel::ui {

class SiteListCommands : public QObject {
    Q_OBJECT

public:
    SiteListCommands(QWidget& window, const LabelColumn& column, RowsView& rows, const MessageReporter& reporter);

    // Without their file dialogs.
    void importList(const QString& path);
    void exportList(const QString& path);
    void labelsFromList(const QString& path);

private:
    QString chooseFile(const QString& title, texts::TextKey filter, bool toSave);
    config::SiteHeadings headings() const;

    QWidget& window_;
    const LabelColumn& column_;
    RowsView& rows_;
    const MessageReporter& reporter_;
};

}  // namespace vostrel::ui
