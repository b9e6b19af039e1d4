#include "app/main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include "analysis/information_text.h"
#include "app/design_status_bar.h"
#include "app/dialogs/aperture_change_dialog.h"
#include "app/dialogs/curve_dialog.h"
#include "app/dialogs/description_dialog.h"
#include "app/dialogs/fan_dialog.h"
#include "app/dialogs/field_dialog.h"
#include "app/dialogs/lens_editor_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/optimizer_progress_dialog.h"
#include "app/dialogs/picture_export.h"
#include "app/dialogs/reflector_designer_dialog.h"
#include "app/dialogs/refractor_designer_dialog.h"
#include "app/dialogs/seidel_dialog.h"
#include "app/dialogs/settings_dialog.h"
#include "app/dialogs/spot_dialog.h"
#include "app/dialogs/wavefront_dialog.h"
#include "app/document.h"
#include "app/file_commands.h"
#include "app/help_commands.h"
#include "app/layout_widget.h"
#include "app/message_boxes.h"
#include "app/print_picture.h"
#include "app/recent_files.h"
#include "app/remembered_state.h"
#include "app/shell_text.h"
#include "app/window_title.h"
#include "presenters/aperture_change.h"
#include "render/layout_picture.h"

// The icon lives in the shell library, whose resources a program must ask for.
static void loadShellResources() {
    Q_INIT_RESOURCE(kiro);
}

namespace kiro::app {
namespace {

constexpr int kWindowWidth = 630;
constexpr int kWindowHeight = 440; // the menu bar included

// A command of the menu bar or of one of its popups, named by its identifier.
template <typename Slot>
QAction* addCommand(QWidget* menu, QObject* owner, MenuId id, const QString& text, Slot slot) {
    auto* action = new QAction(text, owner);
    action->setObjectName(commandObjectName(id));
    QObject::connect(action, &QAction::triggered, owner, slot);
    menu->addAction(action);
    return action;
}

// The platform's standard keys for a command, shown in its menu; where the platform has
// none (Save As and Quit on some desktops), the keys most desktops use.
void useStandardKey(QAction* action, QKeySequence::StandardKey key) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty() && key == QKeySequence::SaveAs) {
        keys << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    } else if (keys.isEmpty() && key == QKeySequence::Quit) {
        keys << QKeySequence(Qt::CTRL | Qt::Key_Q);
    }
    action->setShortcuts(keys);
}

// A dropped design file: one local file whose name ends in .OPT in any case.
QString droppedDesign(const QMimeData* data) {
    if (data == nullptr || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
        return {};
    }
    const QString path = data->urls().constFirst().toLocalFile();
    return QFileInfo(path).suffix().compare(QStringLiteral("OPT"), Qt::CaseInsensitive) == 0
               ? path
               : QString();
}

} // namespace

MainWindow::MainWindow(Document& document, QWidget* parent)
    : QMainWindow(parent), document_(document), view_(new LayoutWidget(document, this)) {
    setObjectName(QStringLiteral("KIRO"));
    setWindowTitle(QStringLiteral("KIRO"));
    loadShellResources();
    setWindowIcon(QIcon(QStringLiteral(":/kiro.svg")));
    setCentralWidget(view_);
    setAcceptDrops(true);
    buildMenus();
    status_ = new DesignStatusBar(this);
    setStatusBar(status_);
    resize(kWindowWidth, kWindowHeight);
    recallGeometry(this);
    connect(view_, &LayoutWidget::painted, this, &MainWindow::viewPainted);
    connect(view_, &LayoutWidget::pointerMoved, status_, &DesignStatusBar::showPointer);
    connect(view_, &LayoutWidget::viewChanged, status_, &DesignStatusBar::showScale);
    connect(&document_, &Document::lensChanged, this,
            [this] { status_->showOptics(document_.lens()); });
    status_->showScale(view_->view());
    status_->showOptics(document_.lens());
    connect(&document_, &Document::modifiedChanged, this, &MainWindow::showTitle);
    connect(&document_, &Document::filePathChanged, this, [this](const QString& path) {
        if (!path.isEmpty()) {
            recent_->add(path);
        }
        showTitle();
    });
}

