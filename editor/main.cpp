// [qo] editor pitanja: edits the question sets the quiz plays.
#include "assets.h"
#include "commandline.h"
#include "program.h"
#include "setfolder.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Answered before the application starts, so they work without a display.
    const int answered = qo::answerCommandLine(
        argc, argv,
        {QStringLiteral("[qo] editor pitanja"), QStringLiteral("editor-pitanja"),
         QStringLiteral("uredjivanje pitanja za [qo] Kviz.")});
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(assets::windowIcon(assets::ProgramIcon::Editor));
    QGuiApplication::setDesktopFileName(QStringLiteral(QO_DESKTOP_ID));
    // Where the programs' folder is read-only this makes the user's set folder.
    qo::SetFolder::path();

    // Sets named on the command line (a double click on a set gives its path); options
    // the program doesn't know are ignored, as they always were.
    QStringList files;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--")) {
            files << arguments.mid(i + 1);
            break;
        }
        if (!arguments[i].startsWith(QLatin1Char('-')))
            files << arguments[i];
    }

    editor::Program program;
    program.start(files);
    return app.exec();
}
