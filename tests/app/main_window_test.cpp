#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/document.h"
#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/layout_widget.h"
#include "app/main_window.h"
#include "app/message_boxes.h"

using namespace kiro;
using namespace kiro::app;

namespace {

QString example(const char* name) {
    return QStringLiteral(KIRO_SOURCE_DIR "/examples/") + QLatin1String(name);
}

// Answers the boxes in turn (OK once the answers run out) and keeps what they said.
struct Boxes {
    QList<BoxRequest> seen;
    QList<QMessageBox::StandardButton> answers;
    Boxes() {
        setBoxAnswerer([this](const BoxRequest& request) {
            seen.append(request);
            return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
        });
    }
    ~Boxes() { setBoxAnswerer({}); }
};

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
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void run(int id) {
        QAction* action = window.findChild<QAction*>(QString::number(id));
        QVERIFY2(action != nullptr, qPrintable(QString::number(id)));
        action->trigger();
    }
    const LayoutView& view() const { return window.layoutWidget()->view(); }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // Closing a test's window must not end the application.
        QApplication::setQuitOnLastWindowClosed(false);
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
                              "104 名前を付けて保存(&A), -, 105 終了(&X)\n"
                              "表示(&D): 201 スポットダイヤグラム(&S), 202 収差曲線(&E), "
                              "203 情報表示(&I), 204 光量(&L)\n"
                              "301 レンズ設定(&L)\n"
                              "401 口径変更(&R)\n"
                              "501 説明入力(&A)\n"
                              "自動設計(&T): 701 屈折望遠鏡設計(&K), "
                              "702 反射望遠鏡設計(&H), -, 703 最適化(&O)\n"
                              "601 各種設定(&C)\n"
                              "ヘルプ(&H): 901 ヘルプ(&H), 902 バージョン(&A)"));
    }

    void windowIsTitledKiroUntilItsFirstPaintThenFollowsTheDescription() {
        Document document;
        document.setDescription("\xe6\x9c\x9b\xe9\x81\xa0\xe9\x8f\xa1"); // 望遠鏡
        MainWindow window(document);
        QCOMPARE(window.size(), QSize(630, 440));
        QCOMPARE(window.windowTitle(), QStringLiteral("KIRO"));
        QCOMPARE(window.layoutWidget()->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(window.layoutWidget()->contextMenuPolicy(), Qt::PreventContextMenu);
        QSignalSpy painted(&window, &MainWindow::firstPainted);
        window.show();
        QVERIFY(painted.wait());
        QCOMPARE(window.windowTitle(), QString::fromUtf8("望遠鏡"));
        document.setDescription("Newtonian");
        QCOMPARE(window.windowTitle(), QStringLiteral("Newtonian"));
    }

    void viewIsTheImageOfKiroCliRenderLayout_data() {
        QTest::addColumn<QString>("design");
        QTest::newRow("newtonian") << example("newtonian-200-f5.OPT");
        QTest::newRow("schmidt-cassegrain") << example("designed/schmidt-cassegrain-200-f10.OPT");
        QTest::newRow("doublet") << example("designed/doublet-100-f9.OPT");
    }

    void viewIsTheImageOfKiroCliRenderLayout() {
        QFETCH(QString, design);
        Program program;
        QVERIFY(program.document.open(design));
        LayoutWidget* view = program.window.layoutWidget();
        program.window.resize(program.window.size() - view->size() + QSize(630, 400));
        QTRY_COMPARE(view->size(), QSize(630, 400));

        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("layout.png"));
        QProcess cli;
        cli.start(QStringLiteral(KIRO_CLI), {QStringLiteral("render"), QStringLiteral("layout"),
                                             design, QStringLiteral("-o"), png});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);

        const QImage expected = QImage(png).convertToFormat(QImage::Format_RGB32);
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(630, 400));
        QVERIFY(shown == expected);
    }

    void clicksZoomAboutThePointerAndResizeRefits() {
        Program program;
        QVERIFY(program.document.open(example("newtonian-200-f5.OPT")));
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

    void newAsksFirstThenEmptiesTheDesignKeepingSettingsZoomAndName() {
        Program program;
        QVERIFY(program.document.open(example("newtonian-200-f5.OPT")));
        Settings settings = program.document.lens().settings;
        settings.rayCount = 5;
        program.document.setSettings(settings);
        QTest::mouseClick(program.window.layoutWidget(), Qt::LeftButton, {}, QPoint(100, 100));
        const double zoomed = program.view().scale;

        Boxes boxes;
        boxes.answers = {QMessageBox::Cancel, QMessageBox::Ok};
        program.run(MenuId::New);
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        program.run(MenuId::New);
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Caution !"));
        QCOMPARE(boxes.seen[0].text,
                 QString::fromUtf8("現在のデータが消去されますが、良いですか？"));

        QCOMPARE(surfaceCount(program.document.lens().surfaces), 0);
        QCOMPARE(program.document.lens().settings.rayCount, 5);
        QCOMPARE(program.view().scale, zoomed);
        QCOMPARE(program.window.windowTitle(), QString());
        QCOMPARE(program.document.proposedSaveName(), example("newtonian-200-f5.OPT"));
        QVERIFY(!program.document.isModified());
    }

    void openReadsTheChosenFileRefitsAndProposesItsPath() {
        Program program;
        QVERIFY(program.document.open(example("spherical-mirror-r200.OPT")));
        QTest::mouseClick(program.window.layoutWidget(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(program.view().scale != program.view().fitScale);
        Files files;
        files.answers = {example("newtonian-200-f5.OPT")};
        program.run(MenuId::Open);
        QCOMPARE(files.seen.size(), 1);
        QCOMPARE(files.seen[0].title, QStringLiteral("LOAD"));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);
        QCOMPARE(program.view().scale, program.view().fitScale);
        QCOMPARE(program.document.proposedSaveName(), example("newtonian-200-f5.OPT"));
        QCOMPARE(program.window.windowTitle(), QStringLiteral("200mm f/5 Newtonian"));
        QVERIFY(!program.document.isModified());
    }

    void failedOpenAndSaveShowTheErrorAndChangeNothing() {
        Program program;
        QVERIFY(program.document.open(example("spherical-mirror-r200.OPT")));
        program.document.setDescription("unsaved");
        Files files;
        files.answers = {QStringLiteral("/nonexistent/plan.OPT"),
                         QStringLiteral("/nonexistent/folder/plan")};
        Boxes boxes;
        boxes.answers = {QMessageBox::Discard};
        program.run(MenuId::Open);
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 2);
        QCOMPARE(program.document.proposedSaveName(), example("spherical-mirror-r200.OPT"));
        program.run(MenuId::Save);
        QCOMPARE(program.document.proposedSaveName(), example("spherical-mirror-r200.OPT"));
        QVERIFY(program.document.isModified());

        QCOMPARE(boxes.seen.size(), 3); // the unsaved-work question, then the two errors
        QCOMPARE(boxes.seen[1].title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen[1].text.contains(QStringLiteral("\"/nonexistent/plan.OPT\"")));
        QCOMPARE(boxes.seen[2].title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen[2].text.contains(QStringLiteral("\"/nonexistent/folder/plan.OPT\"")));
    }

    void unsavedWorkIsSettledBeforeOpenCloseAndExit() {
        QTemporaryDir dir;
        Program program;
        program.document.setDescription("edited");
        Files files;
        Boxes boxes;

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
        files.answers = {dir.filePath(QStringLiteral("kept")), example("newtonian-200-f5.OPT")};
        program.run(MenuId::Open);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("kept.OPT"))));
        QCOMPARE(surfaceCount(program.document.lens().surfaces), 5);

        // Unmodified: nothing to ask.
        boxes.seen.clear();
        QVERIFY(program.window.close());
        QCOMPARE(boxes.seen.size(), 0);

        program.window.show();
        program.document.setDescription("edited again");
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
        Boxes boxes;
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
        QVERIFY(QFile::copy(example("newtonian-200-f5.OPT"), spaced));
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
        QVERIFY(program.document.open(example("newtonian-200-f5.OPT")));
        Files files;
        files.answers = {dir.filePath(QStringLiteral("old")), dir.filePath(QStringLiteral("old"))};
        Boxes boxes;
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
        Boxes boxes;
        program.run(MenuId::Information);
        QCOMPARE(boxes.seen.size(), 0); // nothing for the empty design

        QVERIFY(program.document.open(example("spherical-mirror-r200.OPT")));
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
        Boxes boxes;
        program.run(MenuId::Help); // no guide here, nor beside the test
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("help")));
        QFile guide(dir.filePath(QStringLiteral("help/kiro.htm")));
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openedUrl");
        program.run(MenuId::Help);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        program.run(MenuId::About);
        QVERIFY(QDir::setCurrent(previous));

        QVERIFY(opened_.isLocalFile());
        QVERIFY(opened_.toLocalFile().endsWith(QStringLiteral("/help/kiro.htm")));
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("About VEMA !"));
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Information);
        QCOMPARE(boxes.seen[0].text,
                 QString::fromUtf8("ファイルを表示できませんでした。\nKIROをインストールしたフォル"
                                   "ダの\"kiro.htm\"をご覧下さい。"));
        QCOMPARE(boxes.seen[1].title, QStringLiteral("About KIRO !"));
        QVERIFY(boxes.seen[1].text.startsWith(QStringLiteral("         KIRO Ver.1.21\n")));
    }

    void smallDialogsOpenFromTheirCommands() {
        Program program;
        QStringList opened;
        const auto closeNextDialog = [&opened] {
            QTimer::singleShot(0, [&opened] {
                QWidget* dialog = QApplication::activeModalWidget();
                opened << (dialog != nullptr ? dialog->objectName() : QStringLiteral("none"));
                if (auto* d = qobject_cast<QDialog*>(dialog)) {
                    d->reject();
                }
            });
        };
        program.run(MenuId::ApertureChange); // no aperture in the empty design: no dialog
        QVERIFY(program.document.open(example("newtonian-200-f5.OPT")));
        for (int id : {MenuId::ApertureChange, MenuId::Description, MenuId::Settings}) {
            closeNextDialog();
            program.run(id);
        }
        QCOMPARE(opened, QStringList({"RESIZE", "ABST", "CONF"}));
        QVERIFY(!program.document.isModified());
    }

  public slots:
    // The desktop's handler of file links, while the help test runs.
    void openedUrl(const QUrl& url) { opened_ = url; }

  private:
    QUrl opened_;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
