#include <cmath>
#include <memory>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/settings_dialog.h"
#include "app/document.h"
#include "app/layout_widget.h"
#include "app/shell_text.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

namespace {

struct Dialog {
    Document& document;
    std::unique_ptr<SettingsDialog> dialog;
    explicit Dialog(Document& d) : document(d), dialog(std::make_unique<SettingsDialog>(d)) {
        dialog->open();
    }
    QLineEdit* edit(int id) { return control<QLineEdit>(dialog.get(), id); }
    QRadioButton* radio(int id) { return control<QRadioButton>(dialog.get(), id); }
    void click(int id) { control<QAbstractButton>(dialog.get(), id)->click(); }
};

} // namespace

// Runs under C.UTF-8 and again under de_DE.UTF-8, where printf would write "0,56".
class SettingsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useCNumbers(); }

    void okStoresTheFieldsClampedAndTheyAreShownAgain() {
        Document document;
        {
            Dialog d(document);
            QCOMPARE(d.dialog->windowTitle(), QString::fromUtf8("各種設定"));
            QCOMPARE(d.edit(102)->text(), QStringLiteral("0.00"));
            QVERIFY(d.radio(103)->isChecked() && d.radio(107)->isChecked());
            d.edit(101)->setText(QStringLiteral("25"));
            d.edit(102)->setText(QStringLiteral("0.567"));
            d.edit(105)->setText(QStringLiteral("0"));
            d.edit(106)->setText(QStringLiteral("0"));
            d.click(104);
            d.click(108);
            d.edit(109)->setText(QStringLiteral("1.5"));
            d.edit(110)->setText(QStringLiteral("-2"));
            d.edit(111)->setText(QStringLiteral("3e3"));
            d.click(1);
            QCOMPARE(d.dialog->result(), int(QDialog::Accepted));
        }
        const Settings& s = document.lens().settings;
        QCOMPARE(s.rayCount, 20);
        QCOMPARE(s.incidenceAngle, 56);
        QCOMPARE(s.spotGridPoints, 1);
        QCOMPARE(s.spotGridPitch, 1);
        QCOMPARE(s.spotGridMode, 1);
        QCOMPARE(s.sourceMode, 1);
        QCOMPARE(s.sourceX, 1.5);
        QCOMPARE(s.sourceY, -2.0);
        QCOMPARE(s.sourceZ, 3000.0);

        Dialog again(document);
        QCOMPARE(again.edit(102)->text(), QStringLiteral("0.56"));
        QCOMPARE(again.edit(111)->text(), QStringLiteral("3000"));
        QVERIFY(again.radio(104)->isChecked());
        QVERIFY(again.radio(108)->isChecked());
    }

    void cancelAndTheCloseButtonStoreNothing() {
        Document document;
        Dialog d(document);
        d.edit(101)->setText(QStringLiteral("3"));
        d.click(2);
        QCOMPARE(d.dialog->result(), int(QDialog::Rejected));
        d.dialog->open();
        d.edit(101)->setText(QStringLiteral("3"));
        d.dialog->close();
        QCOMPARE(d.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(document.lens().settings.rayCount, 11);
        QVERIFY(!document.isModified());
    }

    void anyTypedTextIsSurvived_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("angle"); // hundredths stored; no int holds some, which keep 150
        QTest::newRow("text") << "abc" << 0;
        QTest::newRow("negative") << "-5" << -500;
        QTest::newRow("nan") << "nan" << 150;
        QTest::newRow("1e999") << "1e999" << 150;
        QTest::newRow("huge") << "1e300" << 150;
        QTest::newRow("300 digits") << QString(300, u'9') << 150;
    }

    void anyTypedTextIsSurvived() {
        QFETCH(QString, typed);
        QFETCH(int, angle);
        Document document;
        Settings start = document.lens().settings;
        start.incidenceAngle = 150;
        document.applySettings(start, {});
        {
            Dialog d(document);
            for (int id : {101, 102, 105, 106, 109, 110, 111}) {
                d.edit(id)->setText(typed);
            }
            d.click(108);
            d.click(1);
        }
        const Settings& s = document.lens().settings;
        QVERIFY(s.rayCount >= 0 && s.rayCount <= 20);
        QVERIFY(s.spotGridPoints >= 1 && s.spotGridPoints <= 100);
        QVERIFY(s.spotGridPitch >= 1);
        QVERIFY(std::isfinite(s.sourceX) && std::isfinite(s.sourceZ));
        QCOMPARE(s.incidenceAngle, angle);
        // The side view still draws from such a source.
        LayoutWidget view(document);
        view.resize(630, 400);
        view.fit();
        QVERIFY(!view.grab().isNull());
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
