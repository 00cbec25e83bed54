// [qo] Kviz: a multiple-choice quiz about the [qo] community.
#include "assets.h"
#include "commandline.h"
#include "program.h"
#include "setfolder.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Answered before the application starts, so they work without a display.
    const int answered = qo::answerCommandLine(
        argc, argv,
        {QStringLiteral("[qo] Kviz"), QStringLiteral("kviz"),
         QStringLiteral("kviz sa pitanjima o [qo] zajednici."), QStringLiteral("[set.dyr]"),
         QStringLiteral("Sa imenom datoteke seta pitanja (.dyr) kviz posle uvodnog ekrana\n"
                        "igra pitanja iz nje; dugme \"Meni\" zatim vodi u meni sa pitanjima\n"
                        "autora. Kviz tu datoteku samo cita, nikad je ne menja.")});
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(assets::windowIcon(assets::ProgramIcon::Quiz));
    QGuiApplication::setDesktopFileName(QStringLiteral(QO_DESKTOP_ID));
    // Where the programs' folder is read-only this makes the user's set folder.
    qo::SetFolder::path();

    kviz::Program program;
    program.start(qo::namedFiles(QCoreApplication::arguments()));
    return app.exec();
}
