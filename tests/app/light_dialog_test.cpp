#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "app/dialogs/light_dialog.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

constexpr int kScrollBar = 101;

} // namespace

class LightDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensAtAFloorOf0() {
        LightDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("光量曲線"));
        QCOMPARE(dialog.objectName(), QStringLiteral("BRIGHT"));
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 90);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(dialog.floorPercent(), 0);
        QCOMPARE(dialog.view()->size(), QSize(520, 400));
    }

    void scrollBarMovesTheFloorWithin0To90() {
        LightDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        auto* bar = control<QScrollBar>(&dialog, kScrollBar);
        auto* shown = dialog.findChild<QLabel*>(QStringLiteral("floorValue"));
        QTest::keyClick(bar, Qt::Key_Left); // line left at 0 stays
        QCOMPARE(dialog.floorPercent(), 0);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(dialog.floorPercent(), 1);
        QTest::keyClick(bar, Qt::Key_PageDown);
        QCOMPARE(dialog.floorPercent(), 11);
        bar->setValue(85);
        QTest::keyClick(bar, Qt::Key_PageDown); // page right stops at 90
        QCOMPARE(dialog.floorPercent(), 90);
        QCOMPARE(shown->text(), QStringLiteral("90%"));
        QTest::keyClick(bar, Qt::Key_PageUp);
        QCOMPARE(dialog.floorPercent(), 80);
    }

    void viewEqualsKiroCliRender_data() { addExampleDesignRows(); }

    void viewEqualsKiroCliRender() {
        QFETCH(QString, design);
        LightDialog dialog(loadExample(design));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(grabView(dialog), renderWithCli(QStringLiteral("light"), design, {}));

        control<QScrollBar>(&dialog, kScrollBar)->setValue(55);
        const QImage expected = renderWithCli(QStringLiteral("light"), design,
                                              {QStringLiteral("--floor"), QStringLiteral("55")});
        QCOMPARE(grabView(dialog), expected);
    }
};

QTEST_MAIN(LightDialogTest)
#include "light_dialog_test.moc"
