#include <cerrno>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>

#include "app/dialogs/optimizer_progress_dialog.h"
#include "app/dialogs/picture_export.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/help_window.h"
#include "app/layout_widget.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/print_picture.h"
#include "app/shell_text.h"
#include "presenters/lens_editor.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::BoxRecorder;
using kiro::test::control;
using kiro::test::examplePath;
using kiro::test::fileBytes;
using kiro::test::ModalDriver;

namespace {

// Chooses the files in turn (cancels once the answers run out).
struct Files {
    QList<FileRequest> seen;
    QStringList answers;
    Files() {
        setFileAnswerer([this](const FileRequest& request) {
            seen.append(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    ~Files() { setFileAnswerer({}); }
};

// A shown main window on its document, as main() makes it.
struct Program {
    Document document;
    MainWindow window{document};
    Program() {
        test::prepareDocument(document);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void run(MenuId id) { run(commandObjectName(id)); }
    void run(const QString& name) {
        QAction* action = window.findChild<QAction*>(name);
        QVERIFY2(action != nullptr, qPrintable(name));
        action->trigger();
    }
    const LayoutView& view() const { return window.layoutWidget()->view(); }
    void zoomIn() {
        QTest::mouseClick(window.layoutWidget(), Qt::LeftButton, {}, QPoint(100, 100));
    }
    // The view is the fit of the design as it is now to the window.
    bool showsFittedDesign() const {
        const LayoutWidget* widget = window.layoutWidget();
        LayoutView fit;
        updateLayoutView(fit, document.lens().surfaces, LayoutMode::Fit, widget->width(),
                         widget->height(), widget->width(), widget->height());
        const LayoutView& shown = view();
        return shown.scale == fit.scale && shown.originX == fit.originX &&
               shown.originY == fit.originY && shown.zMin == fit.zMin && shown.zMax == fit.zMax;
    }
};

// The object names of the modal dialogs the commands open; each is closed as Cancel
// closes it as soon as it is up.
QStringList dialogsOpenedBy(Program& program, std::initializer_list<MenuId> ids) {
    QStringList opened;
    ModalDriver closer({}, [&opened](QWidget* modal) {
        opened << modal->objectName();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
        return false;
    });
    for (const MenuId id : ids) {
        program.run(id);
    }
    return opened;
}

// Presses a dialog's OK; a dialog that refuses it is cancelled, so that no test waits on
// it (the test then fails on what it checks).
void pressOk(QWidget* dialog) {
    control<QPushButton>(dialog, 1)->click();
    if (dialog->isVisible()) {
        qWarning("%s refused OK", qPrintable(dialog->objectName()));
        qobject_cast<QDialog*>(dialog)->reject();
    }
}

void selectGlass(QWidget* dialog, int id, const Document& document, const char* glass) {
    control<QComboBox>(dialog, id)->setCurrentIndex(findGlass(document.catalog(), glass));
}

// The design as `kiro-cli show` lists it: a row a line with its numbers as "%g", then
// the description.
QByteArray shownTable(const LensSystem& lens) {
    const auto g = [](double value) { return formatNumber("%g", value); };
    const auto orDash = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("-") : text;
    };
    QString text;
    for (int i = 0; i < surfaceCount(lens.surfaces); ++i) {
        const Surface& s = lens.surfaces[static_cast<size_t>(i)];
        const bool aspheric =
            s.type == SurfaceType::AsphericMirror || s.type == SurfaceType::AsphericLens;
        text += QString::number(i) + u' ' + QString::number(s.type) + u' ' +
                QString::fromUtf8(typeListName(typePositionOf(s.type))) + QStringLiteral(" xyz=") +
                g(s.x) + u',' + g(s.y) + u',' + g(s.z) + QStringLiteral(" normal=") + g(s.nx) +
                u',' + g(s.ny) + u',' + g(s.nz) +
                (aspheric ? QStringLiteral(" a1=") : QStringLiteral(" R=")) + g(s.radius) +
                QStringLiteral(" a2=") + g(s.a2) + QStringLiteral(" a3=") + g(s.a3) +
                QStringLiteral(" a4=") + g(s.a4) + QStringLiteral(" diameter=") +
                g(2.0 * s.effectiveRadius) + QStringLiteral(" material=") +
                orDash(fromDesignBytes(s.material)) + QStringLiteral(" nd=") +
                g(s.index[WavelengthLine::d]) + u'\n';
    }
    text += QStringLiteral("description: ") + orDash(fromDesignBytes(lens.description)) + u'\n';
    return text.toUtf8();
}

// Every field of the design, each number to the last bit.
QByteArray exactDesign(const LensSystem& lens) {
    QByteArray text;
    const auto number = [&text](double value) { text += QByteArray::number(value, 'a') + ' '; };
    for (const Surface& s : lens.surfaces) {
        text += QByteArray::number(s.type) + ' ';
        for (double value :
             {s.x, s.y, s.z, s.nx, s.ny, s.nz, s.radius, s.a2, s.a3, s.a4, s.effectiveRadius}) {
            number(value);
        }
        for (double value : s.index) {
            number(value);
        }
        text += QByteArray(s.material) + '\n';
    }
    const Settings& t = lens.settings;
    for (int value : {t.rayCount, t.incidenceAngle, static_cast<int>(t.spotGridMode),
                      t.spotGridPoints, t.spotGridPitch, static_cast<int>(t.sourceMode)}) {
        text += QByteArray::number(value) + ' ';
    }
    for (double value : {t.sourceX, t.sourceY, t.sourceZ}) {
        number(value);
    }
    return text + '\n' + QByteArray(lens.description);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Whether the design files' reader and writer report why they refused (the system's
// error, a binary file); until they do, the tests of the reasons have nothing to check.
bool designFilesSayWhy() {
    LensSystem lens{};
    const bool refusesBinary = !readDesignBytes(lens, "ver100\0", 7).accepted();
    const bool readErrno = readDesign(lens, "/nonexistent/plan.OPT").systemError == ENOENT;
    const bool writeErrno = writeDesign(lens, "/nonexistent/folder/x.OPT").systemError == ENOENT;
    return refusesBinary && readErrno && writeErrno;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // Closing a test's window must not end the application.
        QApplication::setQuitOnLastWindowClosed(false);
        useCNumbers(); // as main() does
    }

    void menuHoldsEveryCommandUnderItsIdentifier() {
        Document document;
        MainWindow window(document);
        // The menu as an outline: a popup's title, then its items as "id text" ("-" a
        // separator, "(off)" a disabled command), one a line.
        const auto item = [](QAction* action) {
            return action->isSeparator()
                       ? QStringLiteral("-")
                       : action->objectName() + u' ' + action->text() +
                             (action->isEnabled() ? QString() : QStringLiteral(" (off)"));
        };
        QStringList outline;
        for (QAction* entry : window.menuBar()->actions()) {
            if (entry->menu() == nullptr) {
                outline << item(entry);
                continue;
            }
            QStringList items;
            for (QAction* action : entry->menu()->actions()) {
                items << item(action);
            }
            outline << entry->text() + QStringLiteral(": ") + items.join(QStringLiteral(", "));
        }
        QCOMPARE(
            outline.join(u'\n'),
            QString::fromUtf8("ファイル(&F): 101 新規作成(&N), 102 開く(&O), 103 上書き保存(&S), "
                              "104 名前を付けて保存(&A), -, savePicture 画像を保存…, "
                              "print 印刷…, -,  最近使ったファイル(&R) (off), -, 105 終了(&X)\n"
                              "編集(&E): 801 元に戻す(&U) (off), 802 やり直し(&R) (off)\n"
                              "表示(&D): 201 スポットダイヤグラム(&S), 202 収差曲線(&E), "
                              "203 情報表示(&I), 204 光量(&L), 210 波面・MTF(&W), -, "
                              "211 収差図(&R), 212 像面湾曲・歪曲(&F), 213 ザイデル収差(&Z), -, "
                              "zoomIn 側面図を拡大(&M), zoomOut 側面図を縮小(&O), "
                              "fitView 側面図を全体表示(&A)\n"
                              "301 レンズ設定(&L)\n"
                              "401 口径変更(&R)\n"
                              "501 説明入力(&A)\n"
                              "自動設計(&T): 701 屈折望遠鏡設計(&K), "
                              "702 反射望遠鏡設計(&H), -, 703 最適化(&O)\n"
                              "601 各種設定(&C)\n"
                              "ヘルプ(&H): 901 ヘルプ(&H), 902 バージョン(&A)"));
    }

    // After the first paint: the description, the file's name with the modified mark, KIRO.
    void windowIsTitledKiroUntilItsFirstPaintThenFollowsTheDescription() {
        Document document;
        document.applyDescription("\xe6\x9c\x9b\xe9\x81\xa0\xe9\x8f\xa1", {}); // 望遠鏡
        MainWindow window(document);
        QCOMPARE(window.size(), QSize(630, 440));
        QCOMPARE(window.windowTitle(), QStringLiteral("KIRO"));
        QCOMPARE(window.layoutWidget()->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(window.layoutWidget()->contextMenuPolicy(), Qt::PreventContextMenu);
        QSignalSpy painted(&window, &MainWindow::firstPainted);
        window.show();
        QVERIFY(painted.wait());
        QCOMPARE(window.windowTitle(), QString::fromUtf8("望遠鏡[*] — KIRO"));
        QVERIFY(window.isWindowModified());
        document.applyDescription("Newtonian", {});
        QCOMPARE(window.windowTitle(), QStringLiteral("Newtonian[*] — KIRO"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plan.OPT"));
        QVERIFY(document.save(path).written());
        QCOMPARE(window.windowTitle(), QStringLiteral("Newtonian — plan.OPT[*] — KIRO"));
        QVERIFY(!window.isWindowModified());
        document.applyDescription("", {});
        QCOMPARE(window.windowTitle(), QStringLiteral("plan.OPT[*] — KIRO"));
        QVERIFY(window.isWindowModified());
        document.undo();
        QVERIFY(!window.isWindowModified());
        document.newDesign({});
        QCOMPARE(window.windowTitle(), QStringLiteral("KIRO[*]"));
        QVERIFY(!window.isWindowModified());
    }

    void viewIsTheImageOfKiroCliRenderLayout_data() { test::addExampleDesignRows(); }

    void viewIsTheImageOfKiroCliRenderLayout() {
        QFETCH(QString, design);
        Program program;
        QVERIFY(test::openFile(program.document, examplePath(design)));
        LayoutWidget* view = program.window.layoutWidget();
        program.window.resize(program.window.size() - view->size() + QSize(630, 400));
        QTRY_COMPARE(view->size(), QSize(630, 400));

        const QImage expected = test::renderWithCli(QStringLiteral("layout"), design, {});
        const QImage shown = test::asRgb(view->grab().toImage());
        QCOMPARE(shown.size(), QSize(630, 400));
        QVERIFY(shown == expected);

        // File > Save picture writes the same pixels, whatever the zoom shown.
        program.zoomIn();
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("side.PNG"));
        setPictureFileAsker([&picture](QWidget*, const QString&) { return picture; });
        program.run(QLatin1String(CommandName::SavePicture));
        setPictureFileAsker({});
        QVERIFY(test::asRgb(QImage(picture)) == expected);
    }

    // Print goes through QPrinter: to a PDF file, one page holding the drawing.
    void printingGivesAPageHoldingTheSideView() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        setPrinterAnswerer([&pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        });
        program.run(QLatin1String(CommandName::Print));
        const QByteArray bytes = fileBytes(pdf);
        // The same page of the empty design: the caption and the axis alone.
        program.document.newDesign({});
        program.run(QLatin1String(CommandName::Print));
        setPrinterAnswerer({});
        const QByteArray empty = fileBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                     bytes.count("/Type /Page "),
                 qsizetype(1));
        QVERIFY2(bytes.size() > empty.size() + 2000,
                 qPrintable(QStringLiteral("%1 %2").arg(bytes.size()).arg(empty.size())));
    }

    // Each command's standard key, pressed in the window, runs the command.
    void shortcutsTriggerTheirCommands() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        program.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program.window));
        Files files; // Open and Save are cancelled
        BoxRecorder boxes;
        setPrinterAnswerer([](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("kiro-shortcut.pdf")));
        });
        // The platform's standard key, or the common one where the platform has none.
        const struct {
            QKeySequence::StandardKey key;
            QKeySequence common;
            QString command;
        } table[] = {
            {QKeySequence::New, {}, commandObjectName(MenuId::New)},
            {QKeySequence::Open, {}, commandObjectName(MenuId::Open)},
            {QKeySequence::Save, {}, commandObjectName(MenuId::Save)},
            {QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
             commandObjectName(MenuId::SaveAs)},
            {QKeySequence::Print, {}, QLatin1String(CommandName::Print)},
            {QKeySequence::Undo, {}, commandObjectName(MenuId::Undo)},
            {QKeySequence::Redo, {}, commandObjectName(MenuId::Redo)},
            {QKeySequence::HelpContents, {}, commandObjectName(MenuId::Help)},
            {QKeySequence::ZoomIn, {}, QLatin1String(CommandName::ZoomIn)},
            {QKeySequence::ZoomOut, {}, QLatin1String(CommandName::ZoomOut)},
            {QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q),
             commandObjectName(MenuId::Exit)},
        };
        for (const auto& row : table) {
            auto* action = program.window.findChild<QAction*>(row.command);
            QVERIFY2(action != nullptr, qPrintable(row.command));
            QList<QKeySequence> keys = QKeySequence::keyBindings(row.key);
            if (keys.isEmpty()) {
                keys << row.common;
            }
            QVERIFY2(!keys.first().isEmpty() && action->shortcuts().contains(keys.first()),
                     qPrintable(row.command));
            // The menu shows the key beside the text.
            QVERIFY(!action->shortcut().isEmpty());
            action->setEnabled(true); // Undo and Redo are off without a step
            QSignalSpy triggered(action, &QAction::triggered);
            program.window.activateWindow();
            QTest::keySequence(&program.window, keys.first());
            QVERIFY2(triggered.size() == 1, qPrintable(row.command));
        }
        setPrinterAnswerer({});
        QFile::remove(QDir::temp().filePath(QStringLiteral("kiro-shortcut.pdf")));
        QVERIFY(!program.window.isVisible()); // Quit closed it

