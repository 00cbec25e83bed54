// The test on paper: which records it shows, and how its pages are laid out and drawn.
#include "sheet.h"

#include "support.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace dyr {

namespace {

constexpr double MarginMillimetres = 20;

QFont serif(double points, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// One paragraph of a page: its text wraps within the page's width.
struct Paragraph {
    QString text;
    QFont font;
    double indent = 0;     // points from the left margin
    double above = 0;      // points of space before it
    bool mark = false;     // an empty circle before it, to mark an answer in
    bool fillLine = false; // a line after the text to the right margin, to write on
};

// Paragraphs kept together on one page.
using Block = QList<Paragraph>;

// The test and the key, each starting on a page of its own.
QList<QList<Block>> partsOf(const Sheet& sheet) {
    QList<Block> test;
    test.append({{QStringLiteral("Test: %1").arg(sheet.title), serif(16, true)},
                 {QStringLiteral("Ime i prezime:"), serif(12), 0, 14, false, true},
                 {QStringLiteral("Za svako pitanje zaokruzite jedan odgovor."),
                  serif(11, false, true), 0, 10}});
    QList<Block> key;
    key.append({{QStringLiteral("Kljuc odgovora: %1").arg(sheet.title), serif(16, true)}});
    for (int k = 0; k < sheet.questions.size(); ++k) {
        const PlainQuestion& q = sheet.questions[k];
        Block block{{QStringLiteral("%1. %2").arg(k + 1).arg(q.texts[0]), serif(12, true), 0, 14}};
        for (int a = 0; a < 4; ++a)
            block.append({QStringLiteral("%1) %2").arg(support::letter(a)).arg(q.texts[a + 1]),
                          serif(12), 34, 3, true});
        test.append(block);
        const QString answer = q.correct >= 0 ? QStringLiteral("%1) %2")
                                                    .arg(support::letter(q.correct))
                                                    .arg(q.texts[q.correct + 1])
                                              : QStringLiteral("tacan odgovor nije oznacen");
        key.append({{QStringLiteral("%1. %2").arg(k + 1).arg(answer), serif(12), 0, 6}});
    }
    return {test, key};
}

// Lays the parts out on the device's pages and, with a painter, draws them with the
// page numbers; gives the number of pages.
int layOut(const QList<QList<Block>>& parts, QPagedPaintDevice& device, QPainter* painter,
           int pages) {
    const double pointsToPixels = device.logicalDpiY() / 72.0;
    const auto px = [pointsToPixels](double points) { return points * pointsToPixels; };
    const double width = device.width();
    const QFont footerFont = serif(9);
    const double bottom = device.height() - QFontMetricsF(footerFont, &device).height() - px(6);
    int page = 0;
    double y = 0;
    // Numbers the page in hand; unless it was the last, goes on to the next.
    const auto endPage = [&](bool last) {
        if (painter) {
            painter->setFont(footerFont);
            painter->drawText(QRectF(0, bottom, width, device.height() - bottom),
                              Qt::AlignHCenter | Qt::AlignBottom,
                              QStringLiteral("Strana %1 od %2").arg(page + 1).arg(pages));
            if (!last)
                device.newPage();
        }
        ++page;
        y = 0;
    };
    const auto measure = [&](const Paragraph& p) {
        const double left = px(p.indent);
        const QRectF room(left, 0, std::max(1.0, width - left), 1e9);
        return QFontMetricsF(p.font, &device).boundingRect(room, Qt::TextWordWrap, p.text).height();
    };
    for (qsizetype part = 0; part < parts.size(); ++part) {
        if (part > 0)
            endPage(false);
        for (const Block& block : parts[part]) {
            double height = 0;
            for (const Paragraph& p : block)
                height += px(p.above) + measure(p);
            // A block starts a page where it doesn't fit; one that fits no page at all
            // goes on from the top of its own.
            if (y > 0 && y + height > bottom)
                endPage(false);
            for (const Paragraph& p : block) {
                y += px(p.above);
                const double textHeight = measure(p);
                if (painter) {
                    const double left = px(p.indent);
                    painter->setFont(p.font);
                    const QRectF box(left, y, width - left, textHeight);
                    QRectF used;
                    painter->drawText(box, Qt::TextWordWrap, p.text, &used);
                    const QFontMetricsF metrics(p.font, &device);
                    if (p.mark) {
                        const double size = metrics.ascent() * 0.8;
                        const QRectF circle(left - px(8) - size, y + metrics.ascent() - size, size,
                                            size);
                        painter->drawEllipse(circle);
                    }
                    if (p.fillLine) {
                        const double baseline = y + metrics.ascent() + px(1);
                        painter->drawLine(QPointF(used.right() + px(6), baseline),
                                          QPointF(width, baseline));
                    }
                }
                y += textHeight;
            }
        }
    }
    endPage(true);
    return page;
}

} // namespace

bool Sheet::ok() const {
    return !support::hasErrors(notes);
}

Sheet testSheet(const QList<qo::QuestionRecord>& records, const QString& title) {
    Sheet sheet;
    sheet.title = title;
    for (int i = 0; i < records.size(); ++i) {
        const qo::QuestionRecord& r = records[i];
        const int n = i + 1;
        if (qo::holdsNoQuestion(r)) {
            if (qo::showsAnyAnswer(r))
                sheet.notes.append({n,
                                    QStringLiteral("zapis %1 ima odgovore, a nema pitanje, pa "
                                                   "nije na testu")
                                        .arg(n),
                                    true});
            continue;
        }
        PlainQuestion q;
        q.line = n;
        const auto texts = r.texts();
        for (int t = 0; t < 5; ++t)
            q.texts[t] = qo::shownText(*texts[t]).trimmed();
        if (r.Correct >= 0 && r.Correct <= 3) {
            q.correct = r.Correct;
        } else {
            q.correct = -1;
            sheet.notes.append({n,
                                QStringLiteral("zapis %1: tacan odgovor (%2) nije od A do D, pa "
                                               "ga kljuc ne navodi")
                                    .arg(n)
                                    .arg(r.Correct),
                                true});
        }
        sheet.questions.append(q);
    }
    if (sheet.questions.isEmpty())
        sheet.notes.append({0, QStringLiteral("nijedan zapis nema pitanje, pa nema testa"), false});
    return sheet;
}

QPageLayout sheetLayout(QPageSize::PageSizeId paper) {
    return QPageLayout(
        QPageSize(paper), QPageLayout::Portrait,
        QMarginsF(MarginMillimetres, MarginMillimetres, MarginMillimetres, MarginMillimetres),
        QPageLayout::Millimeter);
}

void paintSheet(const Sheet& sheet, QPagedPaintDevice& device) {
    const QList<QList<Block>> parts = partsOf(sheet);
    const int pages = layOut(parts, device, nullptr, 0);
    QPainter painter(&device);
    layOut(parts, device, &painter, pages);
}

QByteArray sheetPdf(const Sheet& sheet, QPageSize::PageSizeId paper) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Test: %1").arg(sheet.title));
        writer.setCreator(QStringLiteral("[qo] Kviz"));
        writer.setPageLayout(sheetLayout(paper));
        paintSheet(sheet, writer);
    }
    return bytes;
}

} // namespace dyr
