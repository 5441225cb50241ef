// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/message_presenter.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

#include "ui/plain_text.h"

namespace vostrel::ui {

namespace {

// Shows `box` without blocking the main window and returns once it is dismissed: true
// then, false when the program ended meanwhile (which ends this loop too).
bool showUntilDismissed(QMessageBox& box) {
    box.setWindowModality(Qt::NonModal);
    for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());  // some styles decorate buttons
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

}  // namespace

bool MessageBoxPresenter::show(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
    setLiteralTexts(box, title, text);
    return showUntilDismissed(box);
}

bool MessageBoxPresenter::confirm(const QString& title, const QString& text, const QString& confirm,
                                  const QString& cancel) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::NoButton);
    setLiteralTexts(box, title, text);
    QPushButton* confirmButton = box.addButton(confirm, QMessageBox::AcceptRole);
    QPushButton* cancelButton = box.addButton(cancel, QMessageBox::RejectRole);
    // Enter alone must not overwrite the transmitter's calls.
    box.setDefaultButton(cancelButton);
    box.setEscapeButton(cancelButton);
    return showUntilDismissed(box) && box.clickedButton() == confirmButton;
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

}  // namespace vostrel::ui
