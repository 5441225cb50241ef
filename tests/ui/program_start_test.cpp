// Exceptions that escape an event handler are shown and the event loop goes on.

#include <QApplication>
#include <gtest/gtest.h>
#include <stdexcept>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

class ThrowingReceiver : public QObject {
public:
    int delivered = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (++delivered == 1) throw std::runtime_error("first delivery fails");
        return true;
    }
};

class ProgramStart : public testing::Test {
protected:
    void SetUp() override { shownExceptions().clear(); }
};

TEST_F(ProgramStart, ExceptionFromAPostedEventIsShownAndLaterEventsStillArrive) {
    ThrowingReceiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(shownExceptions(), std::vector<QString>{QStringLiteral("first delivery fails")});
    EXPECT_EQ(receiver.delivered, 2);
}

}  // namespace
}  // namespace vostrel::test
