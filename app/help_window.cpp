#include "app/help_window.h"

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolBar>

namespace kiro::app {
namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 600;
constexpr int kSearchWidth = 220;

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QMainWindow(parent), browser_(new QTextBrowser(this)), search_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("help"));
    setWindowTitle(tr("KIRO ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    browser_->setOpenExternalLinks(true);
    setCentralWidget(browser_);

    QToolBar* tools = addToolBar(tr("移動"));
    tools->setMovable(false);
    QAction* back = tools->addAction(tr("戻る"), browser_, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("back"));
    back->setShortcut(QKeySequence::Back);
    back->setToolTip(tr("前に見ていた箇所に戻ります (%1)")
                         .arg(back->shortcut().toString(QKeySequence::NativeText)));
    back->setEnabled(false);
    QAction* forward = tools->addAction(tr("進む"), browser_, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("forward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    QAction* home = tools->addAction(tr("目次"), browser_, &QTextBrowser::home);
    home->setObjectName(QStringLiteral("home"));
    tools->addSeparator();

    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(tr("ガイド内を検索"));
    search_->setToolTip(tr("Enterで次の一致箇所へ進みます"));
    search_->setClearButtonEnabled(true);
    search_->setMaximumWidth(kSearchWidth);
    tools->addWidget(search_);
    connect(search_, &QLineEdit::returnPressed, this, [this] { find(search_->text()); });
    QAction* findAction = new QAction(this);
    findAction->setShortcut(QKeySequence::Find);
    connect(findAction, &QAction::triggered, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    addAction(findAction);
    resize(kWidth, kHeight);
}

void HelpWindow::showGuide(const QUrl& guide) {
    if (browser_->source() != guide) {
        browser_->setSource(guide);
    }
    show();
    raise();
    activateWindow();
}

bool HelpWindow::find(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    if (browser_->find(text)) {
        return true;
    }
    // Round again from the top.
    QTextCursor top = browser_->textCursor();
    top.movePosition(QTextCursor::Start);
    browser_->setTextCursor(top);
    return browser_->find(text);
}

} // namespace kiro::app
