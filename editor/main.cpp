// [qo] editor pitanja: edits the question sets the quiz plays.
#include "assets.h"
#include "buildconfig.h"
#include "commandline.h"
#include "program.h"
#include "setfolder.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Answered before the application starts, so they work without a display.
    const int answered = qo::answerCommandLine(
        argc, argv,
        {QStringLiteral("[qo] editor pitanja"), QStringLiteral("editor-pitanja"),
         QStringLiteral("uredjivanje pitanja za [qo] Kviz."), QStringLiteral("[set.dyr]"),
         QStringLiteral("Sa imenom datoteke seta pitanja (.dyr) editor pocinje sa tim setom\n"
                        "otvorenim, a \"Snimi\" ga snima nazad u nju. Sa imenom datoteke\n"
                        "pitanja u formatu Moodle XML, GIFT, Aiken ili CSV editor uvozi\n"
                        "njena pitanja.")});
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(assets::windowIcon(assets::ProgramIcon::Editor));
    QGuiApplication::setDesktopFileName(QStringLiteral(QO_EDITOR_DESKTOP_ID));
    // Where the programs' folder is read-only this makes the user's set folder.
    qo::SetFolder::path();

    editor::Program program;
    // Sets named on the command line (a double click on a set gives its path).
    program.start(qo::namedFiles(QCoreApplication::arguments()));
    return app.exec();
}
