#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/dialogs/number_fields.h"
#include "app/dialogs/picture_export.h"
#include "app/dialogs/spot_dialog.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

constexpr int kFirstLineBox = 101;
constexpr int kScrollBar = 107;
constexpr int kFirstHeightEdit = 108;

const QColor kLineF(64, 192, 255);

} // namespace

class SpotDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { setPictureFileAsker({}); }

    void opensWithEveryLineTheLastRowsHeightsAndMagnification375() {
        // The Newtonian's focal plane has a clear radius of 25 mm.
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Spot Diagram"));
        QCOMPARE(dialog.objectName(), QStringLiteral("SPOT"));
        for (int k = 0; k < 6; ++k) {
            auto* box = control<QCheckBox>(&dialog, kFirstLineBox + k);
            QVERIFY(box->isChecked());
            QCOMPARE(box->text(), lineLabel(WavelengthLine::First + k));
        }
        QCOMPARE(control<QLineEdit>(&dialog, kFirstHeightEdit)->text(), QStringLiteral("0"));
        QCOMPARE(control<QLineEdit>(&dialog, kFirstHeightEdit + 1)->text(), QStringLiteral("12"));
        QCOMPARE(control<QLineEdit>(&dialog, kFirstHeightEdit + 2)->text(), QStringLiteral("25"));
        QCOMPARE(dialog.state().spotHeight[1], 12.0);
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 150);
        QCOMPARE(bar->value(), 15);
        QCOMPARE(dialog.state().spotMagnification, 375.0);
        QCOMPARE(dialog.view()->size(), QSize(600, 300));
    }

    void aLineBoxShowsAndHidesItsLine() {
        SpotDialog dialog(loadExample(QStringLiteral("designed/doublet-100-f9.OPT")));
        QVERIFY(pixelsOfColour(grabView(dialog), kLineF) > 0);
        auto* boxF = control<QCheckBox>(&dialog, kFirstLineBox + 3);
        boxF->click();
        QVERIFY(!boxF->isChecked());
        QCOMPARE(dialog.state().spotLineShown[3], 0);
        QCOMPARE(pixelsOfColour(grabView(dialog), kLineF), 0);
        boxF->click();
        QCOMPARE(dialog.state().spotLineShown[3], 1);
        QVERIFY(pixelsOfColour(grabView(dialog), kLineF) > 0);
    }

    // Heights take decimals; a text that is no height keeps the last one drawn, marked.
    void heightEditsReadDecimalHeights_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("height"); // -1: the height before stays
        QTest::newRow("whole") << QStringLiteral("7") << 7.0;
        QTest::newRow("decimal") << QStringLiteral("12.5") << 12.5;
        QTest::newRow("beyond unsigned") << QStringLiteral("4294967296") << 4294967296.0;
        QTest::newRow("negative") << QStringLiteral("-5") << -1.0;
        QTest::newRow("nan") << QStringLiteral("nan") << -1.0;
        QTest::newRow("1e999") << QStringLiteral("1e999") << -1.0;
        QTest::newRow("empty") << QString() << -1.0;
    }

    void heightEditsReadDecimalHeights() {
        QFETCH(QString, text);
        QFETCH(double, height);
        SpotDialog dialog(loadExample(QStringLiteral("designed/schmidt-cassegrain-200-f10.OPT")));
        const double before = dialog.state().spotHeight[2];
        QLineEdit* edit = control<QLineEdit>(&dialog, kFirstHeightEdit + 2);
        edit->setText(text);
        QCOMPARE(dialog.state().spotHeight[2], height < 0.0 ? before : height);
        QCOMPARE(isMarkedNumberField(edit), height < 0.0);
        // Whatever the field angle, the panel paints.
        QCOMPARE(grabView(dialog).size(), QSize(600, 300));
    }

    void scrollBarFollowsTheMagnificationTable() {
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        const std::pair<int, double> table[] = {
            {40, 1000.0}, {41, 1100.0}, {110, 20000.0}, {111, 21000.0}, {150, 120000.0}};
        for (const auto& [position, magnification] : table) {
            bar->setValue(position);
            QCOMPARE(dialog.state().spotScrollPos, position);
            QCOMPARE(dialog.state().spotMagnification, magnification);
        }
        bar->setValue(1);
        QCOMPARE(dialog.state().spotMagnification, 25.0);
        QTest::keyClick(bar, Qt::Key_Left); // line left from 1 stays at 1
        QCOMPARE(bar->value(), 1);
        QCOMPARE(dialog.state().spotMagnification, 25.0);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(dialog.state().spotMagnification, 50.0);
        QTest::keyClick(bar, Qt::Key_PageDown); // page right
        QCOMPARE(bar->value(), 12);
        QTest::keyClick(bar, Qt::Key_PageUp);
        QCOMPARE(bar->value(), 2);
        QVERIFY((bar->focusPolicy() & Qt::TabFocus) != 0);
    }

    // The window shows what kiro-cli writes, pixel for pixel, in any state of the dialog.
    void viewEqualsKiroCliRender_data() { addExampleDesignRows(); }

    void viewEqualsKiroCliRender() {
        QFETCH(QString, design);
        SpotDialog dialog(loadExample(design));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(grabView(dialog), renderWithCli(QStringLiteral("spot"), design, {}));

        control<QCheckBox>(&dialog, kFirstLineBox + 1)->click(); // d off
        control<QLineEdit>(&dialog, kFirstHeightEdit)->setText(QStringLiteral("3"));
        control<QScrollBar>(&dialog, kScrollBar)->setValue(20);
        const auto& h = dialog.state().spotHeight;
        const QImage expected = renderWithCli(
            QStringLiteral("spot"), design,
            {QStringLiteral("--lines"), QStringLiteral("C,e,F,g,h"), QStringLiteral("--heights"),
             QStringLiteral("%1,%2,%3").arg(h[0]).arg(h[1]).arg(h[2]), QStringLiteral("--scroll"),
             QStringLiteral("20")});
        QCOMPARE(grabView(dialog), expected);
    }

    void savesThePictureShownInTheFormatOfItsExtension() {
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        control<QScrollBar>(&dialog, kScrollBar)->setValue(30);
        control<QCheckBox>(&dialog, kFirstLineBox)->click();
        QTemporaryDir folder;
        QString chosen;
        setPictureFileAsker([&chosen](QWidget*, const QString&) { return chosen; });
        auto* save = dialog.findChild<QPushButton*>(QStringLiteral("savePicture"));
        QVERIFY(save != nullptr);

        const auto saveAs = [&](const QString& name) {
            chosen = folder.filePath(name);
            save->click();
            return fileBytes(chosen);
        };
        QCOMPARE(asRgb(QImage::fromData(saveAs(QStringLiteral("spot.PNG")))), grabView(dialog));
        QVERIFY(saveAs(QStringLiteral("spot.svg")).contains("<svg"));
        QVERIFY(saveAs(QStringLiteral("spot.pdf")).startsWith("%PDF"));
    }

    void aFailedSaveSaysSoAndCancelWritesNothing() {
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        QTemporaryDir folder;
        BoxRecorder boxes;
        QString chosen;
        setPictureFileAsker([&chosen](QWidget*, const QString&) { return chosen; });
        auto* save = dialog.findChild<QPushButton*>(QStringLiteral("savePicture"));

        chosen = folder.filePath(QStringLiteral("missing-folder/spot.png"));
        save->click();
        chosen = folder.filePath(QStringLiteral("spot.bmp"));
        save->click();
        QCOMPARE(boxes.seen.size(), 2);
        for (const BoxRequest& box : boxes.seen) {
            QCOMPARE(box.title, QStringLiteral("Error !"));
        }
        QVERIFY(boxes.seen[0].text.contains(QStringLiteral("missing-folder/spot.png")));
        QVERIFY(!QFile::exists(chosen));

        // A folder in the way is not replaced by a file.
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("taken.png")));
        chosen = folder.filePath(QStringLiteral("taken.png"));
        save->click();
        QCOMPARE(boxes.seen.size(), 3);
        QVERIFY(QFileInfo(chosen).isDir());

        chosen.clear(); // cancelled
        save->click();
        QCOMPARE(boxes.seen.size(), 3);
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("taken.png")});
    }

    // The file dialog itself: a name typed without an extension gets the chosen type's.
    void aNameWithoutExtensionGetsTheChosenTypes() {
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        QTemporaryDir folder;
        const QString typed = folder.filePath(QStringLiteral("newtonian-spot"));
        QTimer::singleShot(0, [&typed] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(files != nullptr);
            auto* types = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types != nullptr);
            QTest::keyClick(types, Qt::Key_Down); // from "PNG (*.png)" to "SVG (*.svg)"
            QCOMPARE(files->selectedNameFilter(), QStringLiteral("SVG (*.svg)"));
            files->selectFile(typed);
            QMetaObject::invokeMethod(files, "accept");
        });
        dialog.findChild<QPushButton*>(QStringLiteral("savePicture"))->click();
        QVERIFY(fileBytes(typed + QStringLiteral(".svg")).contains("<svg"));
    }

    void okClosesTheDialog() {
        SpotDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        control<QPushButton>(&dialog, 1)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(SpotDialogTest)
#include "spot_dialog_test.moc"
