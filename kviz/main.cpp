// [qo] Kviz: a multiple-choice quiz about the [qo] community.
#include "program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kviz::Program program;
    program.start();
    return app.exec();
}
