// A set as a test on paper: the questions with their four answers, nothing marked,
// and a line for the name; then, on a page of its own, the answer key. Drawn on a
// printer or into a PDF with QtGui alone, so the editor and dyr make the same pages.
#pragma once

#include "formats.h"
#include "questionrecord.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;

namespace dyr {

struct Sheet {
    QString title;                  // the set's name, at the top of the test and the key
    QList<PlainQuestion> questions; // texts as the windows show them; correct -1: none of A to D
    QList<Note> notes;              // line 0; each message names its record
    bool ok() const;
};

// The test of a set: every record that holds a question, in order, numbered from 1.
// A record without a question is left out, with a warning where it holds answers;
// a right answer outside A to D is warned of and left out of the key. A set without
// any question is refused.
Sheet testSheet(const QList<qo::QuestionRecord>& records, const QString& title);

// The pages of a sheet: A4 or Letter, upright, with margins of 20 mm.
QPageLayout sheetLayout(QPageSize::PageSizeId paper);

// Draws the sheet on a printer or a PDF writer, in the page layout it has, starting
// pages as they fill.
void paintSheet(const Sheet& sheet, QPagedPaintDevice& device);

// The sheet as the bytes of a PDF file. Needs a QGuiApplication (for the fonts).
QByteArray sheetPdf(const Sheet& sheet, QPageSize::PageSizeId paper);

} // namespace dyr