template <class Dialog> void MainWindow::showAnalysis() {
    if (designInUse()) {
        Dialog dialog(document_.lens(), this);
        dialog.exec();
    }
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    // Nine menus fit the window's start width only without the style's gaps between them
    // (each item keeps its own padding).
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; }"));

    QMenu* file = bar->addMenu(tr("ファイル(&F)"));
    useStandardKey(addCommand(file, this, MenuId::New, tr("新規作成(&N)"),
                              [this] { newDesign(this, document_); }),
                   QKeySequence::New);
    useStandardKey(addCommand(file, this, MenuId::Open, tr("開く(&O)"),
                              [this] { openDesign(this, document_); }),
                   QKeySequence::Open);
    useStandardKey(addCommand(file, this, MenuId::Save, tr("上書き保存(&S)"),
                              [this] { saveDesign(this, document_, SaveKind::Save); }),
                   QKeySequence::Save);
    useStandardKey(addCommand(file, this, MenuId::SaveAs, tr("名前を付けて保存(&A)"),
                              [this] { saveDesign(this, document_, SaveKind::SaveAs); }),
                   QKeySequence::SaveAs);
    addFileExtras(file);
    file->addSeparator();
    useStandardKey(addCommand(file, this, MenuId::Exit, tr("終了(&X)"), [this] { close(); }),
                   QKeySequence::Quit);

    buildEditMenu();

    QMenu* views = bar->addMenu(tr("表示(&D)"));
    addCommand(views, this, MenuId::SpotDiagram, tr("スポットダイヤグラム(&S)"),
               [this] { showAnalysis<SpotDialog>(); });
    addCommand(views, this, MenuId::AberrationCurves, tr("収差曲線(&E)"),
               [this] { showAnalysis<CurveDialog>(); });
    addCommand(views, this, MenuId::Information, tr("情報表示(&I)"), [this] { showInformation(); });
    addCommand(views, this, MenuId::LightAmount, tr("光量(&L)"),
               [this] { showAnalysis<LightDialog>(); });
    addCommand(views, this, MenuId::WavefrontMtf, tr("波面・MTF(&W)"),
               [this] { showAnalysis<WavefrontDialog>(); });
    views->addSeparator();
    addCommand(views, this, MenuId::RayFans, tr("収差図(&R)"),
               [this] { showAnalysis<FanDialog>(); });
    addCommand(views, this, MenuId::FieldCurves, tr("像面湾曲・歪曲(&F)"),
               [this] { showAnalysis<FieldDialog>(); });
    addCommand(views, this, MenuId::SeidelSums, tr("ザイデル収差(&Z)"),
               [this] { showAnalysis<SeidelDialog>(); });

    addCommand(bar, this, MenuId::LensData, tr("レンズ設定(&L)"), [this] { editLensData(); });
    addCommand(bar, this, MenuId::ApertureChange, tr("口径変更(&R)"), [this] { changeAperture(); });
    addCommand(bar, this, MenuId::Description, tr("説明入力(&A)"), [this] { describe(); });

    QMenu* design = bar->addMenu(tr("自動設計(&T)"));
    addCommand(design, this, MenuId::RefractorDesign, tr("屈折望遠鏡設計(&K)"),
               [this] { runRefractorDesigner(document_, this); });
    addCommand(design, this, MenuId::ReflectorDesign, tr("反射望遠鏡設計(&H)"),
               [this] { runReflectorDesigner(document_, this); });
    design->addSeparator();
    addCommand(design, this, MenuId::Optimize, tr("最適化(&O)"),
               [this] { runOptimizer(document_, this); });

    addCommand(bar, this, MenuId::Settings, tr("各種設定(&C)"), [this] { configure(); });

    QMenu* help = bar->addMenu(tr("ヘルプ(&H)", "menu"));
    useStandardKey(addCommand(help, this, MenuId::Help, tr("ヘルプ(&H)", "user's guide"),
                              [this] { openUserGuide(this); }),
                   QKeySequence::HelpContents);
    addCommand(help, this, MenuId::About, tr("バージョン(&A)"), [this] { showAbout(this); });

    addViewCommands(views);
}

void MainWindow::addFileExtras(QMenu* file) {
    file->addSeparator();
    QAction* picture = file->addAction(tr("画像を保存…"), this, &MainWindow::savePicture);
    picture->setObjectName(QString::fromLatin1(CommandName::SavePicture));
    picture->setToolTip(tr("側面図をPNG, SVG, PDFの画像ファイルに保存します"));
    QAction* printing = file->addAction(tr("印刷…"), this, &MainWindow::print);
    printing->setObjectName(QString::fromLatin1(CommandName::Print));
    useStandardKey(printing, QKeySequence::Print);
    file->addSeparator();
    recent_ = new RecentFilesMenu(this);
    file->addMenu(recent_);
    connect(recent_, &RecentFilesMenu::chosen, this, &MainWindow::openRecent);
}

void MainWindow::addViewCommands(QMenu* views) {
    views->addSeparator();
    const auto add = [this, views](const char* name, const QString& text, auto slot,
                                   const QList<QKeySequence>& keys) {
        QAction* action = views->addAction(text, view_, slot);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
    };
    add(CommandName::ZoomIn, tr("側面図を拡大(&M)"), &LayoutWidget::zoomIn,
        QKeySequence::keyBindings(QKeySequence::ZoomIn));
    add(CommandName::ZoomOut, tr("側面図を縮小(&O)"), &LayoutWidget::zoomOut,
        QKeySequence::keyBindings(QKeySequence::ZoomOut));
    add(CommandName::Fit, tr("側面図を全体表示(&A)"), &LayoutWidget::showFitted,
        {QKeySequence(Qt::Key_Home)});
}

