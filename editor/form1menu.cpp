// The editor window's menu: sets anywhere, questions of other quiz tools in and out,
// the quiz as a web page and a test on paper; and files named on the command line
// or dropped on the window. Whatever needs a file asks the system's file dialog, and
// cancelling it changes nothing.
#include "filefault.h"
#include "form1.h"
#include "program.h"
#include "questionsetfile.h"
#include "rterror.h"
#include "setshape.h"
#include "sheet.h"
#include "webpage.h"
#include "wholefile.h"

#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QStandardPaths>

#include <algorithm>

namespace editor {

namespace {

const QString SetFilter = QStringLiteral("Set pitanja (*.dyr)");
const QString AllFiles = QStringLiteral("Svi fajlovi (*)");
const QString QuestionFiles =
    QStringLiteral("Pitanja drugih alata (*.xml *.gift *.aiken *.txt *.csv)");
const QString FormatList = QStringLiteral("Moodle XML, GIFT, Aiken ili CSV");

// The formats as the file dialogs offer them, and the extension a new file gets.
struct FormatChoice {
    dyr::Format format;
    QString name;
    QString filter;
    QString suffix;
};

const QList<FormatChoice>& formatChoices() {
    static const QList<FormatChoice> choices = {
        {dyr::Format::Moodle, QStringLiteral("Moodle XML"), QStringLiteral("Moodle XML (*.xml)"),
         QStringLiteral("xml")},
        {dyr::Format::Gift, QStringLiteral("GIFT"), QStringLiteral("GIFT (*.gift *.txt)"),
         QStringLiteral("txt")},
        {dyr::Format::Aiken, QStringLiteral("Aiken"), QStringLiteral("Aiken (*.aiken *.txt)"),
         QStringLiteral("txt")},
        {dyr::Format::Csv, QStringLiteral("CSV"), QStringLiteral("CSV (*.csv)"),
         QStringLiteral("csv")},
    };
    return choices;
}

const FormatChoice* choiceOf(dyr::Format format) {
    for (const FormatChoice& choice : formatChoices()) {
        if (choice.format == format)
            return &choice;
    }
    return nullptr;
}

const FormatChoice* choiceByFilter(const QString& filter) {
    for (const FormatChoice& choice : formatChoices()) {
        if (choice.filter == filter)
            return &choice;
    }
    return nullptr;
}

// The path with the extension added where it has none.
QString withSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// What a source file holds, read as dyr reads it.
QByteArray readSource(const QString& path) {
    qo::FileFault fault;
    std::optional<QByteArray> bytes = qo::readWholeFile(path, &fault);
    if (!bytes)
        rt::raise(fault);
    return *std::move(bytes);
}

// The notes, one a line, as dyr prints them.
QString noteLines(const QString& source, const QList<dyr::Note>& notes, bool lines) {
    QStringList texts;
    for (const dyr::Note& note : notes)
        texts << dyr::noteLine(source, note, lines);
    return texts.join(QLatin1Char('\n'));
}

QList<dyr::Note> errorsOf(const QList<dyr::Note>& notes) {
    QList<dyr::Note> errors;
    std::copy_if(notes.begin(), notes.end(), std::back_inserter(errors),
                 [](const dyr::Note& n) { return !n.warning; });
    return errors;
}

int countRemedy(const QList<dyr::Note>& notes, dyr::Remedy remedy) {
    return static_cast<int>(std::count_if(notes.begin(), notes.end(), [remedy](const dyr::Note& n) {
        return !n.warning && n.remedy == remedy;
    }));
}

} // namespace

void Form1::createMenu() {
    MenuBar1 = new QMenuBar;
    MenuBar1->setObjectName(QStringLiteral("MenuBar1"));
    MenuBar1->setAccessibleName(QStringLiteral("Meni editora"));
    // The menu speaks in the platform's own font, as menus of classic windows do.
    MenuBar1->setFont(rt::defaultFont());
    const auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = MenuBar1->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->setFont(rt::defaultFont());
        m->setAccessibleName(rt::spokenText(caption));
        return m;
    };
    const auto item = [this](QMenu* in, const char* name, const QString& caption,
                             const QString& description, std::function<void()> handler,
                             const QKeySequence& keys = {}) {
        QAction* action = in->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(description);
        action->setWhatsThis(description);
        if (!keys.isEmpty())
            action->setShortcut(keys);
        on(action, &QAction::triggered, std::move(handler));
        return action;
    };

