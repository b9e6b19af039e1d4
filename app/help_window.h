#pragma once

#include <QMainWindow>
#include <QUrl>

class QLineEdit;
class QTextBrowser;

namespace kiro::app {

// The user's guide in a window of KIRO's own, so that Help needs no browser: back and
// forward through the links followed, a search field that finds the next match (Enter)
// and the guide's pictures. Links to the web go to the desktop's browser.
class HelpWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showGuide(const QUrl& guide);
    QTextBrowser* browser() const { return browser_; }
    // Finds the text after the cursor, from the top again at the end; false when absent.
    bool find(const QString& text);

  private:
    QTextBrowser* browser_;
    QLineEdit* search_;
};

} // namespace kiro::app
