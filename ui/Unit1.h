// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The programmer window: sixteen call items, the transmitter settings, the Open, Save,
// Read, Write and Exit buttons, the pager alphabet and transliteration, and the live
// check of the rows under them. Its controls and fixed layout come from Unit1.ui. Its
// editing commands (undo and redo, copy and paste of rows, the keyboard shortcuts) are
// in window_editing.cpp.

#include <QWidget>
#include <functional>
#include <array>
#include <optional>
#include <vector>

#include "device/hid_transport.h"
#include "image/image_builder.h"
#include "image/image_reader.h"
#include "ui/air_time_line.h"
#include "ui/entry_history.h"
#include "ui/message_presenter.h"
#include "ui/programmer_commands.h"
#include "ui/row_checks.h"
#include "image/row_rules.h"
#include "ui_Unit1.h"

class QProgressBar;

class TForm1 : public QWidget, private Ui::TForm1 {
    Q_OBJECT

public:
    // The window talks to the transmitter through `transport` and shows its messages
    // through `presenter`; both must outlive it.
    TForm1(vostrel::device::HidTransport& transport, vostrel::ui::MessagePresenter& presenter,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // Open and Save without their file dialogs, as a dropped file is opened.
    void openFile(const QString& path);
    void saveFile(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowControls {
        QLabel* number;
        QLineEdit* capCode;
        QComboBox* tone;
        QComboBox* type;
        QLineEdit* message;
    };
    using Rows = std::array<RowControls, vostrel::image::kRowCount>;

    void BtnReadClick();
    void BtnWriteClick();
    void BtnExitClick();
    void BtnOpenClick();
    void BtnSaveClick();
    void PagerType01Change();
    void ToneType01Change();

    vostrel::ui::CommandServices services();
    Rows findRows() const;
    void acceptOnlyAsciiDigits();
    void connectHandlers();
    void connectRowChecks();
    void followTheRowBeingEdited();
    void passFileDropsToTheWindow();
    void applyLanguageTexts(const vostrel::ui::LanguageTexts& texts);
    void offerAlphabets();
    void giveDistinctShortcuts();
    void nameControls(const vostrel::ui::LanguageTexts& texts);
    void fitLayout();

    vostrel::image::RowChoice rowChoice(const RowControls& row) const;
    void setRowState(const RowControls& row, const vostrel::image::RowState& state);
    vostrel::image::ProgrammerEntries entries() const;
    vostrel::image::PagerTextSettings textSettings() const;
    void showEntries(const vostrel::image::ProgrammerEntries& entries);
    void showRow(const RowControls& row, const vostrel::image::PagerItem& item);
    void showTextSettings(const vostrel::image::PagerTextSettings& text);

    // The alphabet and transliteration choices, kept for the next run.
    void restoreTextChoices();
    void rememberTextChoices();
    // Shows the user where Write refused a character: its box focused, the character selected.
    void selectCharacter(const vostrel::image::CharacterPosition& position);

    // Runs `change` over several controls and checks the rows once afterwards.
    void changeRows(const std::function<void()>& change);
    void checkRows();
    void showEepromUse(const std::vector<vostrel::texts::Message>& line);
    void showAirTime(const vostrel::ui::AirTimeLine& line);
    void markRow(std::size_t index, const vostrel::ui::RowMark& mark,
                 const std::vector<vostrel::texts::Message>& airTime);

    bool takesDroppedFile(const QMimeData* data) const;
    QString chooseFile(bool toSave);
    void rememberDirectory(const QString& path);

    // Editing (window_editing.cpp).
    void setUpEditing();
    void addShortcuts();
    void recordLater();
    void recordChange();
    void undo();
    void redo();
    void showSnapshot(const vostrel::ui::EntrySnapshot& snapshot);
    std::optional<std::size_t> rowOf(const QObject* control) const;
    // Handles what a box or list is sent before the control itself: true when taken.
    bool filterEditingEvent(QWidget& control, QEvent& event);
    bool filterRowEvent(std::size_t row, QWidget& control, QEvent& event);
    void selectRows(std::size_t anchor, std::size_t end);
    void copyRows();
    void pasteRows(const QString& text);
    void pasteIntoBox(QLineEdit& box, const QString& text);

    vostrel::device::HidTransport& transport_;
    vostrel::ui::LanguageTexts texts_;
    Rows rows_;
    QProgressBar* transferProgress_;
    vostrel::ui::MessageReporter reporter_;
    vostrel::ui::TransferFeedback feedback_;
    // Alphabets of single rows, from a configuration file; the Alphabet choice holds
    // every other row's.
    std::array<std::optional<vostrel::paging::Alphabet>, vostrel::image::kRowCount> rowAlphabets_;

    // What the live check shows now, so that texts are looked up only when it changes.
    bool checksHeld_ = false;
    std::vector<vostrel::texts::Message> shownUse_;
    std::array<vostrel::ui::RowMark, vostrel::image::kRowCount> shownMarks_;
    std::optional<vostrel::ui::AirTimeLine> shownAirTime_;
    std::array<std::vector<vostrel::texts::Message>, vostrel::image::kRowCount> shownAirTimes_;
    // The row whose time on air the line shows: the one being edited, or last edited.
    unsigned airTimeRow_ = 0;
    QMetaObject::Connection followingFocus_;
    // Where the file dialogs start, for as long as the program runs.
    QString lastDirectory_;

    std::optional<vostrel::ui::WindowEntries> windowEntries_;
    std::optional<vostrel::ui::EntryHistory> history_;
    bool recordPending_ = false;
    // The rows selected for copying: from the anchor to the end, either way round.
    std::size_t selectionAnchor_ = 0;
    std::size_t selectionEnd_ = 0;
};
