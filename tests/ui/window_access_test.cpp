// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The window for screen readers and the keyboard alone: what the accessibility tree
// names each control, the Tab order, and Alt letters that stay distinct in any
// translation.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

#include "tests/ui/window_driver.h"
#include "ui/controls/mnemonics.h"

namespace vostrel::test {
namespace {

// The German example without the keys of the texts added since the original window.
QByteArray originalKeysOnly(const QByteArray& translation) {
    const QList<QByteArray> added = {"&Open...=", "&Save...="};
    QByteArray kept;
    for (const QByteArray& line : translation.split('\n')) {
        if (std::none_of(added.begin(), added.end(), [&](const QByteArray& key) { return line.startsWith(key); })) {
            kept += line + '\n';
        }
    }
    return kept;
}

bool isInteractive(const QAccessibleInterface& control) {
    // A button with a menu (the site sheet's) is a ButtonMenu.
    static const std::set<QAccessible::Role> roles = {QAccessible::EditableText, QAccessible::ComboBox,
                                                      QAccessible::PushButton,   QAccessible::ButtonMenu,
                                                      QAccessible::CheckBox,     QAccessible::RadioButton,
                                                      QAccessible::SpinBox};
    return roles.count(control.role()) != 0 && !control.state().invisible;
}

void collectInteractive(QAccessibleInterface& node, std::vector<QAccessibleInterface*>& found) {
    if (isInteractive(node)) found.push_back(&node);
    for (int i = 0; i < node.childCount(); ++i) {
        if (QAccessibleInterface* child = node.child(i)) collectInteractive(*child, found);
    }
}

struct Naming {
    const char* language;
    std::function<QByteArray()> file;  // none for the built-in English
    QString rowThreeCapcode;
    QString rowSixteenType;
    QString preamble;
    QString marked;  // the description of a capcode box out of range in row 14
};

void PrintTo(const Naming& naming, std::ostream* out) { *out << naming.language; }

class WindowAccessNames : public testing::TestWithParam<Naming> {};

TEST_P(WindowAccessNames, EveryControlHasADistinctNameAndAMarkedBoxItsReason) {
    const Naming& c = GetParam();
    std::optional<LanguageFileForTest> language;
    if (c.file) language.emplace(c.file());
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);

    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&driver.window());
    ASSERT_NE(window, nullptr);
    std::vector<QAccessibleInterface*> controls;
    collectInteractive(*window, controls);
    // Every control the Tab key reaches is among them.
    std::size_t focusable = 0;
    for (const QWidget* control : driver.window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisible() && (control->focusPolicy() & Qt::TabFocus) != 0) ++focusable;
    }
    EXPECT_GE(focusable, 16U * 4 + 3 + 6);
    EXPECT_EQ(controls.size(), focusable);
    std::map<QString, int> names;
    for (QAccessibleInterface* control : controls) {
        const QString name = control->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty()) << control->object()->objectName().toStdString();
        ++names[name];
    }
    for (const auto& [name, count] : names) EXPECT_EQ(count, 1) << name.toStdString();

    const auto nameOf = [](QWidget& control) {
        return QAccessible::queryAccessibleInterface(&control)->text(QAccessible::Name);
    };
    EXPECT_EQ(nameOf(driver.capCode(3)), c.rowThreeCapcode);
    EXPECT_EQ(nameOf(driver.type(16)), c.rowSixteenType);
    EXPECT_EQ(nameOf(driver.control<QLineEdit>(QStringLiteral("Preamble"))), c.preamble);

    driver.enterRow(14, {QStringLiteral("2097152"), 0, 0, QString()});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&driver.capCode(14))->text(QAccessible::Description), c.marked);
    // The line under the rows is named by what it says, so its change is told.
    auto& line = driver.control<QLabel>(QStringLiteral("EepromUse"));
    EXPECT_EQ(nameOf(line), line.text());
    driver.capCode(14).clear();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&driver.capCode(14))->text(QAccessible::Description), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, WindowAccessNames,
    testing::Values(Naming{"English", nullptr, QStringLiteral("Row 3 CapCode"), QStringLiteral("Row 16 Type"),
                           QStringLiteral("Preamble"), QStringLiteral("CapCode out of range in Item[14]")},
                    Naming{"German", [] { return exampleTranslation(); }, QStringLiteral("Zeile 3 Rufnummer"),
                           QStringLiteral("Zeile 16 Typ"), QStringLiteral("Präambel"),
                           QStringLiteral("Rufnummer außerhalb des Bereichs in Zeile 14")}),
    [](const testing::TestParamInfo<Naming>& info) { return std::string(info.param.language); });

