// Paints every picture and pointer of the programs and writes them as PNG files, and the
// programs' icons and the set files' icon also as Windows .ico files (run by hand).
//
// Usage: drawassets [FOLDER]   (FOLDER defaults to the source tree's assets/images;
//                                the icons go into its icons/ folder)
//
// Everything is drawn from geometry in this file, letters included, so the output
// does not depend on the fonts installed on the machine.
#include <QBuffer>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QStringList>
#include <QTextStream>
#include <QTransform>

#include <map>
#include <vector>

namespace {

// Lettering: a small stroke alphabet: each glyph is a centre line in font units, y down,
// baseline at 0, x-height 5, capitals 7 high, descenders to 2.5. A text's centre
// lines are laid out, transformed to pixels and then stroked, so the strokes keep
// an even thickness whatever the scale.

struct Glyph {
    QPainterPath path;
    double width = 0; // ink width of the centre line
};

void arc(QPainterPath& p, const QRectF& r, double start, double sweep) {
    p.arcMoveTo(r, start);
    p.arcTo(r, start, sweep);
}

void line(QPainterPath& p, std::initializer_list<QPointF> points) {
    auto it = points.begin();
    p.moveTo(*it);
    for (++it; it != points.end(); ++it)
        p.lineTo(*it);
}

void dot(QPainterPath& p, QPointF at) {
    p.moveTo(at);
    p.lineTo(at + QPointF(0, 0.01));
}

Glyph glyph(QChar c) {
    Glyph g;
    QPainterPath& p = g.path;
    switch (c.unicode()) {
    case 'a':
        p.addEllipse(QRectF(0, -5, 4.2, 5));
        line(p, {{4.2, -5}, {4.2, 0}});
        g.width = 4.2;
        break;
    case 'f':
        p.moveTo(1, 0);
        p.lineTo(1, -6);
        p.arcTo(QRectF(1, -7.5, 3, 3), 180, -90);
        p.lineTo(3.2, -7.5);
        line(p, {{0, -5}, {2.8, -5}});
        g.width = 3.2;
        break;
    case 'i':
        line(p, {{0, -5}, {0, 0}});
        dot(p, {0, -6.7});
        break;
    case 'j':
        p.moveTo(0.6, -5);
        p.lineTo(0.6, 1.2);
        p.arcTo(QRectF(-2.4, -0.3, 3, 3), 0, -120);
        dot(p, {0.6, -6.7});
        g.width = 0.6;
        break;
    case 'l':
        line(p, {{0, -7.5}, {0, 0}});
        break;
    case 'm':
        line(p, {{0, -5}, {0, 0}});
        p.moveTo(0, -3.4);
        p.arcTo(QRectF(0, -5, 3, 3.2), 180, -180);
        p.lineTo(3, 0);
        p.moveTo(3, -3.4);
        p.arcTo(QRectF(3, -5, 3, 3.2), 180, -180);
        p.lineTo(6, 0);
        g.width = 6;
        break;
    case 'n':
        line(p, {{0, -5}, {0, 0}});
        p.moveTo(0, -3);
        p.arcTo(QRectF(0, -5, 4, 4), 180, -180);
        p.lineTo(4, 0);
        g.width = 4;
        break;
    case 'o':
        p.addEllipse(QRectF(0, -5, 4.4, 5));
        g.width = 4.4;
        break;
    case 'p':
        p.addEllipse(QRectF(0, -5, 4.2, 5));
        line(p, {{0, -5}, {0, 2.5}});
        g.width = 4.2;
        break;
    case 'q':
        p.addEllipse(QRectF(0, -5, 4.2, 5));
        line(p, {{4.2, -5}, {4.2, 2.2}});
        g.width = 4.2;
        break;
    case 'r':
        line(p, {{0, -5}, {0, 0}});
        p.moveTo(0, -3);
        p.arcTo(QRectF(0, -5, 5, 4), 180, -105);
        g.width = 3.2;
        break;
    case 's':
        p.moveTo(3.5, -4.2);
        p.cubicTo(3.0, -5.2, 0.2, -5.3, 0.3, -3.8);
        p.cubicTo(0.4, -2.5, 3.7, -2.8, 3.7, -1.3);
        p.cubicTo(3.7, 0.4, 0.5, 0.3, 0.0, -0.8);
        g.width = 3.7;
        break;
    case 't':
        p.moveTo(1, -6.8);
        p.lineTo(1, -1.3);
        p.arcTo(QRectF(1, -2.6, 2.6, 2.6), 180, 90);
        p.lineTo(2.7, 0);
        line(p, {{0, -5}, {2.6, -5}});
        g.width = 2.7;
        break;
    case 'u':
        p.moveTo(0, -5);
        p.lineTo(0, -2);
        p.arcTo(QRectF(0, -4, 4, 4), 180, 180);
        line(p, {{4, -5}, {4, 0}});
        g.width = 4;
        break;
    case 'v':
        line(p, {{0, -5}, {2, 0}, {4, -5}});
        g.width = 4;
        break;
    case 'z':
        line(p, {{0, -5}, {3.8, -5}, {0, 0}, {3.8, 0}});
        g.width = 3.8;
        break;
    case 'A':
        line(p, {{0, 0}, {2.8, -7}, {5.6, 0}});
        line(p, {{1.0, -2.4}, {4.6, -2.4}});
        g.width = 5.6;
        break;
    case 'G':
        arc(p, QRectF(0, -7, 5.8, 7), 45, 315);
        p.lineTo(3.2, -3.5);
        g.width = 5.8;
        break;
    case 'I':
        line(p, {{1, -7}, {1, 0}});
        line(p, {{0, -7}, {2, -7}});
        line(p, {{0, 0}, {2, 0}});
        g.width = 2;
        break;
    case 'M':
        line(p, {{0, 0}, {0, -7}, {3, -2.5}, {6, -7}, {6, 0}});
        g.width = 6;
        break;
    case 'O':
        p.addEllipse(QRectF(0, -7, 5.8, 7));
        g.width = 5.8;
        break;
    case 'P':
        p.moveTo(0, 0);
        p.lineTo(0, -7);
        p.lineTo(2.4, -7);
        p.arcTo(QRectF(0.4, -7, 4, 3.8), 90, -180);
        p.lineTo(0, -3.2);
        g.width = 4.4;
        break;
    case 'R':
        p.moveTo(0, 0);
        p.lineTo(0, -7);
        p.lineTo(2.4, -7);
        p.arcTo(QRectF(0.4, -7, 4, 3.8), 90, -180);
        p.lineTo(0, -3.2);
        line(p, {{2.2, -3.2}, {4.6, 0}});
        g.width = 4.6;
        break;
    case 'U':
        p.moveTo(0, -7);
        p.lineTo(0, -2.5);
        p.arcTo(QRectF(0, -5, 5, 5), 180, 180);
        p.lineTo(5, -7);
        g.width = 5;
        break;
    case '[':
        line(p, {{2, -8}, {0, -8}, {0, 2}, {2, 2}});
        g.width = 2;
        break;
    case ']':
        line(p, {{0, -8}, {2, -8}, {2, 2}, {0, 2}});
        g.width = 2;
        break;
    case ' ':
        g.width = 1.5;
        break;
    default:
        qFatal("drawassets: no glyph for '%c'", c.toLatin1());
    }
    return g;
}

// The centre lines of a text in font units, glyphs `gap` units apart.
QPainterPath centreLines(const QString& text, double gap) {
    QPainterPath all;
    double x = 0;
    for (const QChar c : text) {
        const Glyph g = glyph(c);
        all.addPath(g.path.translated(x, 0));
        x += g.width + gap;
    }
    return all;
}

struct Lettering {
    QString text;
    double unitX = 2;    // pixels per font unit across
    double unitY = 2;    // pixels per font unit down
    double gap = 1.4;    // font units between glyphs
    double stroke = 1.8; // stroke width in pixels
    double centreX = 0;  // the text is centred on this x (pixels)
    double baseline = 0; // pixels
};

// The filled outline of a text, in pixels.
QPainterPath letters(const Lettering& l) {
    QPainterPath centre = centreLines(l.text, l.gap);
    centre = QTransform::fromScale(l.unitX, l.unitY).map(centre);
    const double width = centre.boundingRect().width();
    centre.translate(l.centreX - width / 2 - centre.boundingRect().left(), l.baseline);
    QPainterPathStroker stroker;
    stroker.setWidth(l.stroke);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centre).simplified();
}

