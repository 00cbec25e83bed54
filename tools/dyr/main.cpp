// dyr: the authors' command-line tool for question-set files (see dyr --help).
#include "commandline.h"
#include "dyr.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--version")}) {
        out << "dyr " << qo::version() << "\n";
        return 0;
    }
    // Standard input, for a file named "-"; reported as missing when it isn't open.
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    return dyr::run(args, out, err, &in);
}
