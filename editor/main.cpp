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
         QStringLiteral("uredjivanje pitanja za [qo] Kviz.")});
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(assets::windowIcon(assets::ProgramIcon::Editor));
    QGuiApplication::setDesktopFileName(QStringLiteral(QO_EDITOR_DESKTOP_ID));
    // Where the programs' folder is read-only this makes the user's set folder.
    qo::SetFolder::path();

    editor::Program program;
    program.start();
    return app.exec();
}
