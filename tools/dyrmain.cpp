// dyr: the authors' command-line tool for question-set files (see dyr --help).
#include "dyr.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return dyr::run(app.arguments().mid(1), out, err);
}
