#include "form.h"

#include "controls.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace rt {

namespace {

constexpr int DialogBorder = 2; // pixels of the raised border around a window without a title bar

// The platform shows the program's name for an empty title, and no toolkit call
// asks for an empty title bar. A lone space is the least visible title that is
// not empty: every font draws it, as nothing.
const QString BlankTitle = QStringLiteral(" ");

// The screen of the window shown, moved or unloaded last: the next centred window
// opens there.
QPointer<QScreen>& lastScreen() {
    static QPointer<QScreen> screen;
    return screen;
}

// The window manager's frame around a window with a title bar, once one was seen.
QMargins& knownFrame() {
    static QMargins frame;
    return frame;
}

QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

QScreen* screenForNextWindow() {
    QScreen* screen = lastScreen();
    if (screen && QGuiApplication::screens().contains(screen))
        return screen;
    if (QScreen* underMouse = QGuiApplication::screenAt(QCursor::pos()))
        return underMouse;
    return QGuiApplication::primaryScreen();
}

} // namespace

FormWindow::FormWindow(Form& form, const FormDesign& design)
    : QFrame(nullptr), m_form(form), m_client(new QWidget(this)),
      m_framed(design.border == BorderStyle::FixedSingle) {
    installAccessibleInterfaces();
    setObjectName(design.name);
    m_client->setObjectName(design.name + QStringLiteral("_client"));
    setPalette(classicPalette());
    if (design.font != QFont())
        setFont(design.font);
    setCaption(design.caption);
    // A screen reader names the window by its design caption, not by each step of
    // a caption that changes while the window is open.
    setAccessibleName(design.caption);
    const QSize client(px(design.clientWidth), px(design.clientHeight));
    int border = 0;
    if (design.border == BorderStyle::FixedDialog) {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(DialogBorder);
        border = DialogBorder;
    } else {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                       Qt::WindowCloseButtonHint);
    }
    m_client->setGeometry(border, border, client.width(), client.height());
    setFixedSize(client.width() + 2 * border, client.height() + 2 * border);
}

void FormWindow::setCaption(const QString& caption) {
    m_caption = caption;
    setWindowTitle(caption.isEmpty() ? BlankTitle : caption);
}

void FormWindow::centreOn(QScreen* screen) {
    setScreen(screen);
    const QMargins frame = m_framed ? knownFrame() : QMargins();
    QRect outer(QPoint(0, 0), size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    // A top-level window's position is that of its frame's top-left corner.
    move(outer.topLeft());
    m_centreScreen = m_framed && frame.isNull() ? screen : nullptr;
}

void FormWindow::closeEvent(QCloseEvent* event) {
    m_form.closeRequested(event);
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (m_form.keyDown(event))
        event->accept();
    else
        QFrame::keyPressEvent(event);
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QFrame::moveEvent(event);
    if (isVisible())
        lastScreen() = screen();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() &&
        (event->type() == QEvent::Expose || event->type() == QEvent::Move))
        checkFrame();
    // A text box takes text dragged onto it; only files are the window's.
    if (watched != windowHandle() && takeDrag(event, false))
        return true;
    return QFrame::eventFilter(watched, event);
}

void FormWindow::setMenuBar(QMenuBar* menuBar) {
    menuBar->setParent(this);
    const QRect client = m_client->geometry();
    const int height = menuBar->heightForWidth(client.width()) > 0
                           ? menuBar->heightForWidth(client.width())
                           : menuBar->sizeHint().height();
    menuBar->setGeometry(client.left(), client.top(), client.width(), height);
    m_client->move(client.left(), client.top() + height);
    setFixedSize(width(), this->height() + height);
    menuBar->show();
}

void FormWindow::acceptFileDrops() {
    setAcceptDrops(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->acceptDrops())
            control->installEventFilter(this);
    }
}

