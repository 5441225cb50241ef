// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// What the window holds beyond the file it last opened or saved: the changed mark, and
// the question before that work would be lost (Exit, the close box, Open): Save,
// Discard or Cancel. The work is the rows, the settings, the labels and the site's
// name, all that Save writes; it is unsaved whenever Save would write other words than
// the file holds, so that undoing back to the file clears the mark.
//
// The title shows the file and the mark as desktop programs do, and says when the
// transmitter is the emulated one:
//   Vostrel programmer rev  V2.01                 nothing opened or saved, no changes
//   site.vostrel* – Vostrel programmer rev  V2.01  site.vostrel, changed since
//   … – emulated transmitter, EEPROM in /home/x/eeprom.bin

#include <QObject>
#include <QString>
#include <string>

#include "ui/features/open_and_save.h"
#include "ui/features/rows_view.h"
#include "ui/workings/message_presenter.h"

class QWidget;

namespace vostrel::ui {

class UnsavedWork : public QObject {
    Q_OBJECT

public:
    // Takes the window's entries as they are now as the ones saved, and its title as
    // the program's.
    UnsavedWork(QWidget& window, RowsView& rows, OpenAndSave& files, const MessageReporter& reporter);

    // True when the window's work may go: nothing is unsaved, or the user saved it or
    // chose to discard it.
    bool mayDiscard();
    // Says in the title that the transmitter is emulated, with its EEPROM file.
    void sayEmulated(const QString& eepromFile);

private:
    void takeAsSaved(const QString& path, bool configuration);
    void markChanges();
    void showTitle();
    // The question's Save: into the configuration opened or saved last, else where
    // Save's dialog says. False when nothing was saved.
    bool save();

    QWidget& window_;
    RowsView& rows_;
    OpenAndSave& files_;
    const MessageReporter& reporter_;
    QString programTitle_;  // as the window takes it, "[*]" doubled
    QString emulatedNote_;
    std::string saved_;  // the configuration Save wrote or would have written at the last Open or Save
    QString fileName_;   // of the file opened or saved last; empty when none
    QString saveTo_;     // the configuration the question's Save writes into; empty when none
};

}  // namespace vostrel::ui
