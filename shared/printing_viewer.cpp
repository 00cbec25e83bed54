// Printing where Qt has no print support: the pages go to a PDF file in the temporary
// folder, which the system's PDF viewer opens and prints.
#include "printing.h"

#include <QDir>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace rt {

bool printDocument(const PrintJob& job) {
    // Kept after the program ends: the viewer reads it after we hand it over.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/qo-stampa-XXXXXX.pdf"));
    file.setAutoRemove(false);
    if (!file.open())
        return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(job.title);
        writer.setCreator(QStringLiteral("[qo] editor pitanja"));
        writer.setPageLayout(job.layout);
        job.paint(writer);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return false;
    return OpenDocument(file.fileName());
}

} // namespace rt
