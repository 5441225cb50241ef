#include "app/program_start.h"

#include <QMessageBox>
#include <exception>

#include "ui/Unit1.h"
#include "ui/message_presenter.h"

namespace vostrel::app {
namespace {

QString exceptionText(const std::exception& exception) { return QString::fromLocal8Bit(exception.what()); }

const QString& unknownExceptionText() {
    static const QString text = QStringLiteral("Unknown exception");
    return text;
}

}  // namespace

void showExceptionBox(const QString& text) {
    QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(), text);
}

ProgrammerApplication::ProgrammerApplication(int& argc, char** argv, ExceptionShower showException)
    : QApplication(argc, argv), showException_(std::move(showException)) {}

bool ProgrammerApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& exception) {
        showException_(exceptionText(exception));
    } catch (...) {
        showException_(unknownExceptionText());
    }
    return false;
}

int runProgrammer(int argc, char** argv, const TransportFactory& makeTransport) {
    ProgrammerApplication application(argc, argv);
    try {
        const std::unique_ptr<device::HidTransport> transport = makeTransport(QApplication::arguments());
        ui::MessageBoxPresenter presenter;
        TForm1 Form1(*transport, presenter);
        Form1.show();
        QApplication::exec();
        return kExitNormal;
    } catch (const std::exception& exception) {
        showExceptionBox(exceptionText(exception));
    } catch (...) {
        showExceptionBox(unknownExceptionText());
    }
    return kExitStartFailed;
}

}  // namespace vostrel::app
