// dyr: the authors' command-line tool for question-set files (see dyr --help).
#include "commandline.h"
#include "dyr.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <memory>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> app;
    if (dyr::drawsPages(args)) {
        // dyr says itself what goes wrong; the platform's remarks on the environment
        // (such as a missing XDG_RUNTIME_DIR) are not for its users.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        // No window is shown, so no display is needed.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QO_DRAWING_PLATFORM);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    args = app->arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args == QStringList{QStringLiteral("--version")}) {
        out << "dyr " << qo::version() << "\n";
        return 0;
    }
    // Standard input, for a file named "-"; reported as missing when it isn't open.
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    return dyr::run(args, out, err, &in);
}
