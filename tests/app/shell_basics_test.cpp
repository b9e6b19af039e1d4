#include <cerrno>
#include <clocale>
#include <cstring>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/document.h"
#include "app/file_messages.h"
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

    // Each change is a named step; undoing back to the saved design leaves nothing to save.
    void everyChangeIsAStepThatSaysWhetherToRefit() {
        Document document;
        QSignalSpy changes(&document, &Document::lensChanged);
        QSignalSpy titles(&document, &Document::descriptionChanged);
        QSignalSpy modified(&document, &Document::modifiedChanged);
        SurfaceTable table{};
        table[0].type = SurfaceType::SphericalMirror;
        document.applyTable(table, ViewFit::Refit, QStringLiteral("table"));
        QVERIFY(document.isModified());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).value<ViewFit>(), ViewFit::Refit);
        QCOMPARE(titles.size(), 0);

        document.markSaved();
        document.applyDescription("\xe6\x9c\x9b\xe9\x81\xa0\xe9\x8f\xa1", // 望遠鏡, UTF-8
                                  QStringLiteral("title"));
        QVERIFY(document.isModified());
        QCOMPARE(titles.size(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), QString::fromUtf8("望遠鏡"));
        QCOMPARE(changes.at(1).at(0).value<ViewFit>(), ViewFit::Keep);
        QCOMPARE(document.history().undoText(), QStringLiteral("title"));

        document.undo();
        QVERIFY(!document.isModified());
        QCOMPARE(titles.at(1).at(0).toString(), QString());
        QCOMPARE(document.history().undoText(), QStringLiteral("table"));
        QCOMPARE(document.lens().surfaces[0].type, SurfaceType::SphericalMirror);
        QCOMPARE(modified.size(), 4); // modified, saved, modified, back at the saved design
        QCOMPARE(modified.last().at(0).toBool(), false);
    }

    // A refusal names the file, then the reason on a line of its own.
    void fileMessagesGiveTheReason() {
        using Status = DesignReadStatus;
        const QString path = QStringLiteral("/x/plan.OPT");
        const QString unreadable = QString::fromUtf8("\"/x/plan.OPT\" を読み込めませんでした。");
        const QString unwritable = QString::fromUtf8("\"/x/plan.OPT\" に書き込めませんでした。");
        const QString missing = u'\n' + QString::fromLocal8Bit(std::strerror(ENOENT));
        const auto read = [&path](DesignReadResult result) {
            return readFailureText(path, result);
        };
        QCOMPARE(read({.status = Status::CannotOpen, .systemError = ENOENT}), unreadable + missing);
        QCOMPARE(read({.status = Status::CannotOpen}), unreadable); // no reason known
        QVERIFY(read({.status = Status::NotADesign, .notADesign = NotADesignReason::BinaryContent})
                    .endsWith(QString::fromUtf8("（バイナリデータを含んでいます）。")));
        QVERIFY(read({.status = Status::NotADesign, .notADesign = NotADesignReason::NoLayout})
                    .endsWith(QString::fromUtf8("（設計データの形式が見つかりません）。")));
        QCOMPARE(read({.status = Status::NonFiniteNumber, .line = 12}),
                 unreadable + QString::fromUtf8("\n12行目に無限大または数値でない数があります。"));
        QVERIFY(readEndsEarlyText(path, {.status = Status::ReadEndsEarly, .line = 9})
                    .startsWith(QString::fromUtf8("\"/x/plan.OPT\" は9行目で終わっていて")));

        QCOMPARE(writeFailureText(path, {DesignWriteStatus::CannotWrite, ENOENT}),
                 unwritable + missing);
        QVERIFY(writeFailureText(path, {DesignWriteStatus::NonFiniteNumber, 0})
                    .startsWith(unwritable + QString::fromUtf8("\n設計データに無限大")));
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
        showWarning(nullptr, QStringLiteral("~"));
        setBoxAnswerer({});
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0].title, QStringLiteral("Caution !"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QCOMPARE(seen[1].title, QStringLiteral("Error !"));
        QCOMPARE(seen[1].icon, QMessageBox::Critical);
        QCOMPARE(seen[2].title, QStringLiteral("Caution !"));
        QCOMPARE(seen[2].icon, QMessageBox::Warning);
        QCOMPARE(seen[2].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(ShellBasicsTest)
#include "shell_basics_test.moc"
