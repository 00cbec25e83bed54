// [qo] editor pitanja: edits the question sets the quiz plays.
#include "assets.h"
#include "commandline.h"
#include "program.h"
#include "setfolder.h"

#include <QApplication>
#include <QUrl>

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
    // A file manager may name a file as a file:// address.
    const auto file = [](const QString& argument) {
        return argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile()
                                                           : argument;
    };
    QStringList files;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--")) {
            for (const QString& rest : arguments.mid(i + 1))
                files << file(rest);
            break;
        }
        if (!arguments[i].startsWith(QLatin1Char('-')))
            files << file(arguments[i]);
    }

    editor::Program program;
    program.start(files);
    return app.exec();
}
