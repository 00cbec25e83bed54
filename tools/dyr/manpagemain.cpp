// dyrman VERSION DATE OUT: writes dyr's manual page, made from its help text.
#include "dyr.h"
#include "manpage.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 4) {
        err << "upotreba: dyrman VERZIJA DATUM IZLAZ\n";
        return 2;
    }
    QSaveFile file(args[3]);
    const QByteArray page = dyr::manPage(dyr::helpText(), args[1], args[2]).toUtf8();
    if (dyr::helpText().isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(page) != page.size() || !file.commit()) {
        err << "dyrman: datoteka " << args[3] << " nije zapisana: " << file.errorString() << "\n";
        return 1;
    }
    return 0;
}
