#pragma once

#include <QMenu>
#include <QStringList>

namespace kiro::app {

// How many designs File's "最近使ったファイル" lists.
constexpr int kRecentFileCount = 8;

// The list after path was opened or saved: path first, no other entry for the same file,
// at most kRecentFileCount entries.
QStringList withRecentFile(QStringList files, const QString& path);

// The submenu of recent designs, kept in the remembered state across runs. Choosing an
// entry emits chosen; the window decides what to do with a file that is gone.
class RecentFilesMenu : public QMenu {
    Q_OBJECT

  public:
    explicit RecentFilesMenu(QWidget* parent = nullptr);

    QStringList files() const;
    void add(const QString& path);
    void remove(const QString& path);

  signals:
    void chosen(const QString& path);

  private:
    void store(const QStringList& files);
    void rebuild();
};

} // namespace kiro::app
