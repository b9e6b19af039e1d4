#include <cmath>
#include <memory>

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/number_fields.h"
#include "app/dialogs/settings_dialog.h"
#include "app/document.h"
#include "app/layout_widget.h"
#include "app/shell_text.h"
#include "tests/app/shell_test_support.h"
#include "tests/support/german_numbers.h"

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
            // The fields show what was kept.
            QCOMPARE(d.edit(101)->text(), QStringLiteral("20"));
            QCOMPARE(d.edit(102)->text(), QStringLiteral("0.56"));
            QCOMPARE(d.edit(105)->text(), QStringLiteral("1"));
        }
        const Settings& s = document.lens().settings;
        QCOMPARE(s.rayCount, 20);
        QCOMPARE(s.incidenceAngle, 56);
        QCOMPARE(s.spotGridPoints, 1);
        QCOMPARE(s.spotGridPitch, 1);
        QCOMPARE(s.spotGridMode, SpotGridMode::FixedPitch);
        QCOMPARE(s.sourceMode, SourceMode::Point);
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

    // Text that is no number the field can take is refused by name and nothing is stored.
    void unreadableTextIsRefusedAndNothingIsStored_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::newRow("letters as rays") << 101 << "abc"
                                         << "光線の数";
        QTest::newRow("negative rays") << 101 << "-5"
                                       << "光線の数";
        QTest::newRow("fraction of points") << 105 << "2.5"
                                            << "ポイント数";
        QTest::newRow("nan angle") << 102 << "nan"
                                   << "光線の入射角";
        QTest::newRow("angle no int holds") << 102 << "1e300"
                                            << "光線の入射角";
        QTest::newRow("1e999 coordinate") << 111 << "1e999"
                                          << "光源の座標 z";
    }

    void unreadableTextIsRefusedAndNothingIsStored() {
        QFETCH(int, id);
        QFETCH(QString, typed);
        QFETCH(QString, field);
        Document document;
        const Settings start = document.lens().settings;
        test::BoxRecorder boxes;
        Dialog d(document);
        d.edit(id)->setText(typed);
        d.edit(101)->setText(id == 101 ? typed : QStringLiteral("3"));
        d.click(1);
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Warning);
        QVERIFY2(boxes.seen.at(0).text.contains(field), qPrintable(boxes.seen.at(0).text));
        QVERIFY(isMarkedNumberField(d.edit(id)));
        QCOMPARE(document.lens().settings.rayCount, start.rayCount);
        QVERIFY(!document.isModified());
    }

    // A German desktop writes 0,567: read as 0.567 degrees, kept as 56 hundredths.
    void aDecimalCommaCountsOnAGermanDesktop() {
        const test::GermanNumbers german;
        QVERIFY(german.active());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Document document;
        Dialog d(document);
        d.edit(102)->setText(QStringLiteral("0,567"));
        d.click(1);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(document.lens().settings.incidenceAngle, 56);
        QCOMPARE(d.edit(102)->text(), QStringLiteral("0.56"));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
