// The editor's only window: one question of the set at a time, its four answers,
// which answer is right, and the choice of set file to open and save; above it a
// menu that opens and saves sets anywhere, brings questions in from other quiz tools
// and takes them out, publishes the quiz as a web page and prints a test.
#pragma once

#include "controls.h"
#include "form.h"
#include "formats.h"
#include "module1.h"
#include "sheet.h"

#include <QAction>
#include <QList>
#include <QPageSize>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

class QMenu;
class QMenuBar;

namespace editor {

// The title of the editor's message boxes.
inline const QString WindowCaption = QStringLiteral("[qo] Editor pitanja");

class Program;

class Form1 : public rt::Form {
public:
    explicit Form1(Program& program);

    // Window-level variables; they outlive the controls.
    std::int16_t Loaded = 0;        // -1 once a set has been opened; never back to 0
    std::int16_t HighestNumber = 0; // highest question number reached with ">>"
    // The chosen set file: a name in the set folder, chosen with the options under
    // "Snimi kao", or the full path of a file chosen through the menu.
    QString SetFileName;
    QPageSize::PageSizeId Paper = QPageSize::A4; // the paper a test is printed on

    rt::Frame* Frame1 = nullptr;
    rt::Frame* Frame2 = nullptr;
    rt::Label* Label1 = nullptr;
    rt::Label* Label2 = nullptr;
    rt::Label* Label3 = nullptr;
    rt::Label* Label4 = nullptr;
    rt::TextBox* Text1 = nullptr; // the question number: the only pointer to the current question
    rt::TextBox* Text2 = nullptr; // the question
    rt::TextBox* Text3 = nullptr; // answers (A) to (D)
    rt::TextBox* Text4 = nullptr;
    rt::TextBox* Text5 = nullptr;
    rt::TextBox* Text6 = nullptr;
    rt::ControlArray<rt::OptionButton> Option;  // (A) to (D)
    rt::ControlArray<rt::OptionButton> Option1; // the three set files
    rt::CommandButton* Command1 = nullptr;      // Open
    rt::CommandButton* Command2 = nullptr;      // Save
    rt::CommandButton* Command3 = nullptr;      // Clear
    rt::CommandButton* Command4 = nullptr;      // "<<"
    rt::CommandButton* Command5 = nullptr;      // ">>"

    QMenuBar* MenuBar1 = nullptr;
    QMenu* mnuFile = nullptr;     // "Datoteka"
    QMenu* mnuTransfer = nullptr; // "Uvoz i izvoz"
    QMenu* mnuPrinting = nullptr; // "Stampa"
    QPointer<QAction> mnuOpen, mnuSaveAs, mnuExit, mnuImport, mnuExport, mnuPublish, mnuPrint,
        mnuPdf, mnuA4, mnuLetter;

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Option_Click(std::int16_t Index);
    void Option1_Click(std::int16_t Index);
    void ClearFields();

    // The menu. Each asks the system's file dialog where a file is needed.
    void mnuOpen_Click();    // another set file, anywhere
    void mnuSaveAs_Click();  // the set into another set file
    void mnuImport_Click();  // questions from Moodle XML, GIFT, Aiken or CSV
    void mnuExport_Click();  // the set's questions out to one of those
    void mnuPublish_Click(); // the quiz as a web page
    void mnuPrint_Click();   // the test and its key, through the print dialog
    void mnuPdf_Click();     // the same pages into a PDF file
    void mnuPaper_Click(QPageSize::PageSizeId paper);

    // Files named on the command line or dropped on the window: the first one is
    // opened (a set) or imported (questions of another tool); the rest are named in
    // a message. Anything else is refused with a message, and nothing changes.
    void takeFiles(const QStringList& paths);
    // Opens the set file at path as "&Otvori" does, after asking about unsaved
    // changes; a missing file is not created. Saving then writes into it.
    void openSetAt(const QString& path);
    // Imports the questions in the file at path into the table, questions 1 onward,
    // as if typed: asks about unsaved changes, about texts that don't fit and about
    // more than 21 questions; reports what was left out. format: the file's format,
    // or nothing to tell it from the name and the content.
    void importFrom(const QString& path, std::optional<dyr::Format> format = std::nullopt);

