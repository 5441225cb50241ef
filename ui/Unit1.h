// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The programmer window: sixteen call items, the transmitter settings, the Open, Save,
// Read, Write and Exit buttons, the pager alphabet and transliteration, and the live
// check of the rows under them. Its controls and fixed layout come from Unit1.ui; it
// holds them and wires them to the classes that do the work, one feature each in
// ui/features/:
//   rows_view            the entries as data: ProgrammerEntries out of the window and in
//   transmitter_commands the Read and Write buttons, which ask which transmitter
//                        when several are attached (dialogs/transmitter_chooser)
//   open_and_save        Open and Save, a dropped file, files named on the command line
//   recent_files_menu    the recent files beside Open
//   restore_backup       Restore backup... in that menu (dialogs/backup_chooser)
//   live_checks          the EEPROM line (the contents fingerprint in its tooltip) and the
//                        marks on refused or replaced boxes
//   on_air_line          the time on air
//   row_copy_paste       copying and pasting rows
//   undo_redo            undo and redo of every change
//   remembered_choices   the choices kept for the next run
//   site_sheet_commands  the site sheet: Export PDF... and Print...
//   label_column         the Label column and the site list's buttons beneath it
//   site_list_commands   Import CSV, Export CSV and labels from a list
//   unsaved_work         the title with the file's name and the changed mark, and the
//                        question before Exit, the close box or Open would lose work
//   user_guide_help      F1 and the Help button: the user guide in the web browser
// What they open is in ui/dialogs/, how the controls behave in ui/controls/, and what
// they compute and read without controls of their own in ui/workings/.
// A new feature is one more such class, made by a named step of the constructor.

#include <QWidget>
#include <optional>

#include "device/hid_transport.h"
#include "ui/features/label_column.h"
#include "ui/workings/language_texts.h"
#include "ui/features/live_checks.h"
#include "ui/workings/message_presenter.h"
#include "ui/features/on_air_line.h"
#include "ui/features/open_and_save.h"
#include "ui/features/recent_files_menu.h"
#include "ui/features/remembered_choices.h"
#include "ui/features/restore_backup.h"
#include "ui/features/row_copy_paste.h"
#include "ui/features/rows_view.h"
#include "ui/features/site_sheet_commands.h"
#include "ui/features/site_list_commands.h"
#include "ui/features/transmitter_commands.h"
#include "ui/features/undo_redo.h"
#include "ui/features/unsaved_work.h"
#include "ui/features/user_guide_help.h"
#include "ui_Unit1.h"

class TForm1 : public QWidget, private Ui::TForm1 {
    Q_OBJECT

public:
    // The window talks to the transmitter through `transport` and shows its messages
    // through `presenter`; both must outlive it.
    TForm1(vostrel::device::HidTransport& transport, vostrel::ui::MessagePresenter& presenter,
           QWidget* parent = nullptr);

    // Open and Save without their file dialogs, as a dropped file is opened.
    void openFile(const QString& path) { files_->open(path); }
    void saveFile(const QString& path) { files_->save(path); }
    // Export PDF... and Print... without their dialogs.
    void exportSheet(const QString& path) { sheet_->exportPdf(path); }
    void printSheet(QPagedPaintDevice& device) { sheet_->paint(device); }
    // Import CSV, Export CSV and labels from a list, without their file dialogs.
    void importList(const QString& path) { siteList_->importList(path); }
    void exportList(const QString& path) { siteList_->exportList(path); }
    void labelsFromList(const QString& path) { siteList_->labelsFromList(path); }
    // The files named on the command line: the first opened (a site list imported), a
    // note on the others.
    void openGivenFiles(const QStringList& paths) {
        files_->openGiven(paths, [this](const QString& path) { siteList_->importList(path); });
    }
    // The title says that the transmitter is the emulated one, keeping its EEPROM in
    // `eepromFile`.
    void sayTransmitterIsEmulated(const QString& eepromFile) { unsaved_->sayEmulated(eepromFile); }

signals:
    // The window closes: the user did not cancel the question about unsaved work.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BtnReadClick() { transmitter_->read(); }
    void BtnWriteClick() { transmitter_->write(); }
    void BtnExitClick();
    void PagerType01Change() { rows_->applyTypeRule(); }
    void ToneType01Change() { rows_->applyToneRule(); }

    vostrel::ui::RowControlArray findRows() const;
    vostrel::ui::SettingControls findSettings() const;
    void acceptOnlyAsciiDigits();
    void offerAlphabets();
    void applyLanguageTexts(const vostrel::ui::LanguageTexts& texts);
    void giveDistinctShortcuts();
    void nameControls(const vostrel::ui::LanguageTexts& texts);
    void fitLayout();
    void connectHandlers();
    void putLabelsInTheTabOrder();
    void showFocusFromTheStart();

    vostrel::ui::LanguageTexts texts_;
    vostrel::ui::MessageReporter reporter_;
    // Made in this order by the constructor, once the controls are there.
    std::optional<vostrel::ui::LabelColumn> labels_;
    std::optional<vostrel::ui::RowsView> rows_;
    std::optional<vostrel::ui::TransmitterCommands> transmitter_;
    std::optional<vostrel::ui::RememberedChoices> remembered_;
    std::optional<vostrel::ui::OnAirLine> onAir_;
    std::optional<vostrel::ui::OpenAndSave> files_;
    std::optional<vostrel::ui::RecentFilesMenu> recentFiles_;
    std::optional<vostrel::ui::RestoreBackup> restoreBackup_;
    std::optional<vostrel::ui::LiveChecks> checks_;
    std::optional<vostrel::ui::RowCopyPaste> copyPaste_;
    std::optional<vostrel::ui::UndoRedo> undoRedo_;
    std::optional<vostrel::ui::SiteSheetCommands> sheet_;
    std::optional<vostrel::ui::SiteListCommands> siteList_;
    std::optional<vostrel::ui::UnsavedWork> unsaved_;
    std::optional<vostrel::ui::UserGuideHelp> help_;
};
