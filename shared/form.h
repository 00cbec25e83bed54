// The form base: a window whose object and variables live for the whole program,
// while its controls exist only between Load and Unload.
#pragma once

#include "runtime.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <initializer_list>

class QMenuBar;

namespace rt {

class Form;

enum class BorderStyle {
    FixedSingle, // title bar, not resizable
    FixedDialog, // thin raised border, no title bar and no buttons
};

struct FormDesign {
    FormDesign(QString name, QString caption, double clientWidth, double clientHeight,
               BorderStyle border = BorderStyle::FixedSingle, bool centred = true,
               QFont font = QFont())
        : name(std::move(name)), caption(std::move(caption)), clientWidth(clientWidth),
          clientHeight(clientHeight), border(border), centred(centred), font(std::move(font)) {}

    QString name;
    QString caption;
    double clientWidth; // twips
    double clientHeight;
    BorderStyle border;
    bool centred;
    QFont font; // the window's own font; QFont() for the platform's default
};

// The top-level widget of a loaded form. Controls go into client(). It paints with
// the runtime's own palette, whatever the desktop's theme says.
class FormWindow : public QFrame {
public:
    FormWindow(Form& form, const FormDesign& design);
    QWidget* client() const { return m_client; }

    // The caption as the program set it; an empty one is shown as a blank title.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // Centres the window, frame included, on the given screen's free area. Until
    // the window manager has framed a window of this kind once, the frame is
    // taken as nothing and the window is centred again once it is framed.
    void centreOn(QScreen* screen);
    // Learns the frame once the window manager has framed the window.
    void watchFrame();

    // Puts a menu bar above the client area, as a classic window has it: the client
    // area and its controls stay as they are, and the window grows by the menu's height.
    void setMenuBar(QMenuBar* menuBar);

    // Files dragged onto the window, also onto its text boxes, go to the form's
    // Form_DropFiles; text dragged onto a text box stays the box's own. Anything else
    // dropped elsewhere on the window reaches Form_DropFiles with no files, so the
    // form can say what it takes.
    void acceptFileDrops();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void checkFrame();
    // Takes a drag of files or links (of anything, where anyData), or drops it; false
    // for what it leaves to the control under it.
    bool takeDrag(QEvent* event, bool anyData);

    Form& m_form;
    QWidget* m_client;
    QString m_caption;
    bool m_framed;                    // has a title bar and border from the window manager
    QPointer<QScreen> m_centreScreen; // centred again here once the frame is known
};

class Form {
public:
    explicit Form(FormDesign design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window and its controls from their design values and runs
    // Form_Load. An error in Form_Load destroys the window again and goes on to
    // the caller.
    void Load();
    // Loads the window if needed and makes it visible, modeless.
    void Show();
    // Runs Form_Unload, stops the timers and destroys the window and its controls.
    void Unload();
    // Repaints the window at once.
    void Refresh();

    bool isLoaded() const { return !m_window.isNull(); }
    bool isVisible() const;
    FormWindow* window() const { return m_window; }
    QWidget* client() const;

    QString Caption() const;
    void setCaption(const QString& caption);
    QIcon Icon() const;
    void setIcon(const QIcon& icon);

    const FormDesign& design() const { return m_design; }

protected:
    // Builds every control inside the client area at its design values.
    virtual void createControls(QWidget* client) = 0;
    // Forgets the pointers to the destroyed controls.
    virtual void releaseControls() {}
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // Asked before the window is closed from outside (title bar, window manager);
    // false keeps it open.
    virtual bool Form_QueryUnload() { return true; }
    // A key that none of the window's controls took (also every key while no
    // control has the focus); true when the window used it.
    virtual bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
        Q_UNUSED(KeyCode);
        Q_UNUSED(Shift);
        return false;
    }
    // Files or links dropped on a window that accepts them (FormWindow::acceptFileDrops),
    // run as a handler once the drop is over.
    virtual void Form_DropFiles(const QList<QUrl>& urls) { Q_UNUSED(urls); }

    // Connects a control's signal to a handler run at the handler boundary. The
    // connection ends with the window.
    template <typename Sender, typename Signal>
    void on(Sender* sender, Signal signal, std::function<void()> handler) {
        const quint64 generation = m_generation;
        QObject::connect(sender, signal, m_window, [this, generation, handler]() {
            if (generation == m_generation)
                runHandler(handler);
        });
    }

    // Sets the keyboard order of the controls, first to last.
    static void setTabOrder(std::initializer_list<QWidget*> widgets);

private:
    friend class FormWindow;
    void closeRequested(QCloseEvent* event);
    bool keyDown(QKeyEvent* event);
    void filesDropped(const QList<QUrl>& urls);
    void destroyWindow();

    FormDesign m_design;
    QPointer<FormWindow> m_window;
    quint64 m_generation = 0;
};

} // namespace rt
