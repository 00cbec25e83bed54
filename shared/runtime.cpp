#include "runtime.h"

#include "controls.h"
#include "printing.h"
#include "rterror.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

namespace rt {

namespace {

MessageResponder& responder() {
    static MessageResponder r;
    return r;
}

EndHandler& endHandler() {
    static EndHandler h;
    return h;
}

FileResponder& fileResponder() {
    static FileResponder r;
    return r;
}

DocumentOpener& documentOpener() {
    static DocumentOpener o;
    return o;
}

// A prompt longer than this many lines is shown with its lines after the first
// paragraph in a box of their own that scrolls, so the window fits the screen.
constexpr int LongPromptLines = 16;

void pinStyle() {
    if (QApplication::style()->name() != QLatin1String("fusion")) {
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
            QApplication::setStyle(fusion);
    }
    if (!qApp->styleSheet().isEmpty())
        qApp->setStyleSheet(QString());
    QToolTip::setPalette(classicPalette());
}

struct Choice {
    QString text;
    QMessageBox::ButtonRole role;
    int result;
};

QMessageBox::Icon iconOf(int flags) {
    switch (flags & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QList<Choice> choicesOf(int flags) {
    switch (flags & 0x7) {
    case vbOKCancel:
        return {{QStringLiteral("OK"), QMessageBox::AcceptRole, vbOK},
                {QStringLiteral("Otkazi"), QMessageBox::RejectRole, vbCancel}};
    case vbYesNoCancel:
        return {{QStringLiteral("&Da"), QMessageBox::YesRole, vbYes},
                {QStringLiteral("&Ne"), QMessageBox::NoRole, vbNo},
                {QStringLiteral("Otkazi"), QMessageBox::RejectRole, vbCancel}};
    case vbYesNo:
        return {{QStringLiteral("&Da"), QMessageBox::YesRole, vbYes},
                {QStringLiteral("&Ne"), QMessageBox::NoRole, vbNo}};
    default:
        return {{QStringLiteral("OK"), QMessageBox::AcceptRole, vbOK}};
    }
}

// A long prompt: its first paragraph above, the rest in a text box that scrolls,
// and the buttons of the message box below.
int longMessageBox(const QString& prompt, int flags, const QString& title) {
    const qsizetype split = prompt.indexOf(QStringLiteral("\n\n"));
    const QString head = split < 0 ? QString() : prompt.left(split);
    const QString rest = split < 0 ? prompt : prompt.mid(split + 2);
    QDialog box(QApplication::activeWindow());
    box.setPalette(classicPalette());
    box.setWindowTitle(title);
    box.setAccessibleName(title);
    box.setAccessibleDescription(prompt);
    auto* layout = new QVBoxLayout(&box);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);
    const QMessageBox::Icon icon = iconOf(flags);
    if (icon != QMessageBox::NoIcon) {
        const QStyle::StandardPixmap standard =
            icon == QMessageBox::Critical   ? QStyle::SP_MessageBoxCritical
            : icon == QMessageBox::Question ? QStyle::SP_MessageBoxQuestion
            : icon == QMessageBox::Warning  ? QStyle::SP_MessageBoxWarning
                                            : QStyle::SP_MessageBoxInformation;
        const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        auto* picture = new QLabel(&box);
        picture->setPixmap(box.style()->standardIcon(standard, nullptr, &box).pixmap(size, size));
        picture->setAlignment(Qt::AlignTop);
        top->addWidget(picture);
    }
    auto* intro = new QLabel(head, &box);
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    top->addWidget(intro, 1);
    auto* details = new QPlainTextEdit(rest, &box);
    details->setReadOnly(true);
    details->setAccessibleName(head.isEmpty() ? title : head);
    const QFontMetrics metrics(details->font());
    details->setMinimumSize(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 16);
    layout->addWidget(details, 1);
    auto* row = new QDialogButtonBox(&box);
    layout->addWidget(row);
    const QList<Choice> choices = choicesOf(flags);
    int result = choices.last().result;
    for (const Choice& choice : choices) {
        QPushButton* button = row->addButton(choice.text, QDialogButtonBox::ActionRole);
        QObject::connect(button, &QPushButton::clicked, &box, [&box, &result, choice] {
            result = choice.result;
            box.accept();
        });
        if (&choice == &choices.first())
            button->setDefault(true);
    }
    row->buttons().first()->setFocus();
    // Escape answers like the last button, as in the message box.
    box.exec();
    return result;
}

int realMessageBox(const QString& prompt, int flags, const QString& title) {
    if (prompt.count(QLatin1Char('\n')) >= LongPromptLines)
        return longMessageBox(prompt, flags, title);
    QMessageBox box;
    box.setPalette(classicPalette());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setAccessibleName(title);
    box.setAccessibleDescription(prompt);
    box.setIcon(iconOf(flags));
    const QList<Choice> choices = choicesOf(flags);
    QList<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons.append(box.addButton(choice.text, choice.role));
    box.setDefaultButton(buttons.first());
    // Escape answers like the last button (No or Cancel); a lone OK answers OK.
    box.setEscapeButton(buttons.last());
    box.exec();
    for (int i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return choices[i].result;
    }
    return choices.last().result;
}

// The first extension a filter names: "dyr" of "Set pitanja (*.dyr)".
QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

FileAnswer realFileDialog(const FileQuestion& question) {
    QFileDialog dialog(QApplication::activeWindow(), question.title, question.path);
    dialog.setNameFilters(question.filters);
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (question.save) {
        dialog.selectFile(question.path);
        // A name typed without an extension gets the chosen filter's before the dialog
        // asks about replacing a file, so that it asks about the file really written.
        dialog.setDefaultSuffix(filterSuffix(dialog.selectedNameFilter()));
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    }
    // Where the platform has no dialog of its own, Qt's shows these words.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Folder:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Ime fajla:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Vrsta fajla:"));
    dialog.setLabelText(QFileDialog::Accept,
                        question.save ? QStringLiteral("&Snimi") : QStringLiteral("&Otvori"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Otkazi"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().first(), dialog.selectedNameFilter()};
}

} // namespace

PrintResponder& printResponder() {
    static PrintResponder r;
    return r;
}

void startUp() {
    pinStyle();
    // A desktop theme may set its style sheet once the event loop runs; it is
    // cleared again then.
    QTimer::singleShot(0, qApp, [] { pinStyle(); });
    checkFonts();
}

int MsgBox(const QString& prompt, int flags, const QString& title) {
    if (responder())
        return responder()(prompt, flags, title);
    return realMessageBox(prompt, flags, title);
}

void End() {
    if (endHandler())
        endHandler()();
    else
        QCoreApplication::exit(0);
    throw ProgramEnded{};
}

void reportError(const QString& text) {
    MsgBox(text, vbCritical, QStringLiteral("Greska"));
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnded&) {
        // The program is ending; nothing more to do.
    } catch (const RuntimeError& error) {
        reportError(error.message());
    } catch (const std::exception& error) {
        reportError(
            QStringLiteral("Neocekivana greska: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        reportError(QStringLiteral("Neocekivana greska."));
    }
}

void setMessageResponder(MessageResponder r) {
    responder() = std::move(r);
}

void setEndHandler(EndHandler h) {
    endHandler() = std::move(h);
}

FileAnswer FileDialog(const FileQuestion& question) {
    if (fileResponder())
        return fileResponder()(question);
    return realFileDialog(question);
}

bool OpenDocument(const QString& path) {
    if (documentOpener())
        return documentOpener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool Print(const PrintJob& job) {
    return printDocument(job);
}

void setFileResponder(FileResponder r) {
    fileResponder() = std::move(r);
}

void setDocumentOpener(DocumentOpener o) {
    documentOpener() = std::move(o);
}

void setPrintResponder(PrintResponder r) {
    printResponder() = std::move(r);
}

} // namespace rt
