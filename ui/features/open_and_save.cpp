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

#include "image/image_reader.h"
#include "ui/dialogs/file_dialog.h"
#include "ui/workings/local_path.h"
#include "ui/controls/mnemonics.h"
#include "ui/features/remembered_choices.h"
#include "ui/workings/window_files.h"

namespace vostrel::ui {
namespace {

using texts::keys;

constexpr QLatin1StringView kLastFolderKey("LastFolder");
// The configuration files' own extension, which Save gives a name typed without one.
constexpr QLatin1StringView kConfigurationSuffix("vostrel");
constexpr QLatin1StringView kSiteListSuffix(".csv");

// The one local file a drag carries; several files or anything else open nothing.
QString droppedFile(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    return data->urls().front().toLocalFile();
}

}  // namespace

OpenAndSave::OpenAndSave(QWidget& window, QPushButton& open, QPushButton& save, RowsView& rows,
                         const MessageReporter& reporter)
    : window_(window),
      open_(open),
      save_(save),
      rows_(rows),
      reporter_(reporter),
      lastDirectory_(rememberedValue(kLastFolderKey).toString()) {
    connect(&open_, &QPushButton::clicked, this, [this] {
        if (const QString path = chooseFile(false); !path.isEmpty()) this->open(path);
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
    rememberDirectory(path);
    const auto opened = openWindowFile(localPath(path), rows_.textSettings());
    if (const auto* problem = std::get_if<FileProblem>(&opened)) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    const auto& file = std::get<config::EntriesRead>(opened);
    // The backup of a new transmitter holds no settings: the window's stay.
    const bool erased = file.image && image::isErased(*file.image);
    rows_.show(erased ? rows_.withSettings(file.entries) : file.entries);
    // Before the box below, which waits until it is dismissed.
    emit fileUsed(QFileInfo(path).absoluteFilePath());
    if (file.readErrorRow) reporter_.report({keys::kEepromReadError, texts::Title::Error, {}});
    if (erased) reporter_.report({keys::kReadErased, texts::Title::Success, {}});
    for (const texts::Message& note : file.notes) reporter_.report(note);
}

void OpenAndSave::save(const QString& path) {
    rememberDirectory(path);
    if (const auto problem = saveWindowFile(localPath(path), rows_.entries())) {
        reporter_.report(problem->message, QString::fromStdString(problem->detail));
        return;
    }
    emit fileUsed(QFileInfo(path).absoluteFilePath());
}

void OpenAndSave::openGiven(const QStringList& paths, const std::function<void(const QString&)>& importList) {
    if (paths.isEmpty()) return;
    // As its name says: a site list is no configuration, and Open would refuse it.
    if (paths.front().endsWith(kSiteListSuffix, Qt::CaseInsensitive)) {
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
    return chooseFileName(window_, reporter_, {withoutMnemonic(button.text()), lastDirectory_,
                                    filters << texts.text(keys::kAllFiles), toSave, kConfigurationSuffix});
}

void OpenAndSave::rememberDirectory(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (folder == lastDirectory_) return;
    lastDirectory_ = folder;
    rememberValue(kLastFolderKey, folder);
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
