#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "app/dialogs/fan_dialog.h"
#include "app/dialogs/field_dialog.h"
#include "app/dialogs/seidel_dialog.h"
#include "app/document.h"
#include "app/main_window.h"
#include "presenters/seidel_table.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

constexpr int kScaleBar = 101;
constexpr int kFirstLineBox = 102;
constexpr int kFirstHeightEdit = 108;
constexpr int kDistortionBar = 108;

} // namespace

// The ray fans, field curves and Seidel sums of the View menu: each opens on the design,
// draws what kiro-cli renders for the same choices, and the Seidel table copies as text.
class AberrationDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void viewMenuOpensEachOnTheDesign() {
        Document document;
        prepareDocument(document, QStringLiteral("designed/doublet-100-f9.OPT"));
        MainWindow window(document);
        for (const auto& [id, name] :
             {std::pair{MenuId::RayFans, "FANS"}, std::pair{MenuId::FieldCurves, "FIELD"},
              std::pair{MenuId::SeidelSums, "SEIDEL"}}) {
            QString opened;
            QTimer::singleShot(0, &window, [&opened] {
                QWidget* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                opened = dialog->objectName();
                qobject_cast<QDialog*>(dialog)->accept();
            });
            window.findChild<QAction*>(commandObjectName(id))->trigger();
            QCOMPARE(opened, QLatin1String(name));
        }
    }

    void fansDrawWhatKiroCliRenders() {
        const QString design = QStringLiteral("designed/schmidt-camera-200-f2.OPT");
        FanDialog dialog(loadExample(design));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(grabView(dialog), renderWithCli(QStringLiteral("fans"), design, {}));

        control<QCheckBox>(&dialog, kFirstLineBox)->click(); // C off
        control<QLineEdit>(&dialog, kFirstHeightEdit + 1)->setText(QStringLiteral("7.5"));
        control<QScrollBar>(&dialog, kScaleBar)->setValue(60);
        QCOMPARE(dialog.state().heights[1], 7.5);
        const QImage expected = renderWithCli(
            QStringLiteral("fans"), design,
            {QStringLiteral("--lines"), QStringLiteral("d,e,F,g,h"), QStringLiteral("--heights"),
             QStringLiteral("0,7.5,") + QString::number(dialog.state().heights[2]),
             QStringLiteral("--scroll"), QStringLiteral("60")});
        QCOMPARE(grabView(dialog), expected);
    }

    void fieldDrawsWhatKiroCliRendersAndItsScalesMove() {
        const QString design = QStringLiteral("designed/doublet-flattener-102-f7.OPT");
        FieldDialog dialog(loadExample(design));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(grabView(dialog), renderWithCli(QStringLiteral("field"), design, {}));
        control<QScrollBar>(&dialog, kScaleBar)->setValue(30);
        QCOMPARE(grabView(dialog),
                 renderWithCli(QStringLiteral("field"), design,
                               {QStringLiteral("--scroll"), QStringLiteral("30")}));
        auto* distortion = control<QScrollBar>(&dialog, kDistortionBar);
        QCOMPARE(distortion->maximum(), static_cast<int>(kDistortionScales.size()) - 1);
        const QImage before = grabView(dialog);
        distortion->setValue(distortion->value() + 3);
        QVERIFY(grabView(dialog) != before);
    }

    void seidelTableShowsEveryRowAndCopiesAsText() {
        const LensSystem lens = loadExample(QStringLiteral("designed/cassegrain-200-f10.OPT"));
        SeidelDialog dialog(lens);
        QVERIFY(dialog.sums().valid);
        QCOMPARE(dialog.table()->rowCount(), surfaceCount(lens.surfaces) + 1);
        QCOMPARE(dialog.table()->columnCount(), 7);
        auto* copy = dialog.findChild<QPushButton*>(QStringLiteral("copy"));
        QVERIFY(copy != nullptr && copy->isEnabled());
        copy->click();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromStdString(seidelTableText(seidelSums(lens.surfaces, lens.settings))));
        // The same sums as kiro-cli's records.
        const CliRun run =
            runKiroCli({QStringLiteral("seidel"),
                        examplePath(QStringLiteral("designed/cassegrain-200-f10.OPT"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out),
                 QString::fromStdString(seidelTableText(dialog.sums(), kSeidelRecords)));
    }
};

QTEST_MAIN(AberrationDialogsTest)
#include "aberration_dialogs_test.moc"