    // True when what the user can see of the set differs from what was last opened
    // or saved, or from the start state before either.
    bool hasUnsavedChanges() const;

protected:
    void createControls(QWidget* client) override;
    void releaseControls() override;
    void Form_Load() override;
    bool Form_QueryUnload() override;
    void Form_DropFiles(const QList<QUrl>& urls) override;

private:
    // One question as the user sees it: texts without their space or NUL fill.
    struct SeenQuestion {
        QString number;
        QString question;
        std::array<QString, 4> answers;
        int correct = 0;
        bool operator==(const SeenQuestion&) const = default;
    };
    using SeenSet = std::array<SeenQuestion, qo::SetRecords>;

    // The set as a Save would write it now; nothing when the number box names no question.
    std::optional<SeenSet> seenSet() const;
    void rememberSavedState();

    // Saves the set into the named file; false when the number box refused it or the
    // user chose not to lose characters the file can't hold. File errors are raised.
    bool save(const QString& fileName);
    // Whether the set's texts fit the file's code page, or the user agrees that what
    // doesn't will be stored as '?'.
    bool acceptsLostCharacters();
    // Checks that the number box names a question and that moving by step keeps it
    // within 1 to 21; otherwise tells the user and returns false.
    bool numberBoxAllows(int step);
    // The text box of answer i, (A) = 0.
    rt::TextBox* answerBox(int i) const;

    void createMenu();
    // Reads records 1 to 21 of a set file into a copy of the table; a missing file
    // is created when create is true, else it is the file error.
    std::array<qo::QuestionRecord, qo::SetRecords> readSet(const QString& fileName, bool create);
    // Puts a table read from fileName on show, as Open does after reading.
    void showOpenedSet(const std::array<qo::QuestionRecord, qo::SetRecords>& table,
                       const QString& fileName);
    // Unsaved changes before they are replaced: false when the user cancelled or the
    // save failed.
    bool settleUnsavedChanges();
    // Makes fileName the chosen set file: one of the options when it is a set file
    // of the set folder, else the full path with no option chosen.
    void chooseFile(const QString& fileName);
    // The caption: the window's own, and the file the set on show belongs to.
    void showFileInCaption();
    // The set as a save would write it now, the window's fields stored first;
    // nothing when the number box names no question (the user is told).
    std::optional<QList<qo::QuestionRecord>> currentSet();
    // The file the set on show belongs to: the one it was opened from or saved to,
    // else the chosen one; and its name without ".dyr", for a test or a page.
    QString setFile() const;
    QString setTitle() const;
    // The test of the set as a save would write it, once the user agreed to what
    // it leaves out; nothing when there is none or the user declined.
    std::optional<dyr::Sheet> preparedSheet();
    // What the set's notes say of something made from it: the errors that refuse it,
    // after intro; the warnings, after intro, and whether the user goes on.
    void refuseSet(const QString& intro, const QList<dyr::Note>& notes, int icon) const;
    bool goOnDespite(const QString& intro, const QList<dyr::Note>& notes,
                     const QString& question) const;
    // The folder the file dialogs start in, and where a file of that name would go.
    QString dialogFolder() const;
    QString suggestedPath(const QString& name) const;
    // The system's file dialog; the folder of a file chosen there is where the next
    // one opens.
    rt::FileAnswer askFile(const rt::FileQuestion& question);
    // Writes bytes to a file the user chose, replacing it at once.
    void writeChosenFile(const QString& path, const QByteArray& bytes);

    Program& m_program;
    SeenSet m_saved;
    // The file the set on show was last opened from or saved to; empty before either.
    QString m_changesFile;
    // The folder of the file last chosen in a file dialog.
    QString m_lastFolder;

    friend class Module1;
};

} // namespace editor