TEST(WindowAccess, TabWalksTheRowsThenTheSettingsThenTheButtons) {
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    QStringList expected;
    for (int row = 1; row <= 16; ++row) {
        for (const char* column : {"CapCode", "ToneType", "PagerType", "MsgData"}) {
            expected << QString::fromLatin1(column) + rowSuffix(row);
        }
    }
    expected << QStringLiteral("DataRate") << QStringLiteral("Preamble") << QStringLiteral("Repeater")
             << QStringLiteral("BtnOpen") << QStringLiteral("BtnRecent") << QStringLiteral("BtnSave") << QStringLiteral("BtnRead")
             << QStringLiteral("BtnWrite") << QStringLiteral("BtnExit");
    // Once round, back to the first box; controls added since keep their own places.
    driver.capCode(1).setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int step = 0; step < 200 && (visited.isEmpty() || QApplication::focusWidget() != &driver.capCode(1)); ++step) {
        const QString name = QApplication::focusWidget()->objectName();
        if (expected.contains(name)) visited << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), &driver.capCode(1));
    EXPECT_EQ(visited, expected);
}

TEST(Mnemonics, ALaterCaptionMovesToItsFirstFreeLetter) {
    const struct {
        QStringList captions;
        QStringList expected;
    } cases[] = {
        {{QStringLiteral("&Save..."), QStringLiteral("&Schreiben")},
         {QStringLiteral("&Save..."), QStringLiteral("S&chreiben")}},
        {{QStringLiteral("&save"), QStringLiteral("&Send"), QStringLiteral("&Sea")},
         {QStringLiteral("&save"), QStringLiteral("S&end"), QStringLiteral("Se&a")}},
        // "&&" is a literal ampersand, never a shortcut letter.
        {{QStringLiteral("&A&&B"), QStringLiteral("&A&&B")}, {QStringLiteral("&A&&B"), QStringLiteral("A&&&B")}},
        {{QStringLiteral("Ö&ffnen"), QStringLiteral("&Öl")}, {QStringLiteral("Ö&ffnen"), QStringLiteral("&Öl")}},
        {{QStringLiteral("&ab"), QStringLiteral("&b"), QStringLiteral("&ba")},
         {QStringLiteral("&ab"), QStringLiteral("&b"), QStringLiteral("ba")}},
        {{QStringLiteral("Plain"), QStringLiteral("&Plain")}, {QStringLiteral("Plain"), QStringLiteral("&Plain")}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::distinctMnemonics(c.captions), c.expected) << c.captions.join(QLatin1Char('|')).toStdString();
    }
}

TEST(WindowAccess, ShortcutLettersOfATranslationStayDistinctAndPressTheirButton) {
    const struct {
        const char* what;
        QByteArray translation;
        QStringList captions;  // Open, Save, Read, Write, Exit
        QChar writeLetter;
    } cases[] = {
        {"German example", exampleTranslation(),
         {QStringLiteral("Ö&ffnen..."), QStringLiteral("Spei&chern..."), QStringLiteral("&Lesen"),
          QStringLiteral("&Schreiben"), QStringLiteral("&Beenden")},
         QLatin1Char('S')},
        {"original keys only", originalKeysOnly(exampleTranslation()),
         {QStringLiteral("&Open..."), QStringLiteral("&Save..."), QStringLiteral("&Lesen"),
          QStringLiteral("S&chreiben"), QStringLiteral("&Beenden")},
         QLatin1Char('C')},
    };
    for (const auto& c : cases) {
        const LanguageFileForTest language(c.translation);
        device::EmulatedTransmitter transmitter;
        WindowDriver driver(transmitter);
        QStringList captions;
        std::set<QChar> letters;
        for (const char* name : {"BtnOpen", "BtnSave", "BtnRead", "BtnWrite", "BtnExit"}) {
            captions << driver.control<QPushButton>(QString::fromLatin1(name)).text();
            letters.insert(*ui::mnemonic(captions.back()));
        }
        EXPECT_EQ(captions, c.captions) << c.what;
        EXPECT_EQ(letters.size(), 5U) << c.what;

        QTest::keyClick(&driver.window(), c.writeLetter.toLatin1(), Qt::AltModifier);
        // The button shows itself pressed for a moment before it acts.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !driver.messages().empty(); })) << c.what;
        const ShownMessage written{QStringLiteral("Erledigt"), QStringLiteral("Daten geschrieben")};
        EXPECT_EQ(headlines(driver.messages()), std::vector<ShownMessage>{written}) << c.what;
    }
}

}  // namespace
}  // namespace vostrel::test
