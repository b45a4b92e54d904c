#include <QDir>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>

// The icon's PNG sizes are committed so that building needs no SVG renderer. They must still
// be what the SVG renders to, or the desktop would go on showing an old drawing.
class IconFilesTest : public QObject
{
    Q_OBJECT

private:
    static QString pngUnder(const QString &root, int size)
    {
        return QStringLiteral("%1/hicolor/%2x%2/apps/org.tarvona.Tarvona.png").arg(root).arg(size);
    }

private slots:
    void committedPngsAreTheSvgRenderedNow()
    {
        const QString source = QStringLiteral(TARVONA_SOURCE_DIR);
        const QString committed = source + QStringLiteral("/data/icons");
        const QList<int> sizes = {16, 32, 48, 64, 128, 256};
        QStringList expectedDirectories;
        for (int size : sizes) {
            expectedDirectories.append(QStringLiteral("%1x%1").arg(size));
        }
        const QStringList found
            = QDir(committed + QStringLiteral("/hicolor")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(QSet<QString>(found.begin(), found.end()),
            QSet<QString>(expectedDirectories.begin(), expectedDirectories.end()));

        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        QProcess render;
        render.setProcessChannelMode(QProcess::ForwardedChannels);
        render.start(source + QStringLiteral("/scripts/icons.sh"), {scratch.path()});
        QVERIFY(render.waitForFinished(120000));
        QCOMPARE(render.exitStatus(), QProcess::NormalExit);
        QCOMPARE(render.exitCode(), 0);

        for (int size : sizes) {
            const QImage mine = QImage(pngUnder(committed, size)).convertToFormat(QImage::Format_ARGB32);
            const QImage fresh = QImage(pngUnder(scratch.path(), size)).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(mine.size(), QSize(size, size));
            QCOMPARE(fresh.size(), mine.size());
            // A renderer update may move an edge pixel by a shade; an edited drawing moves many
            // pixels by far more.
            int worst = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const QRgb a = mine.pixel(x, y);
                    const QRgb b = fresh.pixel(x, y);
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                        std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                }
            }
            QVERIFY2(
                worst <= 8, qPrintable(QStringLiteral("the %1 px PNG is out of date: run scripts/icons.sh").arg(size)));
        }
    }
};

QTEST_GUILESS_MAIN(IconFilesTest)

#include "IconFilesTest.moc"