    mnuFile = menu("mnuFile", QStringLiteral("&Datoteka"));
    mnuOpen = item(
        mnuFile, "mnuOpen", QStringLiteral("&Otvori set..."),
        QStringLiteral("Otvara set pitanja (.dyr) iz bilo kog foldera"),
        [this] { mnuOpen_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSaveAs = item(
        mnuFile, "mnuSaveAs", QStringLiteral("Snimi set &kao..."),
        QStringLiteral("Snima pitanja u drugi set pitanja, u bilo kom folderu"),
        [this] { mnuSaveAs_Click(); }, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuFile->addSeparator();
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("&Izlaz"),
                   QStringLiteral("Zatvara editor, pitajuci za nesnimljene izmene"),
                   [this] { window()->close(); });

    mnuTransfer = menu("mnuTransfer", QStringLiteral("&Uvoz i izvoz"));
    mnuImport = item(
        mnuTransfer, "mnuImport", QStringLiteral("&Uvezi pitanja..."),
        QStringLiteral("Unosi u tabelu pitanja iz fajla u formatu ") + FormatList,
        [this] { mnuImport_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuExport = item(
        mnuTransfer, "mnuExport", QStringLiteral("&Izvezi pitanja..."),
        QStringLiteral("Zapisuje pitanja u fajl u formatu ") + FormatList,
        [this] { mnuExport_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuTransfer->addSeparator();
    mnuPublish = item(mnuTransfer, "mnuPublish", QStringLiteral("&Objavi kao veb stranu..."),
                      QStringLiteral("Zapisuje kviz kao jednu veb stranu koja radi u svakom "
                                     "pregledacu"),
                      [this] { mnuPublish_Click(); });

    mnuPrinting = menu("mnuPrinting", QStringLiteral("S&tampa"));
    mnuPrint = item(
        mnuPrinting, "mnuPrint", QStringLiteral("&Stampaj test..."),
        QStringLiteral("Stampa test sa pitanjima i, na posebnoj strani, kljuc "
                       "odgovora"),
        [this] { mnuPrint_Click(); }, QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuPdf = item(mnuPrinting, "mnuPdf", QStringLiteral("Sacuvaj test kao &PDF..."),
                  QStringLiteral("Zapisuje test i kljuc odgovora u PDF fajl"),
                  [this] { mnuPdf_Click(); });
    mnuPrinting->addSeparator();
    auto* papers = new QActionGroup(mnuPrinting);
    mnuA4 = item(mnuPrinting, "mnuA4", QStringLiteral("Papir &A4"),
                 QStringLiteral("Test se stampa na papiru A4"),
                 [this] { mnuPaper_Click(QPageSize::A4); });
    mnuLetter = item(mnuPrinting, "mnuLetter", QStringLiteral("Papir &Letter"),
                     QStringLiteral("Test se stampa na papiru Letter"),
                     [this] { mnuPaper_Click(QPageSize::Letter); });
    for (QAction* paper : {mnuA4.data(), mnuLetter.data()}) {
        paper->setCheckable(true);
        papers->addAction(paper);
    }
    (Paper == QPageSize::Letter ? mnuLetter : mnuA4)->setChecked(true);

    window()->setMenuBar(MenuBar1);
}

void Form1::mnuOpen_Click() {
    const rt::FileAnswer answer = askFile(
        {false, QStringLiteral("Otvori set pitanja"), dialogFolder(), {SetFilter, AllFiles}});
    if (answer.path.isEmpty())
        return;
    openSetAt(answer.path);
}

void Form1::openSetAt(const QString& path) {
    if (!numberBoxAllows(0))
        return;
    if (!settleUnsavedChanges())
        return;
    const QString fileName = QFileInfo(path).absoluteFilePath();
    // Read before the file is chosen, so that a file that can't be read leaves the
    // choice as it was.
    const auto table = readSet(fileName, false);
    chooseFile(fileName);
    showOpenedSet(table, SetFileName);
}

void Form1::mnuSaveAs_Click() {
    const rt::FileAnswer answer = askFile({true,
                                           QStringLiteral("Snimi set pitanja kao"),
                                           suggestedPath(setTitle() + QStringLiteral(".dyr")),
                                           {SetFilter}});
    if (answer.path.isEmpty())
        return;
    const QString fileName =
        QFileInfo(withSuffix(answer.path, QStringLiteral("dyr"))).absoluteFilePath();
    if (!save(fileName))
        return;
    chooseFile(fileName);
    m_changesFile = SetFileName;
    showFileInCaption();
}

void Form1::mnuImport_Click() {
    QStringList filters{QuestionFiles};
    for (const FormatChoice& choice : formatChoices())
        filters << choice.filter;
    filters << AllFiles;
    const rt::FileAnswer answer =
        askFile({false, QStringLiteral("Uvezi pitanja"), dialogFolder(), filters});
    if (answer.path.isEmpty())
        return;
    const FormatChoice* chosen = choiceByFilter(answer.filter);
    importFrom(answer.path, chosen ? std::optional(chosen->format) : std::nullopt);
}

void Form1::importFrom(const QString& path, std::optional<dyr::Format> format) {
    const QByteArray source = readSource(path);
    const QString name = QFileInfo(path).fileName();
    if (!format)
        format = dyr::guessFormat(name, source);
    if (!format) {
        rt::MsgBox(QStringLiteral("Fajl \"%1\" nije ni set pitanja (.dyr) ni pitanja u formatu "
                                  "%2. Nista nije promenjeno.")
                       .arg(name, FormatList),
                   rt::vbExclamation, WindowCaption);
        return;
    }
    const QString formatName = choiceOf(*format)->name;
    dyr::ImportOptions options;
    options.skipOthers = true;
    dyr::Imported imported = dyr::importSet(*format, source, options);
    const auto refuse = [&](const QList<dyr::Note>& errors) {
        rt::MsgBox(QStringLiteral("Pitanja iz fajla \"%1\" (%2) se ne mogu uvesti. Nista nije "
                                  "promenjeno.\n\n%3")
                       .arg(name, formatName, noteLines(name, errors, true)),
                   rt::vbCritical, WindowCaption);
    };
    // Faults no answer mends: the source is reported, the table stays as it is.
    QList<dyr::Note> hard = errorsOf(imported.notes);
    hard.removeIf([](const dyr::Note& n) { return n.remedy != dyr::Remedy::None; });
    if (!hard.isEmpty()) {
        refuse(hard);
        return;
    }
    if (countRemedy(imported.notes, dyr::Remedy::First) > 0) {
        const QString prompt =
            QStringLiteral("Pitanja iz fajla \"%1\" koja staju u set: %2. Set ih prima "
                           "najvise %3.\n\nUzeti prvih %3?")
                .arg(name)
                .arg(imported.found)
                .arg(qo::SetRecords);
        if (rt::MsgBox(prompt, rt::vbYesNo + rt::vbQuestion, WindowCaption) != rt::vbYes)
            return;
        options.first = qo::SetRecords;
        imported = dyr::importSet(*format, source, options);
    }
    const int tooLong = countRemedy(imported.notes, dyr::Remedy::Cut);
    const int foreign = countRemedy(imported.notes, dyr::Remedy::Replace);
    if (tooLong + foreign > 0) {
        QString prompt =
            QStringLiteral("Neki tekstovi iz fajla \"%1\" ne staju u set:\n").arg(name);
        if (tooLong > 0)
            prompt += QStringLiteral("- duzih od 80 znakova: %1\n").arg(tooLong);
        if (foreign > 0)
            prompt += QStringLiteral("- sa slovima kojih nema u Windows-1250 (na primer cirilica "
                                     "ili emotikoni): %1\n")
                          .arg(foreign);
        prompt += QStringLiteral("\nDa: skratiti ih na 80 znakova i upisati '?' umesto tih slova "
                                 "(svaki ce biti naveden). Ne: ne uvoziti nista.");
        if (rt::MsgBox(prompt, rt::vbYesNo + rt::vbExclamation, WindowCaption) != rt::vbYes)
            return;
        options.cut = tooLong > 0;
        options.replace = foreign > 0;
        imported = dyr::importSet(*format, source, options);
    }
    if (!imported.ok()) {
        refuse(errorsOf(imported.notes));
        return;
    }
    if (!settleUnsavedChanges())
        return;

    Module1& module1 = m_program.module1;
    std::copy_n(imported.records.begin(), qo::SetRecords, module1.QuestionTable.begin());
    Text1->setTextValue(QStringLiteral("1"));
    module1.RecordToForm();
    Loaded = -1;
    Command4->setEnabled(false);
    Command5->setEnabled(true);

    QString report = QStringLiteral("Uvezeno pitanja iz fajla \"%1\" (%2): %3")
                         .arg(name, formatName)
                         .arg(imported.questions);
    if (imported.skipped > 0)
        report += QStringLiteral(", preskoceno: %1").arg(imported.skipped);
    report += QStringLiteral(". Nista nije snimljeno dok ne pritisnete \"Snimi\".");
    if (!imported.notes.isEmpty())
        report += QStringLiteral("\n\n") + noteLines(name, imported.notes, true);
    rt::MsgBox(report, imported.notes.isEmpty() ? rt::vbInformation : rt::vbExclamation,
               WindowCaption);
}

void Form1::mnuExport_Click() {
    const std::optional<QList<qo::QuestionRecord>> set = currentSet();
    if (!set)
        return;
    QStringList filters;
    for (const FormatChoice& choice : formatChoices())
        filters << choice.filter;
    const rt::FileAnswer answer =
        askFile({true, QStringLiteral("Izvezi pitanja"),
                 suggestedPath(setTitle() + QStringLiteral(".xml")), filters});
    if (answer.path.isEmpty())
        return;
    // The name's extension tells the format, as an import reads the file back; where
    // it tells nothing (none, or .txt, either line format) the filter chosen does.
    const std::optional<dyr::Format> byName =
        QFileInfo(answer.path).suffix().isEmpty()
            ? std::nullopt
            : dyr::guessFormat(QFileInfo(answer.path).fileName(), QByteArray());
    const FormatChoice* choice = byName ? choiceOf(*byName) : choiceByFilter(answer.filter);
    if (!choice) {
        rt::MsgBox(QStringLiteral("Izaberite format fajla: %1.").arg(FormatList), rt::vbExclamation,
                   WindowCaption);
        return;
    }
    const QString path = withSuffix(answer.path, choice->suffix);
    const QString target = QFileInfo(path).fileName();
    const dyr::Exported exported = dyr::exportSet(choice->format, *set);
    if (!exported.ok()) {
        refuseSet(QStringLiteral("Pitanja se ne mogu izvesti u format %1; fajl \"%2\" nije "
                                 "zapisan.")
                      .arg(choice->name, target),
                  exported.notes, rt::vbCritical);
        return;
    }
    if (!goOnDespite(QStringLiteral("Kad se fajl \"%1\" uveze nazad, ovo se nece vratiti "
                                    "kakvo je sada:")
                         .arg(target),
                     exported.notes, QStringLiteral("Izvesti ipak?")))
        return;
    writeChosenFile(path, exported.text);
}

void Form1::mnuPublish_Click() {
    const std::optional<QList<qo::QuestionRecord>> set = currentSet();
    if (!set)
        return;
    const QString source = QFileInfo(setFile()).fileName();
    // The quiz is named as dyr export html names it: the set's file name without ".dyr".
    dyr::PageOptions options;
    options.name = setTitle();
    const dyr::Page page = dyr::webPage(*set, options);
    if (!page.ok()) {
        refuseSet(QStringLiteral("Od ovih pitanja se ne moze napraviti veb strana kviza."),
                  page.notes, rt::vbCritical);
        return;
    }
    const rt::FileAnswer answer = askFile({true,
                                           QStringLiteral("Objavi kviz kao veb stranu"),
                                           suggestedPath(setTitle() + QStringLiteral(".html")),
                                           {QStringLiteral("Veb strana (*.html *.htm)")}});
    if (answer.path.isEmpty())
        return;
    const QString path = withSuffix(answer.path, QStringLiteral("html"));
    writeChosenFile(path, page.html);
    QString prompt = QStringLiteral("Kviz je zapisan kao veb strana \"%1\". Radi u svakom "
                                    "pregledacu, i bez mreze: posaljite je igracima ili je "
                                    "postavite na forum ili sajt.")
                         .arg(shownPath(path));
    if (!page.notes.isEmpty())
        prompt += QStringLiteral("\n\n") + noteLines(source, page.notes, false);
    prompt += QStringLiteral("\n\nOtvoriti je sada u pregledacu?");
    if (rt::MsgBox(prompt, rt::vbYesNo + rt::vbQuestion, WindowCaption) != rt::vbYes)
        return;
    if (!rt::OpenDocument(path))
        rt::MsgBox(QStringLiteral("Nijedan program na ovom racunaru ne otvara veb strane. Stranu "
                                  "\"%1\" otvorite u pregledacu sami.")
                       .arg(shownPath(path)),
                   rt::vbExclamation, WindowCaption);
}

std::optional<dyr::Sheet> Form1::preparedSheet() {
    const std::optional<QList<qo::QuestionRecord>> set = currentSet();
    if (!set)
        return std::nullopt;
    dyr::Sheet sheet = dyr::testSheet(*set, setTitle());
    if (!sheet.ok()) {
        refuseSet(QStringLiteral("Nema testa za stampu."), sheet.notes, rt::vbExclamation);
        return std::nullopt;
    }
    if (!goOnDespite(QStringLiteral("Na testu:"), sheet.notes, QStringLiteral("Nastaviti?")))
        return std::nullopt;
    return sheet;
}

void Form1::refuseSet(const QString& intro, const QList<dyr::Note>& notes, int icon) const {
    const QString source = QFileInfo(setFile()).fileName();
    rt::MsgBox(intro + QStringLiteral("\n\n") + noteLines(source, errorsOf(notes), false), icon,
               WindowCaption);
}

bool Form1::goOnDespite(const QString& intro, const QList<dyr::Note>& notes,
                        const QString& question) const {
    if (notes.isEmpty())
        return true;
    const QString source = QFileInfo(setFile()).fileName();
    const QString prompt = intro + QStringLiteral("\n\n") + noteLines(source, notes, false) +
                           QStringLiteral("\n\n") + question;
    return rt::MsgBox(prompt, rt::vbYesNo + rt::vbExclamation, WindowCaption) == rt::vbYes;
}

void Form1::mnuPrint_Click() {
    const std::optional<dyr::Sheet> sheet = preparedSheet();
    if (!sheet)
        return;
    rt::Print({QStringLiteral("Test: %1").arg(sheet->title), dyr::sheetLayout(Paper),
               [sheet = *sheet](QPagedPaintDevice& device) { dyr::paintSheet(sheet, device); }});
}

void Form1::mnuPdf_Click() {
    const std::optional<dyr::Sheet> sheet = preparedSheet();
    if (!sheet)
        return;
    const rt::FileAnswer answer = askFile({true,
                                           QStringLiteral("Sacuvaj test kao PDF"),
                                           suggestedPath(setTitle() + QStringLiteral("-test.pdf")),
                                           {QStringLiteral("PDF (*.pdf)")}});
    if (answer.path.isEmpty())
        return;
    writeChosenFile(withSuffix(answer.path, QStringLiteral("pdf")), dyr::sheetPdf(*sheet, Paper));
}

void Form1::mnuPaper_Click(QPageSize::PageSizeId paper) {
    Paper = paper;
}

void Form1::Form_DropFiles(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty()) {
        rt::MsgBox(QStringLiteral("Ovde se spusta fajl: set pitanja (.dyr) ili pitanja u formatu "
                                  "%1. Nista nije promenjeno.")
                       .arg(FormatList),
                   rt::vbExclamation, WindowCaption);
        return;
    }
    takeFiles(paths);
}

void Form1::takeFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    const QString first = paths.first();
    if (paths.size() > 1) {
        QStringList rest;
        for (qsizetype i = 1; i < paths.size(); ++i)
            rest << QStringLiteral("\"%1\"").arg(QFileInfo(paths[i]).fileName());
        rt::MsgBox(QStringLiteral("Editor radi sa jednim fajlom: uzima se \"%1\", a ovi ne: %2.")
                       .arg(QFileInfo(first).fileName(), rest.join(QStringLiteral(", "))),
                   rt::vbInformation, WindowCaption);
    }
    if (qo::isSetFileName(first))
        openSetAt(first);
    else
        importFrom(first);
}

void Form1::showFileInCaption() {
    if (m_changesFile.isEmpty()) {
        setCaption(WindowCaption);
        return;
    }
    const QFileInfo file(m_changesFile);
    const QString shown =
        file.isAbsolute()
            ? QStringLiteral("%1 (%2)").arg(file.fileName(), shownPath(file.absolutePath()))
            : m_changesFile;
    setCaption(WindowCaption + QStringLiteral(" - ") + shown);
}

std::optional<QList<qo::QuestionRecord>> Form1::currentSet() {
    if (!numberBoxAllows(0))
        return std::nullopt;
    Module1& module1 = m_program.module1;
    module1.FormToRecord();
    return QList<qo::QuestionRecord>(module1.QuestionTable.begin(), module1.QuestionTable.end());
}

QString Form1::setFile() const {
    return m_changesFile.isEmpty() ? SetFileName : m_changesFile;
}

QString Form1::setTitle() const {
    return qo::setTitle(setFile());
}

QString Form1::dialogFolder() const {
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    const QFileInfo chosen(SetFileName);
    if (chosen.isAbsolute())
        return chosen.absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

rt::FileAnswer Form1::askFile(const rt::FileQuestion& question) {
    const rt::FileAnswer answer = rt::FileDialog(question);
    if (!answer.path.isEmpty())
        m_lastFolder = QFileInfo(answer.path).absolutePath();
    return answer;
}

QString Form1::suggestedPath(const QString& name) const {
    return dialogFolder() + QLatin1Char('/') + name;
}

void Form1::writeChosenFile(const QString& path, const QByteArray& bytes) {
    qo::QuestionSetFile::replaceFile(path, bytes, QFileInfo(path).fileName());
}

} // namespace editor
