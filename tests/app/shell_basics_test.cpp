#include <clocale>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/document.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"

using namespace kiro;
using namespace kiro::app;

class ShellBasicsTest : public QObject {
    Q_OBJECT

  private slots:
    void documentStartsEmptyUnmodifiedWithStarName() {
        Document document;
        QCOMPARE(surfaceCount(document.lens().surfaces), 0);
        QCOMPARE(document.lens().settings.rayCount, 11);
        QCOMPARE(document.proposedSaveName(), QStringLiteral("*"));
        QCOMPARE(document.referenceLine(), WavelengthLine::d);
        QVERIFY(!document.isModified());
    }

    void everyChangeMarksModifiedAndSaysWhetherToRefit() {
        Document document;
        QSignalSpy changes(&document, &Document::lensChanged);
        QSignalSpy titles(&document, &Document::descriptionChanged);
        SurfaceTable table{};
        table[0].type = SurfaceType::SphericalMirror;
        document.setTable(table, ViewFit::Refit);
        QVERIFY(document.isModified());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).value<ViewFit>(), ViewFit::Refit);
        QCOMPARE(titles.size(), 0);

        document.setModified(false);
        document.setDescription("\xe6\x9c\x9b\xe9\x81\xa0\xe9\x8f\xa1"); // 望遠鏡, UTF-8
        QVERIFY(document.isModified());
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), QString::fromUtf8("望遠鏡"));
        QCOMPARE(changes.at(1).at(0).value<ViewFit>(), ViewFit::Keep);
    }

    void designBytesAreCp932CutWithoutSplittingACharacter() {
        QByteArray bytes;
        // 200 double-byte characters are 400 bytes: 255 keeps 127 of them.
        QVERIFY(toDesignBytes(QString(200, QChar(0x671B)), 255, bytes));
        QCOMPARE(bytes.size(), 254);
        QVERIFY(toDesignBytes(QStringLiteral("a") + QString(200, QChar(0x671B)), 255, bytes));
        QCOMPARE(bytes.size(), 255);
        QCOMPARE(fromDesignBytes(bytes.constData()).left(3), QString::fromUtf8("a望望"));
    }

    void textWithoutACp932FormIsRefused() {
        QByteArray bytes("kept");
        QVERIFY(!toDesignBytes(QString::fromUtf8("Ω≠😀"), 255, bytes));
        QCOMPARE(bytes, QByteArray("kept"));
    }

    void cp932BytesFromOlderFilesAreDecoded() {
        // 反射 in CP932
        QCOMPARE(fromDesignBytes("\x94\xbd\x8e\xcb"), QString::fromUtf8("反射"));
    }

    void numbersIgnoreTheUsersLocale() {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            QSKIP("de_DE.UTF-8 is not installed");
        }
        std::setlocale(LC_NUMERIC, "C"); // what main does after the application starts
        QCOMPARE(formatNumber("%lg", 1.5), QStringLiteral("1.5"));
        std::setlocale(LC_ALL, "C");
    }

    void boxesGoToTheAnswererWhenOneIsSet() {
        QList<BoxRequest> seen;
        setBoxAnswerer([&seen](const BoxRequest& request) {
            seen.append(request);
            return QMessageBox::Cancel;
        });
        QVERIFY(!confirm(nullptr, QStringLiteral("?")));
        showError(nullptr, QStringLiteral("!"));
        setBoxAnswerer({});
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0].title, QStringLiteral("Caution !"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QCOMPARE(seen[1].title, QStringLiteral("Error !"));
        QCOMPARE(seen[1].icon, QMessageBox::Question);
    }
};

QTEST_MAIN(ShellBasicsTest)
#include "shell_basics_test.moc"
