// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Every text of the window fits the control that shows it, measured by the style's
// own drawing rectangles: at the scale this run is given (CTest runs it at 100, 150
// and 200 %, by QT_SCALE_FACTOR and by a dense screen), in English, German and French
// and in a pseudo-translation 40 % longer than English, with every row full. At 100 %,
// the English and the German window fit a 1,024 x 768 screen.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#include "tests/ui/window_driver.h"
#include "ui/controls/mnemonics.h"

namespace vostrel::test {
namespace {

constexpr double kLonger = 1.4;
constexpr double kDesignFontPixels = 13.0;
// The smallest work area the window must fit at 100 %, and what Windows 10 and 11 draw
// around a window there (their resize borders on each side, the title bar).
constexpr QSize kSmallWorkArea(1024, 768);
constexpr QSize kWindowsFrame(2 * 8, 31 + 8);

// A key's letters accented (a text's width, and not only its length, changes in
// translation), then lengthened to 140 % with more of its own letters. Placeholders
// and the shortcut mark stay as they are, so the texts are used as translations.
QString pseudoTranslation(const QString& key) {
    static const QString plain = QStringLiteral("AEIOUaeiouCcNnYy");
    static const QString accented = QStringLiteral("ÀÉÎÖÜàéîöüÇçÑñÝý");
    static const QRegularExpression kept(QStringLiteral("%(%|0?2?[cd])|&."));
    QString text;
    QString letters;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : kept.globalMatch(key)) {
        for (const QChar character : key.mid(from, match.capturedStart() - from)) {
            const qsizetype at = plain.indexOf(character);
            text += at < 0 ? character : accented[at];
            if (character.isLetter()) letters += character;
        }
        text += match.captured();
        from = match.capturedEnd();
    }
    for (const QChar character : key.mid(from)) {
        const qsizetype at = plain.indexOf(character);
        text += at < 0 ? character : accented[at];
        if (character.isLetter()) letters += character;
    }
    if (letters.isEmpty()) letters = QStringLiteral("x");
    const auto wanted = static_cast<qsizetype>(std::ceil(double(key.size()) * kLonger));
    for (qsizetype i = 0; text.size() < wanted; ++i) text += letters[i % letters.size()];
    return text;
}

// Every key of the example translation, pseudo-translated.
QByteArray pseudoLanguageFile() {
    QByteArray file = "[Message]\n";
    int keys = 0;
    for (const QByteArray& line : exampleTranslation().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith(';') || line.startsWith('[') || equals <= 0) continue;
        const QString key = QString::fromUtf8(line.left(equals)).trimmed();
        file += key.toUtf8() + '=' + pseudoTranslation(key).toUtf8() + '\n';
        ++keys;
    }
    if (keys < 40) throw std::runtime_error("the example translation lists too few keys");
    return file;
}

// Sixteen alphanumeric rows with 40 characters each: more than the image holds, so
// the line under the rows is at its longest too.
std::string fullConfiguration() {
    std::string text = "[Settings]\nDataRate = 2400\nPreamble = 1023\nRepeat = 4\n";
    for (int row = 1; row <= 16; ++row) {
        text += "[Item" + std::string(row < 10 ? "0" : "") + std::to_string(row) + "]\nCapCode = " +
                std::to_string(2097151 - row) + "\nTone = D\nType = Alphanumeric\n" +
                "Message = \"DCBAZYXWVUTSRQPONMLKJIHGFEDCBA9876543210\"\n";
    }
    return text;
}

// The rectangle a control draws its texts in, and those texts.
std::pair<QRect, QStringList> textPlace(const QWidget& control) {
    const QStyle& style = *control.style();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) return {label->contentsRect(), {label->text()}};
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        QRect place = style.subElementRect(QStyle::SE_PushButtonContents, &option, button);
        // A menu's arrow: the style keeps the caption clear of it.
        if (button->menu() != nullptr) place.adjust(0, 0, -style.pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button), 0);
        return {place, {ui::withoutMnemonic(button->text())}};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return {style.subElementRect(QStyle::SE_CheckBoxContents, &option, button),
                {ui::withoutMnemonic(button->text())}};
    }
    if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        QStringList items;
        for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
        // The style draws the choice one pixel in from each side.
        const QRect field = style.subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        return {field.adjusted(1, 0, -1, 0), items};
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        // QLineEdit keeps two pixels on each side and needs one for the cursor.
        const QRect contents = style.subElementRect(QStyle::SE_LineEditContents, &option, box);
        return {contents.adjusted(2, 0, -3, 0), {box->displayText()}};
    }
    return {};
}

