#include "testsupport.h"

#include "apppath.h"
#include "questionsetfile.h"
#include "runtime.h"
#include "setfolder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

#if defined(Q_OS_WIN)
namespace {
// On Windows the offscreen platform draws with FreeType and knows only the faces of one
// folder (QT_QPA_FONTDIR), with no aliases and full hinting. Where it has no Times New
// Roman, Liberation Serif, drawn to the same metrics, stands in for it, and glyphs are
// hinted only vertically, as fontconfig makes it on Linux: with fully hinted widths
// some captions grow past their boxes.
void drawFontsAsOnLinux() {
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont font;
    font.setHintingPreference(QFont::PreferVerticalHinting);
    QGuiApplication::setFont(font);
}
Q_COREAPP_STARTUP_FUNCTION(drawFontsAsOnLinux)
} // namespace
#endif

namespace testsupport {

ScriptedResponder::ScriptedResponder() {
    rt::setMessageResponder([this](const QString& prompt, int flags, const QString& title) {
        const MessageCall call{prompt, flags, title};
        m_calls.append(call);
        if (onMessage)
            onMessage(call);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        if (chooseAnswer)
            return chooseAnswer(call);
        return (flags & 7) == rt::vbYesNo ? int(rt::vbNo) : int(rt::vbOK);
    });
    rt::setEndHandler([this] { ++m_endCount; });
    rt::setFileResponder([this](const rt::FileQuestion& question) {
        m_fileQuestions.append(question);
        return m_files.isEmpty() ? rt::FileAnswer{} : m_files.takeFirst();
    });
    rt::setDocumentOpener([this](const QString& path) {
        m_documents.append(path);
        return documentsOpen;
    });
    rt::setPrintResponder([this](const rt::PrintJob& job) {
        m_printJobs.append(job);
        m_printed.append(pdfOf(job));
        return true;
    });
}

ScriptedResponder::~ScriptedResponder() {
    rt::setMessageResponder({});
    rt::setEndHandler({});
    rt::setFileResponder({});
    rt::setDocumentOpener({});
    rt::setPrintResponder({});
}

QByteArray pdfOf(const rt::PrintJob& job) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(job.layout);
        job.paint(writer);
    }
    return bytes;
}

std::optional<QString> pdfText(const QByteArray& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.pdf"));
    writeAll(path, pdf);
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                   QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TempAppFolder::TempAppFolder() {
    rt::setAppPathForTesting(m_dir.path());
}

TempAppFolder::~TempAppFolder() {
    rt::setAppPathForTesting(QString());
}

namespace {
QtMessageHandler previousHandler = nullptr;
}

void quietRaiseWarnings() {
    previousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtWarningMsg && message.contains(QLatin1String("does not support raise()")))
                return;
            if (previousHandler)
                previousHandler(type, context, message);
        });
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray bytesOf(const QList<qo::QuestionRecord>& records) {
    QByteArray bytes;
    for (const qo::QuestionRecord& r : records)
        bytes += r.toBytes();
    return bytes;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void writeSet(const QString& name, const QList<qo::QuestionRecord>& records) {
    qo::QuestionSetFile file;
    file.OpenSetFile(name);
    for (int i = 0; i < records.size(); ++i)
        file.WriteQuestion(i + 1, records[i]);
    file.CloseSetFile();
}

qo::QuestionRecord taggedRecord(int n, QChar tag) {
    qo::QuestionRecord r;
    r.Number = QString::number(n);
    r.Question = QStringLiteral("Pitanje %1 ").arg(n) + QString(60, tag);
    r.Correct = static_cast<std::int16_t>(n % 4);
    for (int i = 0; i < 4; ++i)
        r.Answers[i] = QString(70, tag) + QString::number(i);
    return r;
}

QChar tagOf(const qo::QuestionRecord& record, int n) {
    const QString& answer = record.Answers[0].text();
    const QChar tag = answer.isEmpty() ? QChar() : answer.at(0);
    if (tag.isNull() || !(record == taggedRecord(n, tag)))
        return QChar();
    return tag;
}

bool isRoot() {
#if defined(Q_OS_UNIX)
    return ::geteuid() == 0;
#else
    return false;
#endif
}

#if defined(Q_OS_WIN)
namespace {
// Qt asks Windows for the user's data location, which no environment variable
// moves; Qt's test mode keeps every test off the real one from the start.
const bool testPaths = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();
QString windowsDataHome;
} // namespace

void setDataHome(const QString& folder) {
    windowsDataHome = folder;
    qo::SetFolder::setDataLocationForTesting(folder);
}

QString dataHome() {
    return windowsDataHome.isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
               : windowsDataHome;
}
#else
namespace {
const QByteArray startingDataHome = qgetenv("XDG_DATA_HOME");
}

void setDataHome(const QString& folder) {
    if (!folder.isEmpty())
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder));
    else if (startingDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", startingDataHome);
}

QString dataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
#endif

bool runProgram(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QList<OddSet> oddSets() {
    QFile file(
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/oddsets.json")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("can't read %s", qPrintable(file.fileName()));
    const QJsonArray sets = QJsonDocument::fromJson(file.readAll())["sets"].toArray();
    const auto strings = [](const QJsonValue& value) {
        QStringList list;
        for (const QJsonValue& v : value.toArray())
            list << v.toString();
        return list;
    };
    QList<OddSet> rows;
    for (const QJsonValue& value : sets) {
        const QJsonObject set = value.toObject();
        OddSet row;
        row.name = set["name"].toString();
        const QJsonArray records = set["records"].toArray();
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QJsonArray fields = records[i].toArray();
            const int place = static_cast<int>(i) + 1;
            qo::QuestionRecord r; // a field left null keeps its NUL characters
            if (!fields[0].isNull())
                r.Number = fields[0].toString();
            r.Correct = static_cast<std::int16_t>(fields[1].toInt());
            if (fields.size() < 3)
                r.Question = QStringLiteral("Pitanje broj %1?").arg(place);
            else if (!fields[2].isNull())
                r.Question = fields[2].toString();
            for (int a = 0; a < 4; ++a)
                r.Answers[a] = QStringLiteral("Odgovor %1 %2").arg(QChar(u'A' + a)).arg(place);
            row.records << r;
        }
        for (const QJsonValue& v : set["answers"].toArray())
            row.answers << v.toInt();
        row.numbers = strings(set["numbers"]);
        for (const QJsonValue& v : set["verdicts"].toArray())
            row.verdicts << v.toBool();
        row.score = strings(set["score"]);
        row.oddities = strings(set["oddities"]);
        row.refused = set["refused"].toString();
        rows << row;
    }
    return rows;
}

} // namespace testsupport
