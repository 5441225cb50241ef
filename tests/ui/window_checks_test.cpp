// What the window checks while the user types, before any Write.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "tests/ui/window_driver.h"

namespace vostrel::test {
namespace {

class WindowChecks : public testing::Test {
protected:
    device::EmulatedTransmitter transmitter_;
    WindowDriver driver_{transmitter_};
};

TEST_F(WindowChecks, CapcodeBoxesTakeOnlyDigitsTypedOrPasted) {
    const struct {
        QString typed;
        QString pasted;
        QString expected;
    } cases[] = {
        {QStringLiteral("12345G7"), QString(), QStringLiteral("123457")},
        {QStringLiteral("0x10"), QString(), QStringLiteral("010")},
        {QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("1234")},
        {QStringLiteral("12"), QStringLiteral(" 34"), QStringLiteral("12")},
        {QString(), QStringLiteral("abc"), QString()},
    };
    for (const auto& c : cases) {
        QLineEdit& box = driver_.capCode(5);
        box.clear();
        driver_.typeInto(box, c.typed);
        if (!c.pasted.isEmpty()) {
            QApplication::clipboard()->setText(c.pasted);
            box.paste();
        }
        EXPECT_EQ(box.text(), c.expected) << c.typed.toStdString() << " + " << c.pasted.toStdString();
    }
}

}  // namespace
}  // namespace vostrel::test