void MainWindow::buildEditMenu() {
    QMenu* edit = menuBar()->addMenu(tr("編集(&E)"));
    QAction* undo = addCommand(edit, this, MenuId::Undo, QString(), [this] { document_.undo(); });
    useStandardKey(undo, QKeySequence::Undo);
    QAction* redo = addCommand(edit, this, MenuId::Redo, QString(), [this] { document_.redo(); });
    // Ctrl+Y as well, which many programs take for Redo.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    }
    redo->setShortcuts(redoKeys);

    const auto showSteps = [this, undo, redo] {
        const QUndoStack& history = document_.history();
        const QString undone = history.undoText();
        undo->setText(undone.isEmpty() ? tr("元に戻す(&U)") : tr("元に戻す: %1(&U)").arg(undone));
        undo->setEnabled(history.canUndo());
        const QString redone = history.redoText();
        redo->setText(redone.isEmpty() ? tr("やり直し(&R)") : tr("やり直し: %1(&R)").arg(redone));
        redo->setEnabled(history.canRedo());
    };
    connect(&document_.history(), &QUndoStack::indexChanged, this, showSteps);
    showSteps();
}

void MainWindow::viewPainted() {
    if (painted_) {
        return;
    }
    painted_ = true;
    showTitle();
    connect(&document_, &Document::descriptionChanged, this, &MainWindow::showTitle);
    emit firstPainted();
}

void MainWindow::showTitle() {
    if (!painted_) {
        return;
    }
    setWindowTitle(
        windowTitleFor(fromDesignBytes(document_.lens().description), document_.filePath()));
    setWindowModified(document_.isModified());
}

void MainWindow::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        showWarning(
            this,
            tr("\"%1\" が見つかりません。\n最近使ったファイルの一覧から外します。").arg(path));
        recent_->remove(path);
        return;
    }
    openDesignFile(this, document_, path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedDesign(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedDesign(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // The drop returns first: the unsaved-work question must not run inside the drag.
    QMetaObject::invokeMethod(
        this, [this, path] { openDesignFile(this, document_, path); }, Qt::QueuedConnection);
}

// The side view at the window's size, fitted, as kiro-cli render layout draws it.
void MainWindow::savePicture() {
    const QString base = document_.filePath().isEmpty()
                             ? QStringLiteral("layout")
                             : QFileInfo(document_.filePath()).completeBaseName();
    const QSize size = view_->size();
    savePictureAs(this, base + QStringLiteral(".png"), size,
                  layoutPainter(document_.lens(), size.width(), size.height()));
}

void MainWindow::print() {
    const QSize size = view_->size();
    printPicture(this,
                 windowTitleFor(fromDesignBytes(document_.lens().description), document_.filePath())
                     .remove(QStringLiteral("[*]")),
                 size, layoutPainter(document_.lens(), size.width(), size.height()));
}

bool MainWindow::designInUse() const {
    return document_.lens().surfaces[0].type >= 0;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (settleUnsavedWork(this, document_)) {
        rememberGeometry(this);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::showInformation() {
    if (!designInUse()) {
        return;
    }
    // The words in the user's language around the core's numbers and layout.
    const QByteArray heading = tr("情報表示").toUtf8();
    const QByteArray focusPosition = tr("焦点位置(d線)").toUtf8();
    const QByteArray focalLength = tr("焦点距離(d線)").toUtf8();
    const QByteArray diameter = tr("有効径").toUtf8();
    const QByteArray fNumber = tr("F値").toUtf8();
    const QByteArray noData = tr("データがありません").toUtf8();
    const InformationWords words{heading.constData(),     focusPosition.constData(),
                                 focalLength.constData(), diameter.constData(),
                                 fNumber.constData(),     noData.constData()};
    const SurfaceTable& table = document_.lens().surfaces;
    const std::string text =
        buildInformationText(table, document_.lens().settings, apertureRadius(table), words);
    showBox(this, {QStringLiteral("Information"), QString::fromStdString(text), QMessageBox::NoIcon,
                   QMessageBox::Ok});
}

void MainWindow::changeAperture() {
    const double semiAperture = currentSemiAperture(document_.lens().surfaces);
    if (!(semiAperture > 0.0)) {
        return;
    }
    ApertureChangeDialog dialog(document_, semiAperture, this);
    dialog.exec();
}

void MainWindow::describe() {
    DescriptionDialog dialog(document_, this);
    dialog.exec();
}

void MainWindow::configure() {
    SettingsDialog dialog(document_, this);
    if (dialog.exec() != 0) {
        view_->update();
    }
}

void MainWindow::editLensData() {
    // The view is fitted again whatever the editor returns; an accepted edit has fitted
    // it already through the document.
    if (!runLensEditor(document_, this)) {
        view_->showFitted();
    }
}

} // namespace kiro::app