void fillLetters(QPainter& p, const Lettering& l, const QColor& colour) {
    p.fillPath(letters(l), colour);
}

// Pictures.

QImage canvas(int w, int h, const QColor& fill) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QImage banner() {
    QImage image = canvas(525, 60, QColor(150, 150, 150));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The community's name on the light-blue band.
    const QRectF blue(0, 0, 168, 60);
    p.fillRect(blue, QColor(160, 210, 250));
    p.fillRect(QRectF(blue.right(), 0, 3, 60), QColor(40, 40, 70));
    const QPainterPath name =
        letters({QStringLiteral("[qo]"), 5.4, 4.7, 1.6, 7.5, blue.center().x(), 45});
    p.setPen(QPen(QColor(20, 30, 90), 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(name);
    p.setPen(Qt::NoPen);
    p.drawPath(name);

    // "forumi" on the grey band, between two black lines. The window shows the
    // banner's first 489 pixels, so everything that matters stays left of that.
    const double left = blue.right() + 14;
    const double right = 470;
    p.fillRect(QRectF(left, 7, right - left, 3), Qt::black);
    p.fillRect(QRectF(left, 50, right - left, 3), Qt::black);
    const Lettering word{QStringLiteral("forumi"), 5.2, 4.6, 1.9, 5.2, (left + right) / 2, 40};
    p.fillPath(letters(word).translated(1.5, 1.5), QColor(90, 90, 90));
    fillLetters(p, word, Qt::white);
    return image;
}

// An eye: white ball, black rim, black pupil looking a little inwards, with a glint.
void eye(QPainter& p, QPointF centre, double rx, double ry, double lookX) {
    p.setPen(QPen(Qt::black, 2.2));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPointF pupil = centre + QPointF(lookX, ry * 0.25);
    p.drawEllipse(pupil, rx * 0.5, ry * 0.5);
    p.setBrush(Qt::white);
    p.drawEllipse(pupil + QPointF(-rx * 0.18, -ry * 0.22), rx * 0.14, ry * 0.12);
}

QImage authorPicture() {
    QImage image = canvas(80, 80, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillLetters(p, {QStringLiteral("Pitanja"), 2.1, 2.0, 1.5, 2.0, 40, 16}, Qt::red);
    fillLetters(p, {QStringLiteral("postavio"), 1.75, 1.9, 1.2, 1.9, 40, 34}, Qt::red);
    eye(p, {26, 60}, 11.5, 15, 3);
    eye(p, {54, 60}, 11.5, 15, -3);
    return image;
}

// A saltire made of two bars, red with a black rim.
QPainterPath cross(QPointF centre, double arm, double thickness) {
    QPainterPath bar;
    bar.addRect(QRectF(-arm, -thickness / 2, 2 * arm, thickness));
    QPainterPath both = QTransform().rotate(45).map(bar).united(QTransform().rotate(-45).map(bar));
    return both.translated(centre);
}

QImage exitPicture() {
    QImage image = canvas(80, 25, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillLetters(p, {QStringLiteral("Izlaz"), 2.2, 2.3, 1.5, 2.2, 28, 20}, Qt::red);
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::red);
    p.drawPath(cross({67, 12.5}, 12, 5));
    return image;
}

QImage creditsPicture() {
    QImage image = canvas(100, 33, Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    fillLetters(p, {QStringLiteral("O PROGRAMU"), 1.35, 1.9, 1.15, 1.9, 50, 23}, Qt::red);
    return image;
}

// Faces.

// Paints one of the eight faces into a 32 x 32 square of the painter's coordinates.
void paintFace(QPainter& p, int mood) {
    const auto pen = [](double w, const QColor& c = Qt::black) {
        return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };

    p.setPen(pen(1.6));
    p.setBrush(QColor(255, 230, 0));
    p.drawEllipse(QPointF(16, 16), 14.6, 14.6);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(11.5, 11.5), 2.0, 3.3);
    p.drawEllipse(QPointF(20.5, 11.5), 2.0, 3.3);

    p.setBrush(Qt::NoBrush);
    const auto frown = [&](double halfWidth, double cornerY, double topY) {
        QPainterPath mouth;
        mouth.moveTo(16 - halfWidth, cornerY);
        mouth.quadTo(16, 2 * topY - cornerY, 16 + halfWidth, cornerY);
        p.setPen(pen(2.0));
        p.drawPath(mouth);
    };
    const auto dash = [&](double y) {
        p.setPen(pen(1.6));
        p.drawLine(QPointF(14.2, y), QPointF(17.8, y));
    };
    const auto grin = [&]() {
        QPainterPath mouth;
        mouth.moveTo(8.5, 18.5);
        mouth.lineTo(23.5, 18.5);
        mouth.arcTo(QRectF(8.5, 12, 15, 13), 0, -180);
        mouth.closeSubpath();
        p.setPen(pen(1.4));
        p.setBrush(Qt::black);
        p.drawPath(mouth);
        QPainterPath tongue;
        tongue.addEllipse(QRectF(12, 20.6, 8, 5.2));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 0, 0));
        p.drawPath(tongue.intersected(mouth));
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(1.3));
        p.drawArc(QRectF(5.0, 15.5, 4, 4), 100 * 16, 140 * 16);
        p.drawArc(QRectF(23.0, 15.5, 4, 4), -60 * 16, 140 * 16);
    };

    switch (mood) {
    case 0: // deep frown
        frown(6.5, 24.5, 18.5);
        dash(27.3);
        break;
    case 1: // frown
        frown(6.5, 23.5, 20.0);
        dash(27.0);
        break;
    case 2: // slight frown
        frown(6.5, 22.8, 21.2);
        dash(26.6);
        break;
    case 3: // straight
        p.setPen(pen(2.0));
        p.drawLine(QPointF(10, 22), QPointF(22, 22));
        break;
    case 4: // smile
        frown(7, 19.5, 25.0);
        break;
    case 5: // open grin with tongue and dimples
        grin();
        break;
    case 6: // the same grin with a nose
        grin();
        p.setPen(pen(1.0));
        p.setBrush(QColor(200, 120, 0));
        p.drawEllipse(QPointF(16, 15.6), 1.9, 1.6);
        break;
    case 7: // wide sad frown
        frown(9.5, 25.5, 19.0);
        break;
    }
}

