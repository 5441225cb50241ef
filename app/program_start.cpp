// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "app/program_start.h"

#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <exception>
#include <stdexcept>
#include <string>

#include "app/help_output.h"
#include "app/qt_translations.h"
#include "files/utf8_path.h"
#include "ui/Unit1.h"
#include "ui/workings/local_path.h"
#include "ui/workings/message_presenter.h"
#include "ui/controls/plain_text.h"
#include "version.h"

namespace vostrel::app {
namespace {

QString exceptionText(const std::exception& exception) { return QString::fromLocal8Bit(exception.what()); }

const QString& unknownExceptionText() {
    static const QString text = QStringLiteral("Unknown exception");
    return text;
}

// The whole path, so that the user can find the file.
QString shownPath(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return QString::fromStdString(files::utf8Name(error ? path : absolute));
}

}  // namespace

void showExceptionBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString(), QString(), QMessageBox::Ok);
    ui::setLiteralTexts(box, QGuiApplication::applicationDisplayName(), text);
    box.exec();
}

void endProgramOnClose(TForm1& window) {
    // exit() rather than quit(): quit() would first close the open boxes, which counts
    // as dismissing them and would let their commands go on.
    QObject::connect(&window, &TForm1::closing, &window, [] { QCoreApplication::exit(kExitNormal); });
}

std::optional<int> answerHelpOrVersion(int argc, char** argv, const ProgramHelp& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string text;
        if (argument == "--help") {
            text = help.text;
        } else if (argument == "--version") {
            text = std::string(help.name) + ' ' + kVersion + '\n';
        } else {
            continue;
        }
        return showHelpText(help.name, text) ? kExitNormal : kExitStartFailed;
    }
    return std::nullopt;
}

QStringList windowArguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    return QApplication::arguments();
#else
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << ui::nameFromBytes(argv[i]);
    return arguments;
#endif
}

namespace {

constexpr QLatin1StringView kLanguageOption("--language");

texts::Language languageOption(const std::optional<QString>& code) {
    const std::optional<texts::Language> language = code ? texts::languageCoded(code->toStdString()) : std::nullopt;
    if (!language) {
        throw std::runtime_error("--language must be de, en or fr" +
                                 (code ? ", not '" + code->toStdString() + "'" : std::string()));
    }
    return *language;
}

}  // namespace

WindowArguments splitWindowArguments(const QStringList& arguments, qsizetype transportArguments) {
    WindowArguments split{{arguments.value(0)}, {}, {}};
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == kLanguageOption) {
            ++i;
            split.language = languageOption(i < arguments.size() ? std::optional(arguments[i]) : std::nullopt);
        } else if (!optionsEnded && argument.startsWith(kLanguageOption + QLatin1Char('='))) {
            split.language = languageOption(argument.mid(kLanguageOption.size() + 1));
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) {
            throw std::runtime_error("Unknown option " + argument.toStdString() + " (--help lists the options)");
        } else if (split.transport.size() <= transportArguments) {
            split.transport << argument;
        } else {
            split.files << argument;
        }
    }
    return split;
}

namespace {

// Qt 6.8's Windows style makes a hidden helper window the first time it paints an item
// view's selection, and wine 10 activates that window: the dialog holding the first list
// (the choice of a transmitter) then took no key until clicked. Painted once before the
// window shows, the helper comes while nothing is on screen. Qt 6.4 needs none of this.
void makeItemViewThemeHelperEarly() {
#ifdef _WIN32
    QListWidget list;
    list.addItem(QStringLiteral(" "));
    list.setCurrentRow(0);
    static_cast<void>(list.grab());
#endif
}

}  // namespace

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

int runProgrammer(int argc, char** argv, const ProgramHelp& help, const TransportFactory& makeTransport,
                  qsizetype transportArguments) {
    if (const auto status = answerHelpOrVersion(argc, argv, help)) return *status;
    ProgrammerApplication application(argc, argv);
    try {
        const WindowArguments given = splitWindowArguments(windowArguments(argc, argv), transportArguments);
        // The option asks for the language as the variable does, so that everything
        // that follows the run's language (the window, Qt's texts, the site sheet) reads
        // one choice.
        if (given.language) {
            qputenv(texts::kLanguageVariable.data(), QByteArray(texts::languageCode(*given.language).data()));
        }
        const QtTranslations qtTexts(QString::fromStdString(ui::LanguageTexts::ofThisProgram().languageCode()));
        const ProgramTransport transport = makeTransport(given.transport);
        ui::MessageBoxPresenter presenter;
        TForm1 Form1(*transport.transport, presenter);
        if (!transport.emulatedEeprom.empty()) Form1.sayTransmitterIsEmulated(shownPath(transport.emulatedEeprom));
        endProgramOnClose(Form1);
        makeItemViewThemeHelperEarly();
        Form1.show();
        // From the event loop: a box the open shows waits there, and closing the window
        // meanwhile must end the program as it does at any other time.
        QTimer::singleShot(0, &Form1, [&] { Form1.openGivenFiles(given.files); });
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
