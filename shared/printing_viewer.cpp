// Printing where Qt has no print support: the pages go to a PDF file in the temporary
// folder, which the system's PDF viewer opens and prints.
#include "printing.h"

#include "filefault.h"
#include "rterror.h"

#include <QDir>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace rt {

bool printDocument(const PrintJob& job) {
    // Kept after the program ends: the viewer reads it after we hand it over.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/qo-stampa-XXXXXX.pdf"));
    file.setAutoRemove(false);
    if (!file.open()) {
        qo::FileFault fault(qo::FileFault::What::Save, file.fileTemplate(),
                            qo::FileFault::Why::FolderRefuses);
        fault.folder = QDir::tempPath();
        raise(fault);
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(job.title);
        writer.setCreator(QStringLiteral("[qo] editor pitanja"));
        writer.setPageLayout(job.layout);
        job.paint(writer);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        raise(qo::FileFault(qo::FileFault::What::Save, file.fileName()));
    if (OpenDocument(file.fileName()))
        return true;
    MsgBox(QStringLiteral("Nijedan program na ovom racunaru ne otvara PDF. Dokument je zapisan u "
                          "\"%1\": otvorite ga i odstampajte sami.")
               .arg(QDir::toNativeSeparators(file.fileName())),
           vbExclamation, QStringLiteral("Stampa"));
    return false;
}

} // namespace rt
