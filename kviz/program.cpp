#include "program.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

#include <utility>

namespace kviz {

namespace {

// Off unless asked for (QT_LOGGING_RULES="qo.kviz.sets.info=true"): the set a program
// started with a file name opened, as a file URL (plain ASCII in any console), for the
// checks of the installed packages.
Q_LOGGING_CATEGORY(lcSets, "qo.kviz.sets", QtWarningMsg)

} // namespace

Program::Program() : form1(*this), form2(*this), form3(*this), form4(*this) {}

QString Program::fullPath(const QString& file) {
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

void Program::start(const QStringList& namedSets) {
    if (!namedSets.isEmpty()) {
        m_namedSet = fullPath(namedSets.first());
        m_notPlayed = namedSets.mid(1);
    }
    rt::startUp();
    rt::runHandler([this] { form1.Show(); });
}

bool Program::playNamedSet() {
    if (m_namedSet.isEmpty())
        return false;
    const QString set = std::exchange(m_namedSet, QString());
    if (!m_notPlayed.isEmpty()) {
        rt::MsgBox(QStringLiteral("Kviz igra jedan set pitanja, \"%1\". Ostali nisu otvoreni: "
                                  "\"%2\".")
                       .arg(set, std::exchange(m_notPlayed, {}).join(QStringLiteral("\", \""))),
                   rt::vbInformation, QStringLiteral("[qo] Kviz"));
    }
    module1.SetFileName = set;
    // A set the quiz window can't play is reported as for the menu's sets.
    bool shown = false;
    rt::runHandler([&] {
        form3.Show();
        shown = true;
    });
    if (shown)
        qCInfo(lcSets, "igra %s", QUrl::fromLocalFile(set).toEncoded().constData());
    return shown;
}

} // namespace kviz
