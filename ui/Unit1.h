#pragma once
// The programmer window: sixteen call items, the transmitter settings and the Read,
// Write and Exit buttons. Its controls and fixed layout come from Unit1.ui.

#include <QWidget>
#include <array>

#include "device/hid_transport.h"
#include "image/image_builder.h"
#include "image/image_reader.h"
#include "ui/message_presenter.h"
#include "ui/programmer_commands.h"
#include "ui/row_rules.h"
#include "ui_Unit1.h"

class QProgressBar;

class TForm1 : public QWidget, private Ui::TForm1 {
    Q_OBJECT

public:
    // The window talks to the transmitter through `transport` and shows its messages
    // through `presenter`; both must outlive it.
    TForm1(vostrel::device::HidTransport& transport, vostrel::ui::MessagePresenter& presenter,
           QWidget* parent = nullptr);

private:
    struct RowControls {
        QLineEdit* capCode;
        QComboBox* tone;
        QComboBox* type;
        QLineEdit* message;
    };
    using Rows = std::array<RowControls, vostrel::image::kRowCount>;

    void BtnReadClick();
    void BtnWriteClick();
    void BtnExitClick();
    void PagerType01Change();
    void ToneType01Change();

    vostrel::ui::CommandServices services();
    Rows findRows() const;
    void connectHandlers();
    void applyLanguageTexts(const vostrel::ui::LanguageTexts& texts);
    void widenForFont();
    void keepOnScreen();

    vostrel::ui::RowChoice rowChoice(const RowControls& row) const;
    void setRowState(const RowControls& row, const vostrel::ui::RowState& state);
    vostrel::image::ProgrammerEntries entries() const;
    vostrel::ui::TypedMessages typedMessages() const;
    void showContents(const vostrel::image::ImageContents& contents);
    void showRow(const RowControls& row, const vostrel::image::PagerItem& item);

    vostrel::device::HidTransport& transport_;
    Rows rows_;
    QProgressBar* transferProgress_;
    vostrel::ui::MessageReporter reporter_;
    vostrel::ui::TransferFeedback feedback_;
};
