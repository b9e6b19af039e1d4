#include "app/recent_files.h"

#include <QDir>
#include <QFileInfo>

#include "app/remembered_state.h"

namespace kiro::app {
namespace {

constexpr const char* kRecentFilesKey = "files/recent";

QString sameFileKey(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QStringList withRecentFile(QStringList files, const QString& path) {
    const QString key = sameFileKey(path);
    files.removeIf([&key](const QString& file) { return sameFileKey(file) == key; });
    files.prepend(key);
    while (files.size() > kRecentFileCount) {
        files.removeLast();
    }
    return files;
}

RecentFilesMenu::RecentFilesMenu(QWidget* parent) : QMenu(tr("最近使ったファイル(&R)"), parent) {
    setObjectName(QStringLiteral("recentFiles"));
    rebuild();
}

QStringList RecentFilesMenu::files() const {
    return rememberedState().value(QString::fromLatin1(kRecentFilesKey)).toStringList();
}

void RecentFilesMenu::add(const QString& path) {
    store(withRecentFile(files(), path));
}

void RecentFilesMenu::remove(const QString& path) {
    QStringList kept = files();
    kept.removeAll(path);
    store(kept);
}

void RecentFilesMenu::store(const QStringList& files) {
    rememberedState().setValue(QString::fromLatin1(kRecentFilesKey), files);
    rememberedState().sync();
    rebuild();
}

void RecentFilesMenu::rebuild() {
    clear();
    const QStringList list = files();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString& path = list[i];
        // "&1 name" ... so that the keyboard reaches each entry by its number.
        QAction* entry =
            addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
    setEnabled(!list.isEmpty());
}

} // namespace kiro::app
