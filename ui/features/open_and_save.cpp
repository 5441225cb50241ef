// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "ui/features/open_and_save.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "image/carried_labels.h"
#include "image/image_reader.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/workings/local_path.h"
#include "ui/controls/mnemonics.h"
#include "ui/workings/window_files.h"

namespace vostrel::ui {
namespace {

using texts::keys;

// The configuration files' own extension, which Save gives a name typed without one.
constexpr QLatin1StringView kConfigurationSuffix("vostrel");
constexpr QLatin1StringView kSiteListSuffix(".csv");

// The one local file a drag carries; several files or anything else open nothing.
// Its name is taken from the address's bytes, so that one that is not UTF-8 opens too
// (ui/workings/local_path.h).
QString droppedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
#ifdef _WIN32
    return data->urls().front().toLocalFile();
#else
    const QByteArray bytes = QByteArray::fromPercentEncoding(data->urls().front().path(QUrl::FullyEncoded).toLatin1());
    return nameFromBytes(bytes.toStdString());
#endif
}

}  // namespace

OpenAndSave::OpenAndSave(QWidget& window, QPushButton& open, QPushButton& save, RowsView& rows,
                         const MessageReporter& reporter)
    : window_(window),
      open_(open),
      save_(save),
      rows_(rows),
      reporter_(reporter) {
    // As desktop programs do, the question about unsaved work comes before the dialog.
    connect(&open_, &QPushButton::clicked, this, [this] {
        if (!mayReplace_()) return;
        if (const QString path = chooseFile(false); !path.isEmpty()) load(path);
    });
    connect(&save_, &QPushButton::clicked, this, [this] {
        if (const QString path = chooseFile(true); !path.isEmpty()) this->save(path);
    });
    addShortcuts();
    takeDroppedFiles();
}

void OpenAndSave::addShortcuts() {
    const auto add = [this](QKeySequence::StandardKey key, QPushButton& button) {
        auto* action = new QAction(&window_);
        action->setShortcuts(QKeySequence::keyBindings(key));
        connect(action, &QAction::triggered, &button, &QPushButton::click);
        window_.addAction(action);
    };
    add(QKeySequence::Open, open_);
    add(QKeySequence::Save, save_);
}

void OpenAndSave::takeDroppedFiles() {
    // A box would take a dropped file's name as text; the window opens the file instead.
    window_.setAcceptDrops(true);
    window_.installEventFilter(this);
    for (QLineEdit* box : window_.findChildren<QLineEdit*>()) box->installEventFilter(this);
}

void OpenAndSave::open(const QString& path) {
    if (mayReplace_()) load(path);
}

void OpenAndSave::load(const QString& path) {
    rememberFolderOf(path);
    auto opened = openWindowFile(localPath(path), rows_.textSettings(), reporter_.texts());
    if (const auto* problem = std::get_if<FileProblem>(&opened)) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    auto& file = std::get<config::EntriesRead>(opened);
    // The backup of a new transmitter holds no settings: the window's stay.
    const bool erased = file.image && image::isErased(*file.image);
    if (erased) file.entries = rows_.withSettings(std::move(file.entries));
    // An image holds no labels and no site name, as a Read does not: the window's stay.
    if (file.image) {
        if (auto labelsLeft = image::carryLabelsAndSite(rows_.entries(), file.entries)) {
            file.notes.push_back(std::move(*labelsLeft));
        }
    }
    rows_.show(file.entries);
    // Before the box below, which waits until it is dismissed.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    emit windowMatchesFile(absolute, !file.image);
    emit fileUsed(absolute);
    if (file.readErrorRow) reporter_.report({keys::kEepromReadError, texts::Title::Error, {}});
    if (erased) reporter_.report({keys::kReadErased, texts::Title::Success, {}});
    for (const texts::Message& note : file.notes) reporter_.report(note);
}

bool OpenAndSave::save(const QString& path) {
    rememberFolderOf(path);
    if (const auto problem = saveWindowFile(localPath(path), rows_.entries())) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    emit windowMatchesFile(absolute, true);
    emit fileUsed(absolute);
    return true;
}

void OpenAndSave::openGiven(const QStringList& paths, const std::function<void(const QString&)>& importList) {
    if (paths.isEmpty()) return;
    // As its name says: a site list is no configuration, and Open would refuse it.
    if (paths.front().endsWith(kSiteListSuffix, Qt::CaseInsensitive)) {
        rememberFolderOf(paths.front());
        importList(paths.front());
    } else {
        open(paths.front());
    }
    if (paths.size() > 1) {
        reporter_.report({keys::kOnlyFirstFileOpened, texts::Title::Warn, {static_cast<int>(paths.size())}});
    }
}

QString OpenAndSave::chooseFile(bool toSave) {
    const QPushButton& button = toSave ? save_ : open_;
    const LanguageTexts& texts = reporter_.texts();
    QStringList filters = {texts.text(keys::kConfigurationFiles)};
    if (!toSave) filters << texts.text(keys::kImageFiles);
    return chooseFileName(window_, reporter_,
                          {withoutMnemonic(button.text()), filters << texts.text(keys::kAllFiles), toSave,
                           kConfigurationSuffix});
}

// A dropped file is opened as Open would open it, so it waits while Open does.
bool OpenAndSave::takesDroppedFile(const QMimeData* data) const {
    return open_.isEnabled() && !droppedFile(data).isEmpty();
}

bool OpenAndSave::eventFilter(QObject* watched, QEvent* event) {
    const bool isDrag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
    if (!isDrag && event->type() != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);  // QDragEnterEvent and QDragMoveEvent are drop events
    // Anything but one file goes on to the control; into a box, a file is eaten even
    // while Open waits: the box would take the file's name as text.
    const bool eaten = watched == &window_ ? takesDroppedFile(drop->mimeData()) : !droppedFile(drop->mimeData()).isEmpty();
    if (!eaten) return false;
    if (!takesDroppedFile(drop->mimeData())) {
        drop->ignore();
    } else {
        drop->acceptProposedAction();
        if (!isDrag) open(droppedFile(drop->mimeData()));
    }
    return true;
}

}  // namespace vostrel::ui
