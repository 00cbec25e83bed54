// Services every window relies on: message boxes, program end and the handler boundary.
#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;

namespace rt {

// Message box flags, added together.
enum MsgBoxFlags : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

// Buttons a message box returns.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbYes = 6,
    vbNo = 7,
};

// Readies the application for the windows, once before the first one opens: the
// runtime's own style whatever the desktop's theme or style sheet says (the
// windows bring their own palette), and a word on stderr when the fonts the
// windows are drawn for are missing.
void startUp();

// Shows a modal message box and returns the button pressed. It paints with the
// runtime's palette, and a screen reader reads its title and its prompt.
int MsgBox(const QString& prompt, int flags, const QString& title);

// Ends the program at once: the running handler is abandoned and no further
// handler runs.
[[noreturn]] void End();

// Thrown by End; the handler boundary lets it pass silently.
struct ProgramEnded {};

// Runs one event handler. Errors raised inside are reported in a message box
// (title "Greska", critical icon) and the handler is abandoned; the program goes on.
void runHandler(const std::function<void()>& handler);

// Shows an error in the standard way.
void reportError(const QString& text);

// A question for the system's file dialog: which file to read, or where to write.
struct FileQuestion {
    bool save = false; // where to write; otherwise which existing file to read
    QString title;
    QString path;        // the folder to start in, or for a save the name suggested
    QStringList filters; // "Set pitanja (*.dyr)", ...; the first one is chosen at first
};

// The file chosen (empty when the user cancelled) and the filter chosen with it.
struct FileAnswer {
    QString path;
    QString filter;
};

// Asks the system's file dialog, modal over the active window.
FileAnswer FileDialog(const FileQuestion& question);

// Opens a document (a web page, a PDF) in the program the system uses for it;
// false when the system found none.
bool OpenDocument(const QString& path);

// A document for the printer: its name, its pages' layout, and what draws its pages
// on a printer or a PDF (starting new pages itself).
struct PrintJob {
    QString title;
    QPageLayout layout;
    std::function<void(QPagedPaintDevice& device)> paint;
};

// Prints a document through the system's print dialog, after a preview. Where Qt
// was built without printing, the document goes to a PDF file in the temporary
// folder, opened in the system's viewer, from which the user prints. False when
// the user cancelled or nothing could show the document.
bool Print(const PrintJob& job);

using MessageResponder = std::function<int(const QString& prompt, int flags, const QString& title)>;
using EndHandler = std::function<void()>;
using FileResponder = std::function<FileAnswer(const FileQuestion& question)>;
using DocumentOpener = std::function<bool(const QString& path)>;
using PrintResponder = std::function<bool(const PrintJob& job)>;

// Replace the real message box, program end, file dialog, the system's opening of
// documents and the print dialog, for tests. An empty function restores the real one.
void setMessageResponder(MessageResponder responder);
void setEndHandler(EndHandler handler);
void setFileResponder(FileResponder responder);
void setDocumentOpener(DocumentOpener opener);
void setPrintResponder(PrintResponder responder);

// The ordinary timer resolution of a desktop: no timer ticks more often than this.
constexpr int MinTimerIntervalMs = 16;

} // namespace rt
