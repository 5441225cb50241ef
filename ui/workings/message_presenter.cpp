// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/workings/message_presenter.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/controls/plain_text.h"

namespace vostrel::ui {

namespace {

// Shows `box` without blocking the main window and returns once it is dismissed: true
// then, false when the program ended meanwhile (which ends this loop too).
// Some styles decorate buttons.
void withoutButtonIcons(QDialog& box) {
    for (QAbstractButton* button : box.findChildren<QAbstractButton*>()) button->setIcon(QIcon());
}

bool showUntilDismissed(QDialog& box) {
    box.setWindowModality(Qt::NonModal);
    withoutButtonIcons(box);
    QEventLoop untilDismissed;
    bool dismissed = false;
    QObject::connect(&box, &QDialog::finished, &untilDismissed, [&] {
        dismissed = true;
        untilDismissed.quit();
    });
    box.show();
    untilDismissed.exec();
    return dismissed;
}

// The question before a Write lists up to sixteen calls, each with its old and new
// message of up to 129 characters: a message box cuts a line it cannot break at a
// blank and grows past the screen. This box shows the text in a view that wraps
// anywhere and scrolls, so that every character can be read, and copies its text with
// Ctrl+C in the form Windows message boxes do.
class ConfirmationBox final : public QDialog {
public:
    ConfirmationBox(const QString& title, const QString& text, const QString& confirm, const QString& cancel)
        : text_(text) {
        setWindowTitle(literalWindowTitle(title));
        auto* view = new QPlainTextEdit(this);
        view->setReadOnly(true);
        view->setPlainText(text);
        view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setFrameShape(QFrame::NoFrame);
        buttons_ = new QDialogButtonBox(this);
        confirm_ = buttons_->addButton(confirm, QDialogButtonBox::AcceptRole);
        QPushButton* cancelButton = buttons_->addButton(cancel, QDialogButtonBox::RejectRole);
        // Enter alone must not overwrite the transmitter's calls. The focus starts on
        // Cancel, as in a message box, so that Ctrl+C copies the whole box.
        confirm_->setAutoDefault(false);
        cancelButton->setDefault(true);
        cancelButton->setFocus(Qt::OtherFocusReason);
        connect(buttons_, &QDialogButtonBox::clicked, this,
                [this](QAbstractButton* button) { done(button == confirm_ ? Accepted : Rejected); });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(view);
        layout->addWidget(buttons_);
        fitToScreen(*view);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!event->matches(QKeySequence::Copy)) return QDialog::keyPressEvent(event);
        const QString separator = QStringLiteral("---------------------------\n");
        QString copied = separator + windowTitle() + QLatin1Char('\n') + separator + text_ + QLatin1Char('\n') + separator;
        for (const QAbstractButton* button : buttons_->buttons()) copied += button->text() + QStringLiteral("   ");
        QGuiApplication::clipboard()->setText(copied + QLatin1Char('\n') + separator);
    }

private:
    // About a hundred characters wide and as high as the text, within the screen.
    void fitToScreen(QPlainTextEdit& view) {
        const QFontMetrics metrics(view.font());
        const QRect screen = this->screen()->availableGeometry();
        const int width = std::min(metrics.averageCharWidth() * 100, screen.width() * 4 / 5);
        view.setMinimumWidth(width);
        const int lines = static_cast<int>(text_.count(QLatin1Char('\n'))) + 1;
        const int textHeight = metrics.lineSpacing() * (lines + 1);
        view.setMinimumHeight(std::min(textHeight, screen.height() / 2));
        resize(sizeHint());
    }

    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QString text_;
};

// A box is as wide as its text, and the window manager cuts a title that is wider, in
// the middle: "Erledigt" over "Daten geschrieben" showed as "Erl… igt". The box is made
// wide enough for its title in a bold font of the box's size (title bars often use one)
// and the title bar's buttons beside it.
void makeRoomForTitle(QMessageBox& box, const QString& title) {
    constexpr int kTitleBarButtons = 160;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarButtons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
}

}  // namespace

bool MessageBoxPresenter::show(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
    setLiteralTexts(box, title, text);
    makeRoomForTitle(box, title);
    return showUntilDismissed(box);
}

bool MessageBoxPresenter::confirm(const QString& title, const QString& text, const QString& confirm,
                                  const QString& cancel) {
    ConfirmationBox box(title, text, confirm, cancel);
    return showUntilDismissed(box) && box.result() == QDialog::Accepted;
}

SaveAnswer MessageBoxPresenter::askToSave(const QString& title, const QString& text,
                                          const SaveQuestionButtons& buttons) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString());
    setLiteralTexts(box, title, text);
    QPushButton* save = box.addButton(buttons.save, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(buttons.discard, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(buttons.cancel, QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    withoutButtonIcons(box);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    return box.clickedButton() == discard ? SaveAnswer::Discard : SaveAnswer::Cancel;
}

MessageReporter::MessageReporter(LanguageTexts texts, MessagePresenter& presenter)
    : texts_(std::move(texts)), titles_(texts_), presenter_(presenter) {}

bool MessageReporter::report(const texts::Message& message) const {
    return presenter_.show(titles_[message.title], texts_.messageText(message));
}

bool MessageReporter::report(const texts::Message& message, const QString& detail) const {
    return presenter_.show(titles_[message.title], texts_.messageText(message) + QLatin1Char('\n') + detail);
}

bool MessageReporter::ask(const QString& text, texts::TextKey confirmKey) const {
    return presenter_.confirm(titles_[texts::Title::Warn], text, texts_.text(confirmKey), texts_.text(texts::keys::kCancel));
}

SaveAnswer MessageReporter::askToSave(const QString& text) const {
    using texts::keys;
    return presenter_.askToSave(titles_[texts::Title::Warn], text,
                                {texts_.text(keys::kSaveAnswer), texts_.text(keys::kDiscardAnswer), texts_.text(keys::kCancel)});
}

}  // namespace vostrel::ui
