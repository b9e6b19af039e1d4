#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QTest>

#include "analysis/spot_diagram.h"
#include "app/dialogs/curve_dialog.h"
#include "app/shell_text.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

constexpr int kScrollBar = 101;
constexpr int kFirstLineBox = 102;

QColor colourOfLine(int slot) {
    const Colour c = lineColour(slot);
    return QColor(c.red, c.green, c.blue);
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

class CurveDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensAtScale50WithEveryLine() {
        CurveDialog dialog(loadExample(QStringLiteral("designed/doublet-100-f9.OPT")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("球面収差曲線"));
        QCOMPARE(dialog.objectName(), QStringLiteral("ERR"));
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 150);
        QCOMPARE(bar->value(), 10);
        QCOMPARE(dialog.state().curveScale, 50.0);
        for (int k = 0; k < 6; ++k) {
            auto* box = control<QCheckBox>(&dialog, kFirstLineBox + k);
            QVERIFY(box->isChecked());
            QCOMPARE(box->text(), lineLabel(WavelengthLine::First + k));
        }
        // The whole plot and the unit label at (0, 500) lie inside the drawing.
        QCOMPARE(dialog.view()->size(), QSize(560, 600));
    }

    void scrollBarFollowsTheScaleTable() {
        CurveDialog dialog(loadExample(QStringLiteral("designed/doublet-100-f9.OPT")));
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        const std::pair<int, double> table[] = {
            {59, 295.0}, {60, 300.0}, {119, 890.0}, {120, 900.0}, {150, 1500.0}};
        for (const auto& [position, scale] : table) {
            bar->setValue(position);
            QCOMPARE(dialog.state().curveScrollPos, position);
            QCOMPARE(dialog.state().curveScale, scale);
        }
        QTest::keyClick(bar, Qt::Key_Right); // line right at the end stays
        QCOMPARE(dialog.state().curveScale, 1500.0);
        bar->setValue(1);
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(dialog.state().curveScale, 5.0);
        QTest::keyClick(bar, Qt::Key_PageDown);
        QCOMPARE(dialog.state().curveScrollPos, 11);
        QCOMPARE(dialog.state().curveScale, 55.0);
    }

    void lineBoxesShowAndHideTheirCurves() {
        CurveDialog dialog(loadExample(QStringLiteral("designed/doublet-100-f9.OPT")));
        for (int k = 0; k < 6; ++k) {
            QVERIFY(pixelsOfColour(grabView(dialog), colourOfLine(k + 1)) > 0);
        }
        for (int k = 0; k < 6; ++k) {
            control<QCheckBox>(&dialog, kFirstLineBox + k)->click();
            QCOMPARE(dialog.state().curveLineShown[static_cast<size_t>(k)], 0);
        }
        const QImage blackOnly = grabView(dialog);
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(pixelsOfColour(blackOnly, colourOfLine(k + 1)), 0);
        }
        QVERIFY(pixelsOfColour(blackOnly, Qt::black) > 0); // the sine-condition curve stays
    }

    void releasingTheLeftButtonRepaints() {
        CurveDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        PaintCounter counter;
        dialog.view()->installEventFilter(&counter);
        QTest::mouseRelease(dialog.view(), Qt::LeftButton, {}, QPoint(100, 100));
        QTRY_VERIFY(counter.paints > 0);
    }

    void viewEqualsKiroCliRender_data() { addExampleDesignRows(); }

    void viewEqualsKiroCliRender() {
        QFETCH(QString, design);
        CurveDialog dialog(loadExample(design));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(grabView(dialog), renderWithCli(QStringLiteral("curves"), design, {}));

        control<QCheckBox>(&dialog, kFirstLineBox + 2)->click(); // e off
        control<QCheckBox>(&dialog, kFirstLineBox + 5)->click(); // h off
        control<QScrollBar>(&dialog, kScrollBar)->setValue(70);
        const QImage expected = renderWithCli(QStringLiteral("curves"), design,
                                              {QStringLiteral("--lines"), QStringLiteral("C,d,F,g"),
                                               QStringLiteral("--scroll"), QStringLiteral("70")});
        QCOMPARE(grabView(dialog), expected);
    }
};

QTEST_MAIN(CurveDialogTest)
#include "curve_dialog_test.moc"
