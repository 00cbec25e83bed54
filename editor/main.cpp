// [qo] editor pitanja: edits the question sets the quiz plays.
#include "program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    editor::Program program;
    program.start();
    return app.exec();
}
