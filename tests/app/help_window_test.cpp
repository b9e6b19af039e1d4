#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

#include "app/help_window.h"

// The help window shows both guides as they ship, every picture included, and walks them
// as a browser does.

using namespace kiro::app;

namespace {

QUrl guide(const char* file) {
    return QUrl::fromLocalFile(QStringLiteral(KIRO_SOURCE_DIR "/help/") + QLatin1String(file));
}

// The sources of the pictures the shown document holds.
QStringList pictures(const QTextDocument& document) {
    QStringList sources;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                sources << format.toImageFormat().name();
            }
        }
    }
    return sources;
}

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void bothGuidesShowWithEveryPicture_data() {
        QTest::addColumn<QUrl>("url");
        QTest::newRow("ja") << guide("kiro.htm");
        QTest::newRow("en") << guide("kiro.en.htm");
    }

    void bothGuidesShowWithEveryPicture() {
        QFETCH(QUrl, url);
        HelpWindow window;
        window.showGuide(url);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTextBrowser* browser = window.browser();
        QCOMPARE(browser->source(), url);
        QVERIFY(browser->document()->toPlainText().contains(QStringLiteral("KIRO")));
        const QStringList sources = pictures(*browser->document());
        QVERIFY(sources.size() >= 16);
        for (const QString& source : sources) {
            const QVariant picture =
                browser->loadResource(QTextDocument::ImageResource, url.resolved(QUrl(source)));
            // QTextBrowser hands a file's bytes on; the document decodes them.
            const QImage image = picture.typeId() == QMetaType::QImage
                                     ? qvariant_cast<QImage>(picture)
                                     : QImage::fromData(picture.toByteArray());
            QVERIFY2(!image.isNull(), qPrintable(source));
        }
    }

    // Back and forward through a followed link; the search finds the next match and
    // starts again from the top at the end.
    void walksLinksAndFindsText() {
        HelpWindow window;
        window.showGuide(guide("kiro.en.htm"));
        QTextBrowser* browser = window.browser();
        auto* back = window.findChild<QAction*>(QStringLiteral("back"));
        auto* forward = window.findChild<QAction*>(QStringLiteral("forward"));
        QVERIFY(!back->isEnabled());
        browser->setSource(guide("kiro.en.htm").resolved(QUrl(QStringLiteral("#menu"))));
        QVERIFY(back->isEnabled());
        back->trigger();
        QCOMPARE(browser->source(), guide("kiro.en.htm"));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QCOMPARE(browser->source().fragment(), QStringLiteral("menu"));

        QVERIFY(window.find(QStringLiteral("status bar")));
        const int first = browser->textCursor().position();
        int position = first;
        for (int i = 0; i < 50 && (i == 0 || position != first); ++i) {
            QVERIFY(window.find(QStringLiteral("status bar")));
            position = browser->textCursor().position();
        }
        QCOMPARE(position, first); // came round again
        QVERIFY(!window.find(QStringLiteral("no such words in the guide")));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
