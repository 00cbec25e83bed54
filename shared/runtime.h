// Services every window relies on: message boxes, program end and the handler boundary.
#pragma once

#include <QString>
#include <functional>

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

using MessageResponder = std::function<int(const QString& prompt, int flags, const QString& title)>;
using EndHandler = std::function<void()>;

// Replace the real message box and program end, for tests. An empty function
// restores the real one.
void setMessageResponder(MessageResponder responder);
void setEndHandler(EndHandler handler);

// The ordinary timer resolution of a desktop: no timer ticks more often than this.
constexpr int MinTimerIntervalMs = 16;

} // namespace rt