// One of the eight faces at 32 x 32.
QImage face(int mood) {
    QImage image = canvas(32, 32, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintFace(p, mood);
    return image;
}

// A picture given pixel by pixel, one text row per line of pixels; characters not
// in the palette are transparent.
QImage pixelArt(const QStringList& rows, int size, const std::map<char, QColor>& palette) {
    QImage image = canvas(size, size, Qt::transparent);
    for (int y = 0; y < rows.size(); ++y) {
        for (int x = 0; x < rows[y].size(); ++x) {
            const auto colour = palette.find(rows[y].at(x).toLatin1());
            if (colour != palette.end())
                image.setPixelColor(x, y, colour->second);
        }
    }
    return image;
}

// The small faces are pixel art: at 16 x 16 smoothing only blurs the mouth.
// k black, y yellow, r red, . transparent.
QImage smallFace(int mood) {
    static const char* const base[16] = {
        ".....kkkkkk.....", "...kkyyyyyykk...", "..kyyyyyyyyyyk..", ".kyyyyyyyyyyyyk.",
        ".kyyyykyyyykyyk.", "kyyyyykyyyykyyyk", "kyyyyykyyyykyyyk", "kyyyyyyyyyyyyyyk",
        "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", ".kyyyyyyyyyyyyk.",
        ".kyyyyyyyyyyyyk.", "..kyyyyyyyyyyk..", "...kkyyyyyykk...", ".....kkkkkk.....",
    };
    // Each mouth: rows 8 to 13, drawn over the base ('.' leaves the base).
    static const char* const mouths[6][6] = {
        {"................", "......kkkk......", ".....k....k.....", "....k......k....",
         "....k......k....", ".......kk......."},
        {"................", "................", "......kkkk......", ".....k....k.....",
         "....k......k....", ".......kk......."},
        {"................", "................", "................", ".....kkkkkk.....",
         "....k......k....", ".......kk......."},
        {"................", "................", "................", ".....kkkkkk.....",
         "................", "................"},
        {"................", "................", "....k......k....", ".....k....k.....",
         "......kkkk......", "................"},
        {"...k........k...", "....kkkkkkkk....", "....kkkkkkkk....", ".....kkrrkk.....",
         "......krrk......", ".......kk......."},
    };
    QStringList rows;
    for (int y = 0; y < 16; ++y) {
        QString row = QString::fromLatin1(base[y]);
        for (int x = 0; y >= 8 && y <= 13 && x < 16; ++x) {
            if (mouths[mood][y - 8][x] != '.')
                row[x] = QLatin1Char(mouths[mood][y - 8][x]);
        }
        rows << row;
    }
    return pixelArt(rows, 16,
                    {{'k', Qt::black}, {'y', QColor(255, 230, 0)}, {'r', QColor(230, 0, 0)}});
}

// The programs' icons, at every size a desktop asks for: the quiz shows the smiling
// face, the editor the same face with a pencil.

const int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The sizes a Windows .ico holds: Explorer, the taskbar and the Start menu pick from these.
const int WindowsIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A pencil lying from its point at the bottom middle up to the right corner, in the
// 32 x 32 square of the painter's coordinates.
void paintPencil(QPainter& p) {
    p.save();
    p.translate(13, 30);
    p.rotate(-45);
    const QPen rim(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const double half = 3;
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(5.5, -half);
    wood.lineTo(5.5, half);
    wood.closeSubpath();
    p.setPen(rim);
    p.setBrush(QColor(240, 200, 150));
    p.drawPath(wood);
    QPainterPath lead;
    lead.moveTo(0, 0);
    lead.lineTo(2, -1.1);
    lead.lineTo(2, 1.1);
    lead.closeSubpath();
    p.setBrush(QColor(60, 60, 60));
    p.drawPath(lead);
    p.setBrush(QColor(40, 110, 220));
    p.drawRect(QRectF(5.5, -half, 12, 2 * half));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(17.5, -half, 2.5, 2 * half));
    p.setBrush(QColor(240, 130, 150));
    p.drawRoundedRect(QRectF(20, -half, 3, 2 * half), 1, 1);
    p.restore();
}

QImage programIcon(bool editor, int size) {
    // At 16 x 16 the quiz takes the pixel-art face, which stays sharp.
    if (!editor && size == 16)
        return smallFace(4);
    QImage image = canvas(size, size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    if (editor) {
        p.save();
        p.scale(0.8, 0.8);
        paintFace(p, 4);
        p.restore();
        paintPencil(p);
    } else {
        paintFace(p, 4);
    }
    return image;
}

// The icon of a set file: a page with a folded corner, lines of questions and the
// quiz's smiling face, in the same 32 x 32 square as the programs' icons.
QImage setIcon(int size) {
    // At 16 x 16 pixel art, as the quiz's own icon: the page, one line, a small face.
    if (size == 16) {
        QStringList rows = {
            "..ggggggggg.....", "..gwwwwwwwgg....", "..gwbbbbbwglg...",
            "..gwwwwwwwgllg..", "..gwbbbbbbgggg..",
        };
        for (int y = 5; y < 15; ++y)
            rows << QStringLiteral("..gwwwwwwwwwwg..");
        rows << QStringLiteral("..gggggggggggg..");
        static const char* const face[8] = {
            "..kkkk..", ".kyyyyk.", "kykyykyk", "kyyyyyyk",
            "kykyykyk", "kyykkyyk", ".kyyyyk.", "..kkkk..",
        };
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (face[y][x] != '.')
                    rows[6 + y][4 + x] = QLatin1Char(face[y][x]);
            }
        }
        return pixelArt(rows, 16,
                        {{'g', QColor(90, 90, 90)},
                         {'w', Qt::white},
                         {'l', QColor(215, 215, 215)},
                         {'b', QColor(40, 110, 220)},
                         {'k', Qt::black},
                         {'y', QColor(255, 230, 0)}});
    }
    QImage image = canvas(size, size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QPen rim(QColor(90, 90, 90), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath page;
    line(page, {{5.5, 1.5}, {20.5, 1.5}, {26.5, 7.5}, {26.5, 30.5}, {5.5, 30.5}});
    page.closeSubpath();
    p.setPen(rim);
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath fold;
    line(fold, {{20.5, 1.5}, {20.5, 7.5}, {26.5, 7.5}});
    fold.closeSubpath();
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(fold);
    // The questions: blue lines above the face.
    p.setPen(QPen(QColor(40, 110, 220), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(9, 6), QPointF(18, 6));
    p.drawLine(QPointF(9, 10), QPointF(23, 10));
    p.translate(16, 21);
    p.scale(0.55, 0.55);
    p.translate(-16, -16);
    paintFace(p, 4);
    return image;
}

// Pointers.

// The arrows are pixel art, so that their tips, the hot spots, are exact pixels.
// e edge, f fill.
QImage arrow(const QColor& fill, const QColor& edge) {
    static const QStringList rows = {
        "e",           "ee",           "efe",         "effe",        "efffe",
        "effffe",      "efffffe",      "effffffe",    "efffffffe",   "effffffffe",
        "efffffffffe", "effffffeeeee", "efffeffe",    "effe.effe",   "efe..effe",
        "ee....effe",  "e.....effe",   ".......effe", ".......effe", "........ee",
    };
    return pixelArt(rows, 32, {{'e', edge}, {'f', fill}});
}

QImage upArrow() {
    QStringList rows = {
        ".......e.......", "......efe......", ".....efffe.....", "....efffffe....",
        "...efffffffe...", "..efffffffffe..", ".efffffffffffe.", "eeeeefffffeeeee",
    };
    for (int y = 8; y < 22; ++y)
        rows << QStringLiteral("....efffffe....");
    rows << QStringLiteral("....eeeeeee....");
    return pixelArt(rows, 32, {{'e', Qt::black}, {'f', Qt::white}});
}

// A black shape with a white rim, so it shows on any background.
void rimmed(QPainter& p, const QPainterPath& shape) {
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(shape);
}

QImage noEntry() {
    QImage image = canvas(32, 32, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(16.5, 15.5);
    QPainterPath ring;
    ring.addEllipse(c, 12, 12);
    ring.addEllipse(c, 8.5, 8.5);
    ring.setFillRule(Qt::OddEvenFill);
    QPainterPath bar;
    bar.addRect(QRectF(-10, -1.8, 20, 3.6));
    bar = QTransform().rotate(45).map(bar).translated(c);
    rimmed(p, ring.united(bar).simplified());
    return image;
}

QImage magnifier() {
    QImage image = canvas(32, 32, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(9.5, 8.5);
    QPainterPath lens;
    lens.addEllipse(c, 7.5, 7.5);
    lens.addEllipse(c, 5.2, 5.2);
    lens.setFillRule(Qt::OddEvenFill);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(6.0, -2.2, 13.5, 4.4), 1.5, 1.5);
    handle = QTransform().rotate(45).map(handle).translated(c);
    rimmed(p, lens.united(handle).simplified());
    // A glint on the glass.
    p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 3.6, c.y() - 3.6, 7.2, 7.2), 100 * 16, 60 * 16);
    return image;
}

// One image of an .ico: up to 128 px an uncompressed 32-bit bitmap with its transparency
// mask (what every reader of icons understands), at 256 px a PNG (as Windows itself
// ships them, a quarter of the size).
QByteArray iconImage(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes;
    if (image.width() >= 256) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    const int w = image.width();
    const int h = image.height();
    const int maskStride = (w + 31) / 32 * 4;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
    out << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32) << quint32(0)
        << quint32(w * h * 4 + maskStride * h) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
    // Rows bottom up, each pixel blue, green, red, alpha (not premultiplied).
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
                << quint8(qAlpha(row[x]));
    }
    // The mask, one bit a pixel, set where the icon is fully transparent.
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(mask.constData(), mask.size());
    }
    return bytes;
}

