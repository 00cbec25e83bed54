// Printing with Qt's print support: a preview of the pages, from which the system's
// print dialog prints them.
#include "controls.h"
#include "printing.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace rt {

bool printDocument(const PrintJob& job) {
    if (printResponder())
        return printResponder()(job);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.title);
    printer.setPageLayout(job.layout);
    QPrintPreviewDialog preview(&printer, QApplication::activeWindow());
    preview.setPalette(classicPalette());
    preview.setWindowTitle(job.title);
    preview.setAccessibleName(job.title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&job](QPrinter* target) { job.paint(*target); });
    return preview.exec() == QDialog::Accepted;
}

} // namespace rt
