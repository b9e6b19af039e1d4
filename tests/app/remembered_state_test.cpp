#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "app/dialogs/description_dialog.h"
#include "app/dialogs/spot_dialog.h"
#include "app/document.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/remembered_state.h"
#include "tests/app/shell_test_support.h"

// What the program keeps between runs, in a temporary settings file: each "run" is a new
// window and document on the store read again from the file.

using namespace kiro;
using namespace kiro::app;
using kiro::test::BoxRecorder;
using kiro::test::examplePath;

namespace {

// A run of the program on the kept state: the store read from the file, the document's
// inputs recalled, the window made; at its end the window closes and the inputs are kept.
struct Run {
    Document document;
    std::unique_ptr<MainWindow> window;
    explicit Run(const QString& stateFile) {
        useRememberedStateFile(stateFile);
        test::prepareDocument(document);
        recallDocumentState(document);
        window = std::make_unique<MainWindow>(document);
        window->show();
    }
    ~Run() {
        document.markSaved(); // closes without the unsaved-work question
        window->close();
        rememberDocumentState(document);
    }
    QStringList recentEntries() const {
        QStringList texts;
        for (const QAction* action : window->recentFiles()->actions()) {
            texts << action->text();
        }
        return texts;
    }
};

} // namespace

class RememberedStateTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void recentFilesAreKeptAcrossRunsAndAMissingOneIsRemoved() {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("kiro.ini"));
        QStringList paths;
        for (int i = 1; i <= kRecentFileCount + 1; ++i) {
            paths << dir.filePath(QStringLiteral("design%1.OPT").arg(i));
            QVERIFY(QFile::copy(examplePath("newtonian-200-f5.OPT"), paths.last()));
        }
        {
            Run first(state);
            for (const QString& path : paths) {
                QVERIFY(test::openFile(first.document, path));
            }
            // Opened again, and saved under a new name: each goes to the top once.
            QVERIFY(test::openFile(first.document, paths[3]));
            QVERIFY(first.document.save(dir.filePath(QStringLiteral("saved.OPT"))).written());
        }
        Run second(state);
        QCOMPARE(
            second.recentEntries(),
            QStringList({"&1 saved.OPT", "&2 design4.OPT", "&3 design9.OPT", "&4 design8.OPT",
                         "&5 design7.OPT", "&6 design6.OPT", "&7 design5.OPT", "&8 design3.OPT"}));

        // A file gone since: a message, and the entry leaves the list; the design stays.
        QVERIFY(QFile::remove(paths[7]));
        BoxRecorder boxes;
        second.window->recentFiles()->actions().at(3)->trigger();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Caution !"));
        QVERIFY(boxes.seen[0].text.contains(paths[7]));
        QCOMPARE(second.recentEntries().size(), kRecentFileCount - 1);
        QVERIFY(!second.recentEntries().join(u' ').contains(QStringLiteral("design8")));
        QCOMPARE(second.document.filePath(), QString());

        // An entry that is there opens its design.
        second.window->recentFiles()->actions().at(1)->trigger();
        QCOMPARE(second.document.filePath(), paths[3]);
    }

    void inputsAndWindowsAreRestoredAndTheDefaultsForgetThem() {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("kiro.ini"));
        const QSize windowSize(812, 533);
        QSize dialogSize;
        {
            Run first(state);
            keepDialogGeometries();
            OptimizerSettings optimizer;
            optimizer.changeRangePercent = 2.0;
            optimizer.minimiseOsc = true;
            first.document.setOptimizerSettings(optimizer);
            ReflectorInputs reflector;
            reflector.type = ReflectorType::Cassegrain;
            reflector.aperture = 150.0;
            first.document.setReflectorInputs(reflector);
            RefractorInputs refractor;
            refractor.thickness1 = 7.5;
            first.document.setRefractorInputs(refractor);
            Settings settings = first.document.lens().settings;
            settings.rayCount = 3;
            settings.spotGridPoints = 80;
            first.document.applySettings(settings, {});
            first.document.setDesignFolder(dir.path());
            first.window->resize(windowSize);

            DescriptionDialog dialog(first.document);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.resize(dialog.size() + QSize(90, 0));
            dialogSize = dialog.size();
            dialog.hide();
        }
        {
            Run second(state);
            QCOMPARE(second.window->size(), windowSize);
            QCOMPARE(second.document.optimizerSettings().changeRangePercent, 2.0);
            QVERIFY(second.document.optimizerSettings().minimiseOsc);
            QCOMPARE(second.document.reflectorInputs().type, ReflectorType::Cassegrain);
            QCOMPARE(second.document.reflectorInputs().aperture, 150.0);
            QCOMPARE(second.document.refractorInputs().thickness1, 7.5);
            QCOMPARE(second.document.lens().settings.rayCount, 3);
            QCOMPARE(second.document.lens().settings.spotGridPoints, 80);
            QCOMPARE(second.document.designFolder(), dir.path());
            QVERIFY(!second.document.isModified()); // the kept settings are no step

            DescriptionDialog dialog(second.document);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(dialog.size(), dialogSize);
            dialog.hide();

            // A design file still resets what a read resets: the source at infinity.
            QVERIFY(test::openFile(second.document, examplePath("newtonian-200-f5.OPT")));
            QCOMPARE(second.document.lens().settings.sourceMode, SourceMode::Infinity);
        }
        // Starting from the defaults (kiro --defaults) forgets it all.
        useRememberedStateFile(state);
        forgetRememberedState();
        Run third(state);
        QCOMPARE(third.window->size(), QSize(630, 440));
        QCOMPARE(third.document.optimizerSettings().changeRangePercent,
                 OptimizerSettings{}.changeRangePercent);
        QCOMPARE(third.document.reflectorInputs().type, ReflectorInputs{}.type);
        QCOMPARE(third.document.lens().settings.rayCount, Document().lens().settings.rayCount);
        QVERIFY(third.window->recentFiles()->actions().isEmpty());
    }

    // The spot diagram's lines and magnification come back in the next run; the Airy disks
    // do not, and a damaged value leaves its control as the dialog opens it.
    void analysisChoicesAreKeptAcrossRuns() {
        constexpr int kFirstLineBox = 101;
        constexpr int kScrollBar = 107;
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("kiro.ini"));
        keepAnalysisChoices();
        const LensSystem lens = test::loadExample(QStringLiteral("newtonian-200-f5.OPT"));
        {
            Run first(state);
            SpotDialog dialog(lens);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            test::control<QCheckBox>(&dialog, kFirstLineBox + 1)->setChecked(false);
            test::control<QCheckBox>(&dialog, kFirstLineBox + 4)->setChecked(false);
            test::control<QScrollBar>(&dialog, kScrollBar)->setValue(40);
            dialog.findChild<QCheckBox*>(QStringLiteral("airy"))->setChecked(true);
            dialog.hide();
        }
        {
            Run second(state);
            SpotDialog dialog(lens);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const std::array<int, 6> shown{1, 0, 1, 1, 0, 1};
            QCOMPARE(dialog.state().spotLineShown, shown);
            QCOMPARE(dialog.state().spotScrollPos, 40);
            QCOMPARE(dialog.state().spotMagnification, spotMagnificationForScroll(40));
            QVERIFY(!dialog.state().spotAiryShown);
            dialog.hide();
            rememberedState().setValue(QStringLiteral("analysis/SPOT/%1").arg(kScrollBar), 500);
        }
        {
            Run third(state);
            SpotDialog dialog(lens);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(dialog.state().spotScrollPos, SpotDialogState{}.spotScrollPos);
            QCOMPARE(dialog.state().spotLineShown[1], 0);
            dialog.hide();
        }
    }
};

QTEST_MAIN(RememberedStateTest)
#include "remembered_state_test.moc"