bool FormWindow::takeDrag(QEvent* event, bool anyData) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const bool files = drop->mimeData() && drop->mimeData()->hasUrls();
    if (!files && !anyData)
        return false;
    // Copied, never moved: a file manager removes what was moved.
    if (!(drop->possibleActions() & Qt::CopyAction))
        return true;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // Handled once the drop is over: a question asked inside it would keep the
        // program the files came from waiting.
        const QList<QUrl> urls = files ? drop->mimeData()->urls() : QList<QUrl>();
        QMetaObject::invokeMethod(
            this, [this, urls] { m_form.filesDropped(urls); }, Qt::QueuedConnection);
    }
    return true;
}

void FormWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!takeDrag(event, acceptDrops()))
        QFrame::dragEnterEvent(event);
}

void FormWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!takeDrag(event, acceptDrops()))
        QFrame::dragMoveEvent(event);
}

void FormWindow::dropEvent(QDropEvent* event) {
    if (!takeDrag(event, acceptDrops()))
        QFrame::dropEvent(event);
}

void FormWindow::watchFrame() {
    if (!m_framed)
        return;
    windowHandle()->installEventFilter(this);
    checkFrame(); // some platforms frame the window as it is shown
}

void FormWindow::checkFrame() {
    const QMargins frame = frameOf(this);
    if (frame.isNull() || !windowHandle())
        return;
    knownFrame() = frame;
    windowHandle()->removeEventFilter(this);
    if (QScreen* screen = m_centreScreen)
        centreOn(screen);
}

Form::Form(FormDesign design) : m_design(std::move(design)) {}

Form::~Form() {
    if (m_window) {
        ++m_generation;
        delete m_window.data();
    }
}

void Form::Load() {
    if (isLoaded())
        return;
    m_window = new FormWindow(*this, m_design);
    createControls(m_window->client());
    try {
        Form_Load();
    } catch (...) {
        destroyWindow();
        throw;
    }
}

void Form::Show() {
    Load();
    if (m_window->isVisible())
        return;
    if (m_design.centred) {
        if (QScreen* screen = screenForNextWindow())
            m_window->centreOn(screen);
    }
    m_window->winId(); // the platform window, to watch for the frame from the start
    m_window->watchFrame();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    lastScreen() = m_window->screen();
}

void Form::Unload() {
    if (!isLoaded())
        return;
    Form_Unload();
    destroyWindow();
}

void Form::destroyWindow() {
    FormWindow* window = m_window;
    ++m_generation; // no handler of the old controls runs from now on
    m_window = nullptr;
    if (window->isVisible())
        lastScreen() = window->screen();
    for (QTimer* timer : window->findChildren<QTimer*>())
        timer->stop();
    releaseControls();
    window->hide();
    // The handler that unloads a window may be running inside one of its controls.
    window->deleteLater();
}

void Form::Refresh() {
    if (m_window)
        m_window->repaint();
}

bool Form::isVisible() const {
    return m_window && m_window->isVisible();
}

QWidget* Form::client() const {
    return m_window ? m_window->client() : nullptr;
}

QString Form::Caption() const {
    return m_window ? m_window->caption() : m_design.caption;
}

void Form::setCaption(const QString& caption) {
    Load();
    m_window->setCaption(caption);
}

QIcon Form::Icon() const {
    return m_window ? m_window->windowIcon() : QIcon();
}

void Form::setIcon(const QIcon& icon) {
    Load();
    m_window->setWindowIcon(icon);
}

void Form::closeRequested(QCloseEvent* event) {
    // Closing the window from outside unloads it, like any other way out.
    bool close = false;
    runHandler([&] {
        if (Form_QueryUnload()) {
            Unload();
            close = true;
        }
    });
    if (close)
        event->accept();
    else
        event->ignore();
}

bool Form::keyDown(QKeyEvent* event) {
    bool used = false;
    const quint64 generation = m_generation;
    runHandler([&] {
        if (generation == m_generation)
            used = Form_KeyDown(event->key(), event->modifiers());
    });
    return used;
}

void Form::filesDropped(const QList<QUrl>& urls) {
    const quint64 generation = m_generation;
    runHandler([&] {
        if (generation == m_generation)
            Form_DropFiles(urls);
    });
}

void Form::setTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace rt
