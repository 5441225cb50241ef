// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/message_presenter.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

#include "ui/plain_text.h"

namespace vostrel::ui {

bool MessageBoxPresenter::show(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
    setLiteralTexts(box, title, text);
    box.setWindowModality(Qt::NonModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles decorate the button
    QEventLoop untilDismissed;
    bool dismissed = false;
    QObject::connect(&box, &QDialog::finished, &untilDismissed, [&] {
        dismissed = true;
        untilDismissed.quit();
    });
    box.show();
    // Ending the program ends this loop too, without the box having been dismissed.
    untilDismissed.exec();
    return dismissed;
}

MessageReporter::MessageReporter(LanguageTexts texts, MessagePresenter& presenter)
    : texts_(std::move(texts)), titles_(texts_), presenter_(presenter) {}

bool MessageReporter::report(const texts::Message& message) const {
    return presenter_.show(titles_[message.title], texts_.messageText(message));
}

bool MessageReporter::report(const texts::Message& message, const QString& detail) const {
    return presenter_.show(titles_[message.title], texts_.messageText(message) + QLatin1Char('\n') + detail);
}

}  // namespace vostrel::ui
