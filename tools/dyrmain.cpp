// dyr: the authors' command-line tool for question-set files (see dyr --help).
#include "dyr.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Standard input, for a file named "-"; reported as missing when it isn't open.
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    return dyr::run(app.arguments().mid(1), out, err, &in);
}
