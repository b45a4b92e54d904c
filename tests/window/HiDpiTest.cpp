#include "Layout.h"
#include "TarvonaWindow.h"
#include "TestMain.h"

#include <QRadioButton>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

using namespace tarvona;

// The window on a screen of twice the density (run with QT_SCALE_FACTOR=2): the same layout in
// logical pixels, every device pixel drawn, text rendered at full resolution rather than
// blown up from a 1x picture.
class HiDpiTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TarvonaWindow> m_window;

    // Where the title's text is drawn, in logical pixels.
    static constexpr QRect TitleArea {32, 0, 393, 25};

    static bool isInk(QRgb pixel, QRgb background)
    {
        return std::abs(qRed(pixel) - qRed(background)) + std::abs(qGreen(pixel) - qGreen(background))
            + std::abs(qBlue(pixel) - qBlue(background))
            > 48;
    }

    struct Ink
    {
        int blocks = 0; // 2x2 blocks with ink in them
        int uneven = 0; // of those, the blocks whose four pixels are not all alike
        QRect bounds;   // the ink's extent, in the image's own pixels
    };

    // The ink in the area (device pixels) of an image at twice the density, counted in aligned
    // 2x2 blocks: an image drawn at 1x and scaled up has every block even.
    static Ink inkIn(const QImage &image, const QRect &area, QRgb background)
    {
        Ink ink;
        for (int y = area.top(); y + 1 <= area.bottom(); y += 2) {
            for (int x = area.left(); x + 1 <= area.right(); x += 2) {
                const std::array<QRgb, 4> block
                    = {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1), image.pixel(x + 1, y + 1)};
                if (std::ranges::none_of(block, [&](QRgb pixel) { return isInk(pixel, background); })) {
                    continue;
                }
                ++ink.blocks;
                ink.bounds |= QRect(x, y, 2, 2);
                if (std::ranges::any_of(block, [&](QRgb pixel) { return pixel != block[0]; })) {
                    ++ink.uneven;
                }
            }
        }
        return ink;
    }

    QImage renderedAtOneX() const
    {
        QImage image(m_window->size(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(1.0);
        image.fill(Qt::white);
        m_window->render(&image);
        return image;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        m_window = std::make_unique<TarvonaWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanupTestCase() { m_window.reset(); }

    void keepsItsLayoutInLogicalPixels()
    {
        QCOMPARE(m_window->devicePixelRatio(), 2.0);
        QCOMPARE(m_window->size(), QSize(461, 345));
        for (const auto &[name, geometry] : expectedLayout()) {
            auto *control = m_window->findChild<QWidget *>(name);
            QVERIFY2(control != nullptr, qPrintable(name));
            QCOMPARE(control->geometry(), geometry);
        }
        for (int i = 0; i < 5; ++i) {
            auto *option = m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i));
            QVERIFY(option != nullptr);
            QCOMPARE(option->geometry(), expectedOptionGeometry(i));
        }
    }

    void grabsEveryDevicePixel()
    {
        const QPixmap grab = m_window->grab();
        QCOMPARE(grab.devicePixelRatio(), 2.0);
        QCOMPARE(grab.size(), QSize(922, 690));
        QCOMPARE(grab.deviceIndependentSize(), QSizeF(461, 345));
        // The form's colour reaches the last device pixel in both directions.
        const QImage image = grab.toImage();
        QCOMPARE(image.pixelColor(921, 0).name(), QStringLiteral("#c0c0ff"));
        QCOMPARE(image.pixelColor(0, 689).name(), QStringLiteral("#c0c0ff"));
    }

    void drawsTextAtFullResolution()
    {
        const QImage twice = m_window->grab().toImage();
        const QImage once = renderedAtOneX();
        const QRgb background = QColor(255, 192, 128).rgb();
        const QRect area(TitleArea.topLeft() * 2, TitleArea.size() * 2);

        // A 1x picture blown up to twice its size, for comparison: every 2x2 block is even.
        const QImage blownUp = once.scaled(once.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const Ink coarse = inkIn(blownUp, area, background);
        QVERIFY(coarse.blocks > 100);
        QCOMPARE(coarse.uneven, 0);

        // The 2x picture's title has its text as large, and with detail inside its blocks:
        // glyph edges fall between the pixels a 1x picture would have.
        const Ink fine = inkIn(twice, area, background);
        QVERIFY(fine.blocks > 100);
        QVERIFY2(std::abs(fine.bounds.height() - coarse.bounds.height()) <= 4,
            qPrintable(QStringLiteral("%1 vs %2").arg(fine.bounds.height()).arg(coarse.bounds.height())));
        QVERIFY2(std::abs(fine.bounds.width() - coarse.bounds.width()) <= 8,
            qPrintable(QStringLiteral("%1 vs %2").arg(fine.bounds.width()).arg(coarse.bounds.width())));
        QVERIFY2(fine.uneven * 3 > fine.blocks,
            qPrintable(QStringLiteral("%1 of %2 blocks uneven").arg(fine.uneven).arg(fine.blocks)));
    }
};

TARVONA_TEST_MAIN(HiDpiTest)

#include "HiDpiTest.moc"