// A Windows icon file holding the pictures, smallest first.
QByteArray iconFile(const std::vector<QImage>& pictures) {
    std::vector<QByteArray> images;
    for (const QImage& picture : pictures)
        images.push_back(iconImage(picture));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // ICONDIR: reserved, type 1 (icon), count; then one 16-byte entry per image.
    out << quint16(0) << quint16(1) << quint16(pictures.size());
    quint32 offset = 6 + 16 * quint32(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QImage& picture = pictures[i];
        // 256 is written as 0: the field is one byte.
        out << quint8(picture.width() & 0xff) << quint8(picture.height() & 0xff) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(images[i].size()) << offset;
        offset += images[i].size();
    }
    for (const QByteArray& image : images)
        out.writeRawData(image.constData(), image.size());
    return bytes;
}

bool saveIcon(const std::vector<QImage>& pictures, const QString& folder, const QString& name,
              QTextStream& err) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    const QByteArray bytes = iconFile(pictures);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        err << "drawassets: cannot write " << path << "\n";
        return false;
    }
    return true;
}

bool save(const QImage& image, const QString& folder, const QString& name, QTextStream& err) {
    const QString path = QDir(folder).filePath(name);
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        err << "drawassets: cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() > 1 || (!args.isEmpty() && args.first().startsWith(QLatin1Char('-')))) {
        err << "usage: drawassets [FOLDER]\n";
        return 2;
    }
    const QString folder = args.isEmpty() ? QStringLiteral(QO_ASSET_IMAGES_DIR) : args.first();
    if (!QDir().mkpath(folder)) {
        err << "drawassets: cannot make " << folder << "\n";
        return 2;
    }

    std::map<QString, QImage> images = {
        {QStringLiteral("banner.png"), banner()},
        {QStringLiteral("author.png"), authorPicture()},
        {QStringLiteral("exit.png"), exitPicture()},
        {QStringLiteral("credits.png"), creditsPicture()},
        {QStringLiteral("pointer-red-arrow.png"), arrow(Qt::red, Qt::white)},
        {QStringLiteral("pointer-white-arrow.png"), arrow(Qt::white, Qt::black)},
        {QStringLiteral("pointer-up-arrow.png"), upArrow()},
        {QStringLiteral("pointer-no-entry.png"), noEntry()},
        {QStringLiteral("pointer-magnifier.png"), magnifier()},
        {QStringLiteral("corner-logo.png"), face(3)},
    };
    for (int i = 0; i < 8; ++i) {
        images[QStringLiteral("face%1.png").arg(i)] = face(i);
        if (i <= 5)
            images[QStringLiteral("face%1-16.png").arg(i)] = smallFace(i);
    }

    for (const int size : IconSizes) {
        images[QStringLiteral("icons/kviz-%1.png").arg(size)] = programIcon(false, size);
        images[QStringLiteral("icons/editor-pitanja-%1.png").arg(size)] = programIcon(true, size);
    }

    for (const int size : IconSizes)
        images[QStringLiteral("icons/kviz-set-%1.png").arg(size)] = setIcon(size);

    if (!QDir(folder).mkpath(QStringLiteral("icons"))) {
        err << "drawassets: cannot make " << folder << "/icons\n";
        return 2;
    }
    bool ok = true;
    for (const auto& [name, image] : images)
        ok = save(image, folder, name, err) && ok;
    for (const bool editor : {false, true}) {
        std::vector<QImage> pictures;
        for (const int size : WindowsIconSizes)
            pictures.push_back(programIcon(editor, size));
        const QString name =
            editor ? QStringLiteral("icons/editor-pitanja.ico") : QStringLiteral("icons/kviz.ico");
        ok = saveIcon(pictures, folder, name, err) && ok;
    }
    std::vector<QImage> setPictures;
    for (const int size : WindowsIconSizes)
        setPictures.push_back(setIcon(size));
    ok = saveIcon(setPictures, folder, QStringLiteral("icons/kviz-set.ico"), err) && ok;
    return ok ? 0 : 1;
}