std::vector<std::string> misfits(const QWidget& window) {
    std::vector<std::string> found;
    for (const QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow() || control->isHidden()) continue;
        const std::string name = control->objectName().toStdString();
        if (!window.rect().contains(control->geometry())) found.push_back(name + " reaches beyond the window");
        const auto [place, texts] = textPlace(*control);
        const QFontMetrics metrics = control->fontMetrics();
        for (const QString& text : texts) {
            const QSize needs(metrics.horizontalAdvance(text), text.isEmpty() ? 0 : metrics.height());
            if (needs.width() > place.width() || needs.height() > place.height()) {
                found.push_back(name + ": \"" + text.toStdString() + "\" needs " + std::to_string(needs.width()) + "x" +
                                std::to_string(needs.height()) + ", has " + std::to_string(place.width()) + "x" +
                                std::to_string(place.height()));
            }
        }
    }
    return found;
}

enum class Language { English, German, French, Pseudo };

class WindowFit : public testing::TestWithParam<Language> {};

TEST_P(WindowFit, EveryTextFitsItsControlInTheDesignedArrangement) {
    std::optional<LanguageFileForTest> language;
    if (GetParam() == Language::German) language.emplace(exampleTranslation());
    if (GetParam() == Language::French) language.emplace(exampleTranslation("kdx20Lang.example.fr.ini"));
    if (GetParam() == Language::Pseudo) language.emplace(pseudoLanguageFile());
    device::EmulatedTransmitter transmitter;
    WindowDriver driver(transmitter);
    TForm1& window = driver.window();

    // The run's scale took effect: Qt's device pixels times the window's own growth.
    const double expected = qEnvironmentVariableIsSet("VOSTREL_EXPECTED_SCALE")
                                ? qEnvironmentVariable("VOSTREL_EXPECTED_SCALE").toDouble()
                                : 1.0;
    EXPECT_NEAR(window.devicePixelRatioF() * window.font().pixelSize() / kDesignFontPixels, expected, 0.05);

    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("full.conf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(fullConfiguration()));
    file.close();
    window.openFile(path);
    ASSERT_TRUE(driver.messages().empty());
    ASSERT_TRUE(driver.control<QLabel>(QStringLiteral("EepromUse")).text().contains(QLatin1Char(';')));

    EXPECT_EQ(misfits(window), std::vector<std::string>{});
    // French texts are longer: that window is wider than a 1,024-pixel screen.
    if (expected == 1.0 && (GetParam() == Language::English || GetParam() == Language::German)) {
        const QSize framed = window.size() + kWindowsFrame;
        EXPECT_LE(framed.width(), kSmallWorkArea.width());
        EXPECT_LE(framed.height(), kSmallWorkArea.height());
    }

    // The columns keep their order and the rows their sequence; neighbours in a row
    // share no more than the design's one pixel of border, as scaled.
    const auto overlap = [](const QWidget& left, const QWidget& right) { return left.geometry().right() + 1 - right.x(); };
    const int sharedBorder = static_cast<int>(std::ceil(expected));
    for (int row = 1; row <= 16; ++row) {
        const int tone = driver.tone(row).x();
        EXPECT_LT(driver.capCode(row).x(), tone);
        EXPECT_LT(tone, driver.type(row).x());
        EXPECT_LT(driver.type(row).x(), driver.message(row).x());
        EXPECT_LE(overlap(driver.capCode(row), driver.tone(row)), sharedBorder) << row;
        EXPECT_LE(overlap(driver.tone(row), driver.type(row)), sharedBorder) << row;
        EXPECT_LE(overlap(driver.type(row), driver.message(row)), sharedBorder) << row;
        EXPECT_LT(driver.message(row).geometry().right(), driver.control<QComboBox>(QStringLiteral("DataRate")).x());
        if (row > 1) {
            EXPECT_EQ(driver.capCode(row).y(), driver.capCode(row - 1).geometry().bottom() + 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowFit, testing::Values(Language::English, Language::German, Language::French,
                                                                        Language::Pseudo),
                         [](const testing::TestParamInfo<Language>& info) {
                             switch (info.param) {
                                 case Language::English: return "English";
                                 case Language::German: return "German";
                                 case Language::French: return "French";
                                 case Language::Pseudo: return "PseudoTranslation";
                             }
                             return "";
                         });

}  // namespace
}  // namespace vostrel::test
