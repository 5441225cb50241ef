#include "ui/message_presenter.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

namespace vostrel::ui {

void MessageBoxPresenter::show(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::NonModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles decorate the button
    QEventLoop untilDismissed;
    QObject::connect(&box, &QDialog::finished, &untilDismissed, &QEventLoop::quit);
    box.show();
    untilDismissed.exec();
}

MessageReporter::MessageReporter(LanguageTexts texts, MessagePresenter& presenter)
    : texts_(std::move(texts)), titles_(texts_), presenter_(presenter) {}

void MessageReporter::report(const texts::Message& message) const {
    presenter_.show(titles_[message.title], texts_.messageText(message));
}

void MessageReporter::report(const texts::Message& message, const QString& detail) const {
    presenter_.show(titles_[message.title], texts_.messageText(message) + QLatin1Char('\n') + detail);
}

}  // namespace vostrel::ui
