// The embedded pictures: the sizes the windows lay out for, pointer hot spots, and the motifs'
// colours.
#include "assets.h"

#include <QTest>

using assets::Pointer;

namespace {

QImage image32(const QIcon& icon) {
    return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

int count(const QImage& image, bool (*match)(QRgb)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT
private slots:
    // Every picture has the size its control shows unscaled.
    void pictureSizes_data() {
        QTest::addColumn<QPixmap>("picture");
        QTest::addColumn<QSize>("size");
        QTest::newRow("splash banner") << assets::banner() << QSize(525, 60);
        QTest::newRow("author picture") << assets::authorPicture() << QSize(80, 80);
        QTest::newRow("exit picture") << assets::exitPicture() << QSize(80, 25);
        QTest::newRow("credits picture") << assets::creditsPicture() << QSize(100, 33);
    }
    void pictureSizes() {
        QFETCH(QPixmap, picture);
        QFETCH(QSize, size);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), size);
    }

    // Eight 32 x 32 faces, the first six with a 16 x 16 size for title bars.
    void faces_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 8; ++i)
            QTest::addRow("face %d", i) << i;
    }
    void faces() {
        QFETCH(int, index);
        const QIcon icon = assets::face(index);
        QList<QSize> expected{QSize(32, 32)};
        if (index <= 5)
            expected.prepend(QSize(16, 16));
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(),
                  [](const QSize& a, const QSize& b) { return a.width() < b.width(); });
        QCOMPARE(sizes, expected);
        // A yellow face on a transparent ground.
        const QImage big = image32(icon);
        QCOMPARE(qAlpha(big.pixel(0, 0)), 0);
        const QRgb forehead = big.pixel(16, 5);
        QVERIFY(qRed(forehead) > 200 && qGreen(forehead) > 200 && qBlue(forehead) < 60);
        if (index <= 5) {
            const QImage small = icon.pixmap(QSize(16, 16)).toImage();
            QCOMPARE(small.size(), QSize(16, 16));
            QCOMPARE(qAlpha(small.pixel(0, 0)), 0);
            QVERIFY(qBlue(small.pixel(8, 2)) < 60 && qRed(small.pixel(8, 2)) > 200);
        }
    }

    void facesAreDistinct() {
        for (int i = 0; i < 8; ++i) {
            for (int j = i + 1; j < 8; ++j)
                QVERIFY2(image32(assets::face(i)) != image32(assets::face(j)),
                         qPrintable(QStringLiteral("faces %1 and %2").arg(i).arg(j)));
        }
        // Only the grins show a red tongue.
        for (int i = 0; i < 8; ++i)
            QCOMPARE(count(image32(assets::face(i)), isRed) > 0, i == 5 || i == 6);
        QVERIFY(assets::face(8).isNull());
        QVERIFY(assets::face(-1).isNull());
    }

    void cornerLogoIsTheStraightFace() {
        const QIcon logo = assets::cornerLogo();
        QCOMPARE(logo.availableSizes(), QList<QSize>{QSize(32, 32)});
        QCOMPARE(image32(logo), image32(assets::face(3)));
    }

    // The programs' icons come at every size a desktop asks for: the quiz's smiling
    // face, and the editor's face with a blue pencil across its lower right.
    void programIcons_data() {
        QTest::addColumn<assets::ProgramIcon>("which");
        QTest::addColumn<bool>("pencil");
        QTest::newRow("quiz") << assets::ProgramIcon::Quiz << false;
        QTest::newRow("editor") << assets::ProgramIcon::Editor << true;
    }
    void programIcons() {
        QFETCH(assets::ProgramIcon, which);
        QFETCH(bool, pencil);
        const QIcon icon = assets::programIcon(which);
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(),
                  [](const QSize& a, const QSize& b) { return a.width() < b.width(); });
        QList<QSize> expected;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
            expected << QSize(size, size);
        QCOMPARE(sizes, expected);
        const QImage big =
            icon.pixmap(QSize(256, 256)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(big.pixel(0, 0)), 0);
        const auto isBlue = [](QRgb c) { return qBlue(c) > 180 && qRed(c) < 80; };
        QCOMPARE(isBlue(big.pixel(180, 190)), pencil);
        // The face's yellow above its eyes, wherever the face sits.
        const QRgb forehead = big.pixel(pencil ? 100 : 128, pencil ? 40 : 50);
        QVERIFY(qRed(forehead) > 200 && qGreen(forehead) > 200 && qBlue(forehead) < 60);

        // A window carries the small sizes only, the same pictures.
        const QIcon window = assets::windowIcon(which);
        QCOMPARE(window.availableSizes().size(), 3);
        for (const QSize& size : window.availableSizes()) {
            QVERIFY(size.width() <= 48);
            QCOMPARE(window.pixmap(size).toImage(), icon.pixmap(size).toImage());
        }
    }

    void pointers_data() {
        QTest::addColumn<Pointer>("which");
        QTest::addColumn<QPoint>("hotSpot");
        QTest::addColumn<bool>("hotSpotDrawn");
        QTest::newRow("red arrow") << Pointer::RedArrow << QPoint(0, 0) << true;
        QTest::newRow("white arrow") << Pointer::WhiteArrow << QPoint(0, 0) << true;
        QTest::newRow("upward arrow") << Pointer::UpArrow << QPoint(7, 0) << true;
        QTest::newRow("no-entry sign") << Pointer::NoEntry << QPoint(16, 15) << true;
        QTest::newRow("magnifying glass") << Pointer::Magnifier << QPoint(9, 8) << false;
    }
    void pointers() {
        QFETCH(Pointer, which);
        QFETCH(QPoint, hotSpot);
        QFETCH(bool, hotSpotDrawn);
        const assets::PointerImage pointer = assets::pointer(which);
        QCOMPARE(pointer.image.size(), QSize(32, 32));
        QCOMPARE(QPoint(pointer.hotX, pointer.hotY), hotSpot);
        const QImage image = pointer.image.toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
        // The arrows point with their tip, the sign is hit at its crossing; the
        // glass leaves its centre clear to see through.
        QCOMPARE(qAlpha(image.pixel(hotSpot)) > 128, hotSpotDrawn);
    }

    void pointerColours() {
        const auto image = [](Pointer p) {
            return assets::pointer(p).image.toImage().convertToFormat(QImage::Format_ARGB32);
        };
        const QImage red = image(Pointer::RedArrow);
        QVERIFY(isRed(red.pixel(3, 8)));
        QCOMPARE(red.pixel(0, 0), qRgb(255, 255, 255));
        const QImage white = image(Pointer::WhiteArrow);
        QCOMPARE(white.pixel(3, 8), qRgb(255, 255, 255));
        QCOMPARE(white.pixel(0, 0), qRgb(0, 0, 0));
        // The others are black and white only.
        for (const Pointer p : {Pointer::UpArrow, Pointer::NoEntry, Pointer::Magnifier}) {
            const QImage bw = image(p);
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    const QRgb c = bw.pixel(x, y);
                    QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
                }
            }
        }
    }

    // The grounds the windows were laid out against.
    void pictureColours() {
        const QImage banner = assets::banner().toImage();
        const QRgb blue = banner.pixel(2, 2);
        QVERIFY(qBlue(blue) > 200 && qRed(blue) < qBlue(blue) - 40);
        const QRgb grey = banner.pixel(480, 30);
        QVERIFY(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
        QVERIFY(qRed(grey) > 60 && qRed(grey) < 200);

        const QImage author = assets::authorPicture().toImage();
        QCOMPARE(author.pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(count(author.copy(0, 0, 80, 40), isRed) > 100);
        QCOMPARE(author.pixel(26, 60 + 4), qRgb(0, 0, 0)); // a pupil
        const QImage exit = assets::exitPicture().toImage();
        QCOMPARE(exit.pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(count(exit, isRed) > 100);
        const QImage credits = assets::creditsPicture().toImage();
        QCOMPARE(credits.pixel(0, 0), qRgb(0, 0, 0));
        QVERIFY(count(credits, isRed) > 100);
    }
};

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
