// [qo] Kviz: a multiple-choice quiz about the [qo] community.
#include "assets.h"
#include "buildconfig.h"
#include "commandline.h"
#include "program.h"
#include "setfolder.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Answered before the application starts, so they work without a display.
    const int answered =
        qo::answerCommandLine(argc, argv,
                              {QStringLiteral("[qo] Kviz"), QStringLiteral("kviz"),
                               QStringLiteral("kviz sa pitanjima o [qo] zajednici.")});
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(assets::windowIcon(assets::ProgramIcon::Quiz));
    QGuiApplication::setDesktopFileName(QStringLiteral(QO_KVIZ_DESKTOP_ID));
    // Where the programs' folder is read-only this makes the user's set folder.
    qo::SetFolder::path();

    kviz::Program program;
    program.start();
    return app.exec();
}