        // Home fits the view again after a zoom.
        program.window.show();
        program.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program.window));
        program.zoomIn();
        QVERIFY(program.view().scale != program.view().fitScale);
        QTest::keyClick(&program.window, Qt::Key_Home);
        QVERIFY(program.showsFittedDesign());
    }

    // The status bar: the design point under the pointer, the scale, the focal length and
    // F-number of the information box.
    void statusBarFollowsThePointerAndShowsTheFirstOrderData() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        LayoutWidget* widget = program.window.layoutWidget();
        const auto label = [&program](const char* name) {
            return program.window.statusBar()->findChild<QLabel*>(QLatin1String(name))->text();
        };
        // The middle pixel of a fitted view shows the middle of the design's frame.
        const LayoutView& view = program.view();
        const QPoint middle(widget->width() / 2, widget->height() / 2);
        QTest::mouseMove(widget, middle);
        QTRY_COMPARE(label("pointer"), QStringLiteral("z %1 mm  x %2 mm")
                                           .arg(formatNumber("%.2f", (view.zMin + view.zMax) / 2))
                                           .arg(formatNumber("%.2f", (view.xMin + view.xMax) / 2)));
        QCOMPARE(label("scale"),
                 formatNumber("%.4g", 1 / view.fitScale) + QString::fromUtf8(" mm/画素"));

        // The numbers of the information box, to its last shown digit.
        BoxRecorder boxes;
        program.run(MenuId::Information);
        const QStringList info =
            boxes.seen.at(0).text.split(QRegularExpression(QStringLiteral("[:\\s]+")));
        const double f = info.at(info.indexOf(QString::fromUtf8("焦点距離(d線)")) + 1).toDouble();
        const double fNumber = info.at(info.indexOf(QString::fromUtf8("F値")) + 1).toDouble();
        QCOMPARE(label("optics"), QString::fromUtf8("焦点距離 %1 mm  F%2")
                                      .arg(formatNumber("%.2f", f), formatNumber("%.2f", fNumber)));

        // The wheel zooms about the pointer: the point under it stays; the scale follows.
        const QPoint pointer(widget->width() / 3, widget->height() / 4);
        for (const int notches : {2, 1, -1, 3}) {
            const LayoutPoint before = layoutPointAt(view, pointer.x(), pointer.y());
            QWheelEvent wheel(pointer, widget->mapToGlobal(pointer), {}, {0, 120 * notches},
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
            const LayoutPoint after = layoutPointAt(view, pointer.x(), pointer.y());
            QVERIFY(std::abs(after.z - before.z) < 1e-9 && std::abs(after.x - before.x) < 1e-9);
            QCOMPARE(label("scale"),
                     formatNumber("%.4g", 1 / view.scale) + QString::fromUtf8(" mm/画素"));
        }
        QVERIFY(view.scale > view.fitScale);
        program.run(QLatin1String(CommandName::Fit));
        QVERIFY(program.showsFittedDesign());
        // New: no design, no first-order data.
        boxes.answers = {QMessageBox::Discard};
        program.run(MenuId::New);
        QCOMPARE(label("optics"), QString());
    }

    // A .OPT file of any case dropped on the window is opened after the unsaved-work
    // question; other files are not taken.
    void droppedDesignFilesOpen() {
        Program program;
        QTemporaryDir dir;
        const QString lower = dir.filePath(QStringLiteral("dropped.opt"));
        QVERIFY(QFile::copy(examplePath("newtonian-200-f5.OPT"), lower));
        const QString text = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(QFile::copy(examplePath("newtonian-200-f5.OPT"), text));
        program.document.applyDescription("unsaved", {});
        BoxRecorder boxes;
        boxes.answers = {QMessageBox::Cancel, QMessageBox::Discard};
        const auto drop = [&program](const QString& path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            const QPoint at(50, 50);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&program.window, &enter);
            if (!enter.isAccepted()) {
                return false;
            }
            QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&program.window, &dropped);
            return dropped.isAccepted();
        };
        QVERIFY(!drop(text));
        QVERIFY(drop(lower)); // cancelled at the question
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(program.document.filePath(), QString());
        QVERIFY(drop(lower));
        QTRY_COMPARE(program.document.filePath(), lower);
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        QCOMPARE(boxes.seen.size(), 2);
    }

    void clicksZoomAboutThePointerAndResizeRefits() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        LayoutWidget* widget = program.window.layoutWidget();
        const LayoutView fitted = program.view();
        const QPoint pointer(150, 90);
        const double zUnderPointer = (fitted.originX - pointer.x()) / fitted.scale;

        QTest::mouseClick(widget, Qt::LeftButton, {}, pointer);
        QCOMPARE(program.view().scale, 2 * fitted.scale);
        // The design point that was under the pointer is now in the middle.
        QCOMPARE(program.view().originX - program.view().scale * zUnderPointer,
                 double(widget->width() / 2));

        // Out to the fit scale about the pointer, then below it: back to the fitted view.
        QTest::mouseClick(widget, Qt::RightButton, {}, pointer);
        QCOMPARE(program.view().scale, fitted.scale);
        QVERIFY(program.view().originX != fitted.originX);
        QTest::mouseClick(widget, Qt::RightButton, {}, pointer);
        QCOMPARE(program.view().originX, fitted.originX);
        QCOMPARE(program.view().originY, fitted.originY);

        // A double click (a press, then the double click) zooms in once.
        QTest::mouseClick(widget, Qt::LeftButton, {}, pointer);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, pointer);
        QCOMPARE(program.view().scale, 2 * fitted.scale);
        program.window.resize(program.window.size() + QSize(40, 0));
        QTRY_COMPARE(program.view().scale, program.view().fitScale);
    }

    // New settles unsaved work as Open and Exit do: Cancel keeps it, Save writes it first,
    // Discard drops it. The settings, the zoom and the view's frame stay.
    void newSettlesUnsavedWorkThenEmptiesTheDesignKeepingSettingsAndZoom() {
        QTemporaryDir dir;
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        Settings settings = program.document.lens().settings;
        settings.rayCount = 5;
        program.document.applySettings(settings, {});
        program.zoomIn();
        const double zoomed = program.view().scale;
        Files files;
        BoxRecorder boxes;

        boxes.answers = {QMessageBox::Cancel};
        program.run(MenuId::New);
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        QVERIFY(program.document.isModified());

        boxes.answers = {QMessageBox::Save};
        files.answers = {dir.filePath(QStringLiteral("kept"))};
        program.run(MenuId::New);
        QVERIFY(fileBytes(dir.filePath(QStringLiteral("kept.OPT")))
                    .startsWith("ver100\r\n200mm f/5 Newtonian\r\n"));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 0);
        QVERIFY(!program.document.isModified());

        program.document.applyDescription("scratch", {});
        boxes.answers = {QMessageBox::Discard};
        program.run(MenuId::New);
        QCOMPARE(files.seen.size(), 1); // nothing saved the second time
        QCOMPARE(QByteArray(program.document.lens().description), QByteArray());

        QCOMPARE(boxes.seen.size(), 3);
        for (const BoxRequest& box : boxes.seen) {
            QCOMPARE(box.title, QStringLiteral("Caution !"));
            QCOMPARE(box.text,
                     QString::fromUtf8("現在のデータは保存されていません。\n保存しますか？"));
            QCOMPARE(box.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        }
        QCOMPARE(program.document.lens().settings.rayCount, 5);
        QCOMPARE(program.view().scale, zoomed);
        QCOMPARE(program.window.windowTitle(), QStringLiteral("KIRO[*]"));
        QVERIFY(!program.document.isModified());
    }

    void openReadsTheChosenFileRefitsAndProposesItsPath() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("spherical-mirror-r200.OPT")));
        QTest::mouseClick(program.window.layoutWidget(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(program.view().scale != program.view().fitScale);
        Files files;
        files.answers = {examplePath("newtonian-200-f5.OPT")};
        program.run(MenuId::Open);
        QCOMPARE(files.seen.size(), 1);
        QCOMPARE(files.seen[0].title, QStringLiteral("LOAD"));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        QCOMPARE(program.view().scale, program.view().fitScale);
        QCOMPARE(program.document.proposedSaveName(), examplePath("newtonian-200-f5.OPT"));
        QCOMPARE(program.window.windowTitle(),
                 QStringLiteral("200mm f/5 Newtonian — newtonian-200-f5.OPT[*] — KIRO"));
        QVERIFY(!program.document.isModified());
    }

    void failedOpenAndSaveShowTheErrorAndChangeNothing() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("spherical-mirror-r200.OPT")));
        program.document.applyDescription("unsaved", {});
        Files files;
        files.answers = {QStringLiteral("/nonexistent/plan.OPT"),
                         QStringLiteral("/nonexistent/folder/plan")};
        BoxRecorder boxes;
        boxes.answers = {QMessageBox::Discard};
        program.run(MenuId::Open);
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 2);
        QCOMPARE(program.document.proposedSaveName(), examplePath("spherical-mirror-r200.OPT"));
        program.run(MenuId::Save);
        QCOMPARE(program.document.proposedSaveName(), examplePath("spherical-mirror-r200.OPT"));
        QVERIFY(program.document.isModified());

        QCOMPARE(boxes.seen.size(), 3); // the unsaved-work question, then the two errors
        QCOMPARE(boxes.seen[1].title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen[1].text.contains(QStringLiteral("\"/nonexistent/plan.OPT\"")));
        QCOMPARE(boxes.seen[2].title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen[2].text.contains(QStringLiteral("\"/nonexistent/folder/plan.OPT\"")));
        QCOMPARE(boxes.seen[1].icon, QMessageBox::Critical);
        QCOMPARE(boxes.seen[2].icon, QMessageBox::Critical);

        // The system's reason follows the file's name.
        if (!designFilesSayWhy()) {
            QSKIP("the design-file reader and writer do not report errno yet");
        }
        const QString missing = QString::fromLocal8Bit(std::strerror(ENOENT));
        QVERIFY2(boxes.seen[1].text.endsWith(u'\n' + missing), qPrintable(boxes.seen[1].text));
        QVERIFY2(boxes.seen[2].text.endsWith(u'\n' + missing), qPrintable(boxes.seen[2].text));
    }

    // A file that is not a design, or holds a number that is not finite, is refused with
    // the file's name and the reason, and the design stays; a design that stops early
    // opens with a warning naming the line where the file ends.
    void refusedFilesNameTheReasonAndKeepTheDesign() {
        if (!designFilesSayWhy()) {
            QSKIP("the design-file reader does not refuse such files yet");
        }
        QTemporaryDir dir;
        const QByteArray mirror = fileBytes(examplePath("spherical-mirror-r200.OPT"));
        const QList<QByteArray> lines = mirror.split('\n');
        QByteArray nonFinite = mirror;
        nonFinite.replace("200 0 0 0", "inf 0 0 0"); // line 6
        struct Refused {
            const char* name;
            QByteArray bytes;
            QString reason;
        };
        const QList<Refused> refused{
            {"binary.OPT", QByteArray("ver100\r\n\0\x01\x02", 11),
             QString::fromUtf8("バイナリデータを含んでいます")},
            {"letter.OPT", QByteArray("Dear reader,\r\nthis is a letter.\r\n"),
             QString::fromUtf8("設計データの形式が見つかりません")},
            {"inf.OPT", nonFinite,
             QString::fromUtf8("6行目に無限大または数値でない数があります。")},
        };
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("designed/doublet-100-f9.OPT")));
        program.document.applyDescription("kept", {});
        const QByteArray kept = exactDesign(program.document.lens());
        Files files;
        BoxRecorder boxes;
        for (const Refused& file : refused) {
            const QString path = dir.filePath(QLatin1String(file.name));
            writeFile(path, file.bytes);
            boxes.answers = {QMessageBox::Discard};
            files.answers = {path};
            program.run(MenuId::Open);
            QCOMPARE(boxes.seen.size(), 2); // the unsaved-work question, then the error
            const BoxRequest error = boxes.seen.takeLast();
            boxes.seen.clear();
            QCOMPARE(error.title, QStringLiteral("Error !"));
            QCOMPARE(error.icon, QMessageBox::Critical);
            QVERIFY2(error.text.startsWith(
                         QString::fromUtf8("\"%1\" を読み込めませんでした。\n").arg(path)),
                     qPrintable(error.text));
            QVERIFY2(error.text.contains(file.reason), qPrintable(error.text));
            QCOMPARE(exactDesign(program.document.lens()), kept);
            QVERIFY(program.window.windowTitle().startsWith(QStringLiteral("kept — ")));
            QVERIFY(program.document.isModified());
        }

        // The mirror's file cut inside its first row.
        const QString cut = dir.filePath(QStringLiteral("cut.OPT"));
        writeFile(cut, lines.mid(0, 7).join('\n') + '\n');
        LensSystem expected = program.document.lens();
        const DesignReadResult early = readDesign(expected, QFile::encodeName(cut).constData());
        QCOMPARE(early.status, DesignReadStatus::ReadEndsEarly);
        boxes.answers = {QMessageBox::Discard};
        files.answers = {cut};
        program.run(MenuId::Open);
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[1].title, QStringLiteral("Caution !"));
        QCOMPARE(boxes.seen[1].icon, QMessageBox::Warning);
        QVERIFY(boxes.seen[1].text.contains(cut));
        QVERIFY(
            boxes.seen[1].text.contains(QString::number(early.line) + QString::fromUtf8("行目")));
        QCOMPARE(exactDesign(program.document.lens()), exactDesign(expected));
        QCOMPARE(program.document.proposedSaveName(), cut);
    }

    // Every command that changes the design is one step: Undo walks back through each to
    // the very design before it and Redo forward again, the menu names the step, and the
    // modified flag is whether the design is the one last saved, opened or begun by New.
    void undoAndRedoWalkEveryCommandWithTheModifiedFlag() {
        QTemporaryDir dir;
        Program program;
        Document& document = program.document;
        Files files;
        BoxRecorder boxes; // none is expected: no command asks on the way
        // The command's dialog filled in, then OK.
        const auto inDialog = [&program](MenuId id, const char* name,
                                         std::function<void(QWidget*)> fill) {
            return [&program, id, name, fill] {
                ModalDriver driver(QLatin1String(name), [fill](QWidget* dialog) {
                    fill(dialog);
                    pressOk(dialog);
                    return true;
                });
                program.run(id);
            };
        };
        const auto type = [](int id, const char* text) {
            return [id, text](QWidget* dialog) {
                QLineEdit* edit = control<QLineEdit>(dialog, id);
                edit->selectAll();
                QTest::keyClicks(edit, QLatin1String(text));
            };
        };
        struct Command {
            const char* name;
            std::function<void()> run;
            std::optional<EditStep> step; // none: Save, which takes no step
            bool modified;
        };
        const QList<Command> commands{
            {"open",
             [&] {
                 files.answers = {examplePath("newtonian-200-f5.OPT")};
                 program.run(MenuId::Open);
             },
             EditStep::Open, false},
            {"new", [&program] { program.run(MenuId::New); }, EditStep::New, false},
            {"open again",
             [&] {
                 files.answers = {examplePath("designed/doublet-100-f9.OPT")};
                 program.run(MenuId::Open);
             },
             EditStep::Open, false},
            {"description", inDialog(MenuId::Description, "ABST", type(101, "undo me")),
             EditStep::Description, true},
            {"settings", inDialog(MenuId::Settings, "CONF", type(101, "5")), EditStep::Settings,
             true},
            {"aperture", inDialog(MenuId::ApertureChange, "RESIZE", type(104, "80")),
             EditStep::ApertureChange, true},
            {"optimize", inDialog(MenuId::Optimize, "OPTMIZE", [](QWidget*) {}), EditStep::Optimize,
             true},
            {"save",
             [&] {
                 files.answers = {dir.filePath(QStringLiteral("saved"))};
                 program.run(MenuId::Save);
             },
             std::nullopt, false},
            {"lens data", inDialog(MenuId::LensData, "LENS", type(138, "1200")), EditStep::LensData,
             true},
            {"reflector",
             inDialog(MenuId::ReflectorDesign, "DESIGN1",
                      [&document](QWidget* designer) {
                          control<QComboBox>(designer, 101)
                              ->setCurrentIndex(listPosition(ReflectorType::SchmidtCassegrain));
                          selectGlass(designer, 104, document, "N-BK7");
                      }),
             EditStep::ReflectorDesign, true},
            {"refractor",
             inDialog(MenuId::RefractorDesign, "DESIGN2",
                      [&document](QWidget* designer) {
                          control<QComboBox>(designer, 101)
                              ->setCurrentIndex(listPosition(RefractorType::Doublet));
                          selectGlass(designer, 104, document, "N-BK7");
                          selectGlass(designer, 105, document, "N-F2");
                      }),
             EditStep::RefractorDesign, true},
        };

        QAction* undo = program.window.findChild<QAction*>(commandObjectName(MenuId::Undo));
        QAction* redo = program.window.findChild<QAction*>(commandObjectName(MenuId::Redo));
        QList<QByteArray> designs{exactDesign(document.lens())};
        QStringList names{QString()};
        qsizetype saved = -1;
        for (const Command& command : commands) {
            command.run();
            QVERIFY2(document.isModified() == command.modified, command.name);
            if (!command.step) {
                saved = designs.size() - 1;
                continue;
            }
            QVERIFY2(exactDesign(document.lens()) != designs.last(), command.name);
            designs << exactDesign(document.lens());
            names << stepName(*command.step);
            QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: %1(&U)").arg(names.last()));
            QVERIFY(undo->isEnabled());
            QVERIFY(!redo->isEnabled());
        }
        QCOMPARE(boxes.seen.size(), 1); // the optimizer's summary

        // Back to the start with Ctrl+Z, forward with both redo keys in turn.
        program.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program.window));
        for (qsizetype k = designs.size() - 1; k > 0; --k) {
            QTest::keyClick(&program.window, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(exactDesign(document.lens()), designs[k - 1]);
            QCOMPARE(document.isModified(), k - 1 != saved);
            QCOMPARE(redo->text(), QString::fromUtf8("やり直し: %1(&R)").arg(names[k]));
        }
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QString::fromUtf8("元に戻す(&U)"));
        QCOMPARE(surfaceCount(document.lens().surfaces), 0);
        for (qsizetype k = 1; k < designs.size(); ++k) {
            if (k % 2 == 0) {
                QTest::keyClick(&program.window, Qt::Key_Y, Qt::ControlModifier);
            } else {
                QTest::keyClick(&program.window, Qt::Key_Z,
                                Qt::ControlModifier | Qt::ShiftModifier);
            }
            QCOMPARE(exactDesign(document.lens()), designs[k]);
            QCOMPARE(document.isModified(), k != saved);
        }
        QVERIFY(!redo->isEnabled());
        QCOMPARE(redo->text(), QString::fromUtf8("やり直し(&R)"));
        QVERIFY(program.showsFittedDesign());
    }

    void unsavedWorkIsSettledBeforeOpenCloseAndExit() {
        QTemporaryDir dir;
        Program program;
        program.document.applyDescription("edited", {});
        Files files;
        BoxRecorder boxes;

        boxes.answers = {QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Cancel};
        program.run(MenuId::Open);
        QCOMPARE(files.seen.size(), 0); // cancelled before the dialog
        QVERIFY(!program.window.close());
        QVERIFY(program.window.isVisible());
        program.run(MenuId::Exit);
        QVERIFY(program.window.isVisible());
        QCOMPARE(boxes.seen.size(), 3);
        QVERIFY(boxes.seen[0].buttons.testFlag(QMessageBox::Discard));

        // Save first, then the file to open.
        boxes.answers = {QMessageBox::Save};
        files.answers = {dir.filePath(QStringLiteral("kept")), examplePath("newtonian-200-f5.OPT")};
        program.run(MenuId::Open);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("kept.OPT"))));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);

        // Unmodified: nothing to ask.
        boxes.seen.clear();
        QVERIFY(program.window.close());
        QCOMPARE(boxes.seen.size(), 0);

        program.window.show();
        program.document.applyDescription("edited again", {});
        boxes.answers = {QMessageBox::Discard};
        program.run(MenuId::Exit);
        QVERIFY(!program.window.isVisible());
    }

    void saveNamesFollowTheRules_data() {
        QTest::addColumn<QString>("proposed"); // before Save
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        // Paths below are inside the test's folder, written as "@/".
        const auto row = [](const char* name, const char* proposed, const char* offered,
                            const char* chosen, const char* written) {
            QTest::newRow(name) << proposed << offered << chosen << written;
        };
        row("first save", "*", "*.OPT", "@/plan", "@/plan.OPT");
        row("extension in another case", "*", "*.OPT", "@/plan.oPt", "@/plan.oPt");
        row("another extension is kept", "*", "*.OPT", "@/plan.op", "@/plan.op.OPT");
        row("cut at the file name's first dot", "@/plan.op.x", "@/plan.OPT", "@/plan.OPT",
            "@/plan.OPT");
        row("a dot in a folder name stays", "@/v1.2/plan.op", "@/v1.2/plan.OPT", "@/v1.2/plan",
            "@/v1.2/plan.OPT");
    }

    void saveNamesFollowTheRules() {
        QFETCH(QString, proposed);
        QFETCH(QString, offered);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("v1.2")));
        const auto inDir = [&dir](QString path) {
            return path.replace(QStringLiteral("@"), dir.path());
        };
        Program program;
        program.document.setProposedSaveName(inDir(proposed));
        Files files;
        files.answers = {inDir(chosen)};
        BoxRecorder boxes;
        program.run(MenuId::Save);
        QCOMPARE(files.seen.size(), 1);
        QCOMPARE(files.seen[0].title, QStringLiteral("SAVE"));
        QCOMPARE(files.seen[0].proposedName, inDir(offered));
        QCOMPARE(boxes.seen.size(), 0);
        QVERIFY(QFile::exists(inDir(written)));
        QCOMPARE(program.document.proposedSaveName(), inDir(chosen));
    }

    void saveAsOffersNoNameAndTheCommandLineProposesTheFilesOwn() {
        QTemporaryDir dir;
        const QString spaced = dir.filePath(QStringLiteral("my design.v2.OPT"));
        QVERIFY(QFile::copy(examplePath("newtonian-200-f5.OPT"), spaced));
        Program program;
        openCommandLine(&program.window, program.document,
                        QLatin1Char('"') + spaced + QStringLiteral("\" ignored"));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        QCOMPARE(program.view().scale, program.view().fitScale);
        Files files;
        program.run(MenuId::Save);
        program.run(MenuId::SaveAs);
        QCOMPARE(files.seen.size(), 2);
        QCOMPARE(files.seen[0].proposedName, QStringLiteral("my design.OPT"));
        QCOMPARE(files.seen[0].folder, dir.path());
        QCOMPARE(files.seen[1].proposedName, QStringLiteral("*.OPT"));
        QCOMPARE(program.document.proposedSaveName(), QStringLiteral("*.OPT"));
    }

    void anExistingFileIsOverwrittenOnlyWhenTheUserSaysSo() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.OPT"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        Files files;
        files.answers = {dir.filePath(QStringLiteral("old")), dir.filePath(QStringLiteral("old"))};
        BoxRecorder boxes;
        boxes.answers = {QMessageBox::Cancel, QMessageBox::Ok};

        program.run(MenuId::Save);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Caution !"));
        QCOMPARE(boxes.seen[0].text,
                 QLatin1Char('"') + path +
                     QStringLiteral("\" already exist.\n Do you overwrite file ?"));
        QCOMPARE(fileBytes(path), QByteArray("keep me"));

        program.run(MenuId::Save);
        QVERIFY(fileBytes(path).startsWith("ver100\r\n200mm f/5 Newtonian\r\n"));
    }

    void informationShowsTheFirstOrderDataOfADesignInUse() {
        Program program;
        BoxRecorder boxes;
        program.run(MenuId::Information);
        QCOMPARE(boxes.seen.size(), 0); // nothing for the empty design

        QVERIFY(test::openFile(program.document, examplePath("spherical-mirror-r200.OPT")));
        program.run(MenuId::Information);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Information"));
        QCOMPARE(boxes.seen[0].icon, QMessageBox::NoIcon);
        // Twice the aperture radius: the mirror's clear diameter of 50 mm.
        QVERIFY(boxes.seen[0].text.contains(QString::fromUtf8("有効径:50.000000")));
    }

    void helpOpensTheGuideOrSaysWhereToFindItAndAboutShowsTheVersion() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        Program program;
        BoxRecorder boxes;
        program.run(MenuId::Help); // no guide here, nor beside the test
        QVERIFY(program.window.findChild<HelpWindow*>() == nullptr);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("help")));
        QFile guide(dir.filePath(QStringLiteral("help/kiro.htm")));
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.write("<html><body><h1>KIRO</h1></body></html>");
        guide.close();
        program.run(MenuId::Help);
        program.run(MenuId::About);
        QVERIFY(QDir::setCurrent(previous));

        // The guide in the program's own window, which a second Help shows again.
        const QList<HelpWindow*> windows = program.window.findChildren<HelpWindow*>();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible());
        QVERIFY(windows[0]->browser()->source().toLocalFile().endsWith(
            QStringLiteral("/help/kiro.htm")));
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("About VEMA !"));
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Information);
        const QStringList lines = boxes.seen[0].text.split(u'\n');
        QCOMPARE(lines.mid(0, 4).join(u'\n'),
                 QString::fromUtf8("ファイルを表示できませんでした。\nKIROをインストールしたフォル"
                                   "ダの\"kiro.htm\"をご覧下さい。\n\n探した場所:"));
        QVERIFY(lines.contains(dir.filePath(QStringLiteral("kiro.htm"))));
        QVERIFY(lines.contains(dir.filePath(QStringLiteral("help/kiro.htm"))));
        QCOMPARE(boxes.seen[1].title, QStringLiteral("About KIRO !"));
        QVERIFY(boxes.seen[1].text.startsWith(QStringLiteral("         KIRO Ver.1.21\n")));
    }

    void smallDialogsOpenFromTheirCommands() {
        Program program;
        // No aperture in the empty design: no dialog.
        QCOMPARE(dialogsOpenedBy(program, {MenuId::ApertureChange}), QStringList());
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        QCOMPARE(dialogsOpenedBy(program,
                                 {MenuId::ApertureChange, MenuId::Description, MenuId::Settings}),
                 QStringList({"RESIZE", "ABST", "CONF"}));
        QVERIFY(!program.document.isModified());
    }

    // Spot (201), curves (202) and light (204) look at the first row only: a table that
    // begins with an unused row is no design, whatever rows follow it.
    void analysisDialogsOpenOnlyWhileTheFirstRowIsInUse() {
        Program program;
        const std::initializer_list<MenuId> analyses{MenuId::SpotDiagram, MenuId::AberrationCurves,
                                                     MenuId::LightAmount};
        QCOMPARE(dialogsOpenedBy(program, analyses), QStringList());
        SurfaceTable table = test::loadExample(QStringLiteral("newtonian-200-f5.OPT")).surfaces;
        table[0].type = SurfaceType::End;
        program.document.applyTable(table, ViewFit::Refit, {});
        QCOMPARE(dialogsOpenedBy(program, analyses), QStringList());
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        QCOMPARE(dialogsOpenedBy(program, analyses), QStringList({"SPOT", "ERR", "BRIGHT"}));
        QVERIFY(!program.document.isModified());
    }

    void lensEditorRefitsTheViewAfterCancelAndAfterOk() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("designed/doublet-100-f9.OPT")));
        const QByteArray opened = test::savedBytes(program.document);

        program.zoomIn();
        QVERIFY(!program.showsFittedDesign());
        ModalDriver cancel(QStringLiteral("LENS"), [](QWidget* editor) {
            control<QPushButton>(editor, 2)->click();
            return true;
        });
        program.run(MenuId::LensData);
        QVERIFY(program.showsFittedDesign());
        QCOMPARE(test::savedBytes(program.document), opened);
        QVERIFY(!program.document.isModified());

        // A longer spacing before the focal plane: the fit is the new design's.
        program.zoomIn();
        ModalDriver ok(QStringLiteral("LENS"), [](QWidget* editor) {
            QLineEdit* spacing = control<QLineEdit>(editor, 138);
            spacing->selectAll();
            QTest::keyClicks(spacing, QStringLiteral("1200"));
            pressOk(editor);
            return true;
        });
        program.run(MenuId::LensData);
        QCOMPARE(program.document.lens().surfaces[4].z, -24.5 - 1200.0);
        QVERIFY(program.showsFittedDesign());
        QVERIFY(program.document.isModified());
    }

    // After OK the design is kiro-cli's for the same inputs (built, then refocused twice at
    // the reference line) and the view is fitted to it; Cancel changes nothing.
    void designersRefocusAtTheReferenceLineAndFitTheView() {
        Program program;
        QVERIFY(test::openFile(program.document, examplePath("newtonian-200-f5.OPT")));
        const QByteArray opened = test::savedBytes(program.document);
        program.zoomIn();
        const LayoutView zoomed = program.view();
        {
            ModalDriver cancel(QStringLiteral("DESIGN1"), [](QWidget* designer) {
                control<QComboBox>(designer, 101)
                    ->setCurrentIndex(listPosition(ReflectorType::Cassegrain));
                control<QPushButton>(designer, 2)->click();
                return true;
            });
            program.run(MenuId::ReflectorDesign);
        }
        QCOMPARE(test::savedBytes(program.document), opened);
        QCOMPARE(program.view().scale, zoomed.scale);

        const Document& document = program.document;
        {
            ModalDriver ok(QStringLiteral("DESIGN1"), [&document](QWidget* designer) {
                control<QComboBox>(designer, 101)
                    ->setCurrentIndex(listPosition(ReflectorType::SchmidtCassegrain));
                selectGlass(designer, 104, document, "N-BK7");
                control<QLineEdit>(designer, 103)->setText(QStringLiteral("10"));
                control<QRadioButton>(designer, 107)->click(); // e
                pressOk(designer);
                return true;
            });
            program.run(MenuId::ReflectorDesign);
        }
        QCOMPARE(document.referenceLine(), WavelengthLine::e);
        QCOMPARE(test::savedBytes(document),
                 test::cliDesignFile({"design", "reflector", "--type", "schmidt-cassegrain",
                                      "--aperture", "200", "--fnum", "10", "--glass", "N-BK7",
                                      "--line", "e"}));
        QVERIFY(program.showsFittedDesign());

        program.zoomIn();
        {
            ModalDriver ok(QStringLiteral("DESIGN2"), [&document](QWidget* designer) {
                control<QComboBox>(designer, 101)
                    ->setCurrentIndex(listPosition(RefractorType::Doublet));
                selectGlass(designer, 104, document, "N-BK7");
                selectGlass(designer, 105, document, "N-F2");
                control<QRadioButton>(designer, 113)->click(); // F
                pressOk(designer);
                return true;
            });
            program.run(MenuId::RefractorDesign);
        }
        QCOMPARE(document.referenceLine(), WavelengthLine::F);
        QCOMPARE(test::savedBytes(document),
                 test::cliDesignFile({"design", "refractor", "--type", "doublet", "--aperture",
                                      "100", "--fnum", "9", "--glass1", "N-BK7", "--glass2", "N-F2",
                                      "--line", "F"}));
        QVERIFY(program.showsFittedDesign());
    }

    void optimizeRunsThePassesAndRepaintsWithoutRefitting() {
        Program program;
        const QString doublet = examplePath("designed/doublet-100-f9.OPT");
        QVERIFY(test::openFile(program.document, doublet));
        program.zoomIn();
        const LayoutView zoomed = program.view();
        QSignalSpy painted(program.window.layoutWidget(), &LayoutWidget::painted);
        ModalDriver ok(QStringLiteral("OPTMIZE"), [](QWidget* optimizer) {
            pressOk(optimizer);
            return true;
        });
        BoxRecorder boxes; // the summary
        program.run(MenuId::Optimize);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(test::savedBytes(program.document), test::cliDesignFile({"optimize", doublet}));
        QVERIFY(program.document.isModified());
        painted.clear();
        QVERIFY(painted.wait());
        QCOMPARE(program.view().scale, zoomed.scale);
        QCOMPARE(program.view().originX, zoomed.originX);
        QCOMPARE(program.view().originY, zoomed.originY);
    }

    // The guide's worked examples from the menus: a 200 mm f/10 Schmidt-Cassegrain and a
    // 100 mm f/9 doublet, optimized, each saved; kiro-cli reads back the design the program
    // holds and shows the same first-order data.
    void designsMadeAndSavedFromTheMenusReadBackInKiroCli() {
        QTemporaryDir dir;
        Program program;
        Document& document = program.document;
        Files files;
        BoxRecorder boxes;
        const auto saveAndCompare = [&](const QString& name) {
            // Neither question nor error on the way; an optimization's summary only.
            const bool optimized = !boxes.seen.isEmpty() && boxes.seen.constFirst().title ==
                                                                OptimizerProgressDialog::title();
            QCOMPARE(boxes.seen.size(), optimized ? 1 : 0);
            boxes.seen.clear();
            files.answers = {dir.filePath(name)};
            program.run(MenuId::Save);
            const QString path = dir.filePath(name + QStringLiteral(".OPT"));
            QVERIFY(QFile::exists(path));
            QVERIFY(!document.isModified());

            const test::CliRun show = test::runKiroCli({QStringLiteral("show"), path});
            QCOMPARE(show.exitCode, 0);
            QCOMPARE(show.out, shownTable(document.lens()));

            // The file keeps 6 significant digits: the program's own numbers for the design
            // it reads back are kiro-cli's.
            files.answers = {path};
            program.run(MenuId::Open);
            program.run(MenuId::Information);
            QCOMPARE(boxes.seen.size(), 1);
            const QString information = boxes.seen.takeFirst().text;
            const test::CliRun info = test::runKiroCli({QStringLiteral("info"), path});
            QCOMPARE(info.exitCode, 0);
            QCOMPARE(info.out, information.toUtf8() + '\n');
        };

        {
            ModalDriver designer(QStringLiteral("DESIGN1"), [&document](QWidget* dialog) {
                control<QComboBox>(dialog, 101)
                    ->setCurrentIndex(listPosition(ReflectorType::SchmidtCassegrain));
                control<QLineEdit>(dialog, 103)->setText(QStringLiteral("10"));
                control<QLineEdit>(dialog, 121)->setText(QStringLiteral("150"));
                selectGlass(dialog, 104, document, "N-BK7");
                pressOk(dialog);
                return true;
            });
            program.run(MenuId::ReflectorDesign);
        }
        QVERIFY(surfaceCount(document.lens().surfaces) > 0);
        saveAndCompare(QStringLiteral("sct"));

        {
            ModalDriver designer(QStringLiteral("DESIGN2"), [&document](QWidget* dialog) {
                control<QComboBox>(dialog, 101)
                    ->setCurrentIndex(listPosition(RefractorType::Doublet));
                selectGlass(dialog, 104, document, "N-BK7");
                selectGlass(dialog, 105, document, "F2");
                pressOk(dialog);
                return true;
            });
            program.run(MenuId::RefractorDesign);
        }
        const QByteArray designed = test::savedBytes(document);
        {
            ModalDriver optimizer(QStringLiteral("OPTMIZE"), [](QWidget* dialog) {
                control<QCheckBox>(dialog, 112)->click(); // C joins d and F
                pressOk(dialog);
                return true;
            });
            program.run(MenuId::Optimize);
        }
        QVERIFY(test::savedBytes(document) != designed);
        saveAndCompare(QStringLiteral("doublet"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
