#include "Application.h"
#include "TarvonaStyle.h"
#include "TarvonaWindow.h"
#include "TestMain.h"

#include <QFile>
#include <QIcon>
#include <QTemporaryDir>

using namespace tarvona;

// What the program starts with, and that it starts without a translation or an icon when
// either is missing or damaged.
class ApplicationTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_scratch;

    QString scratchFile(const QString &name, const QByteArray &bytes) const
    {
        QString path = m_scratch.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }
    static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            qFatal("cannot read %s", qPrintable(path));
        }
        return file.readAll();
    }
    static QApplication &application() { return *qobject_cast<QApplication *>(QCoreApplication::instance()); }
    static QString copyInBulgarian() { return QCoreApplication::translate("QWidgetTextControl", "&Copy"); }

private slots:
    void initTestCase() { QVERIFY(m_scratch.isValid()); }

    void builtInIconHoldsTheTitleBarSizes()
    {
        const QIcon icon = loadIcon(installedResources().iconFiles);
        QCOMPARE(icon.availableSizes(), (QList<QSize> {{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
        // The tile is opaque in the middle and rounded off at the corners.
        const QImage image = icon.pixmap(32).toImage();
        QCOMPARE(image.pixelColor(16, 16).alpha(), 255);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(QApplication::windowIcon().availableSizes(), icon.availableSizes());
    }

    void unreadableIconFilesAddNothing()
    {
        const QString good = installedResources().iconFiles.value(1);
        const QByteArray png = bytesOf(good);
        const QString missing = m_scratch.filePath(QStringLiteral("missing.png"));
        const QString garbage = scratchFile(QStringLiteral("garbage.png"), png.left(8) + QByteArray(200, 'x'));
        const QString truncated = scratchFile(QStringLiteral("truncated.png"), png.left(png.size() / 2));
        const QString empty = scratchFile(QStringLiteral("empty.png"), {});

        QVERIFY(loadIcon({}).isNull());
        QVERIFY(loadIcon({missing, garbage, truncated, empty}).isNull());
        const QIcon partial = loadIcon({garbage, good, missing, truncated});
        QCOMPARE(partial.availableSizes(), QList<QSize> {QSize(32, 32)});
        QVERIFY(!partial.pixmap(32).isNull());
    }

    void bulgarianTranslationTranslatesQtsOwnTexts()
    {
        QTranslator translator;
        QVERIFY(installQtTranslation(translator, installedResources().translationsDirectory));
        QCOMPARE(translator.language(), QStringLiteral("bg_BG"));
        QVERIFY(copyInBulgarian() != QStringLiteral("&Copy"));
        QVERIFY(copyInBulgarian().contains(QRegularExpression(QStringLiteral("\\p{Cyrillic}"))));
    }

    void missingOrDamagedTranslationInstallsNothing()
    {
        const QString before = copyInBulgarian();
        QTranslator translator;
        QVERIFY(!installQtTranslation(translator, m_scratch.filePath(QStringLiteral("nowhere"))));
        QVERIFY(translator.isEmpty());

        QTemporaryDir damaged;
        QFile file(damaged.filePath(QStringLiteral("qtbase_bg.qm")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(64, '\x3c'));
        file.close();
        QVERIFY(!installQtTranslation(translator, damaged.path()));
        QVERIFY(translator.isEmpty());
        QCOMPARE(copyInBulgarian(), before);
    }

    void startsWithNeitherTranslationNorIcon()
    {
        const QString garbage = scratchFile(QStringLiteral("icon.png"), QByteArray(100, '\x89'));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("icon could not be read")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("translation was not found")));
        QTranslator translator;
        prepareApplication(application(), translator,
            {.translationsDirectory = m_scratch.filePath(QStringLiteral("nowhere")), .iconFiles = {garbage}});
        QVERIFY(translator.isEmpty());
        QVERIFY(QApplication::windowIcon().isNull());
        QVERIFY(qobject_cast<TarvonaStyle *>(QApplication::style()) != nullptr);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.tarvona.Tarvona"));

        TarvonaWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.windowIcon().isNull());
        QVERIFY(!window.logText().empty());

        // Set up as installed again, the next window has its icon.
        QTranslator installed;
        prepareApplication(application(), installed);
        QVERIFY(!installed.isEmpty());
        QCOMPARE(window.windowIcon().availableSizes().size(), 4);
    }
};

TARVONA_TEST_MAIN(ApplicationTest)

#include "ApplicationTest.moc"
