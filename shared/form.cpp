#include "form.h"

#include "controls.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace rt {

namespace {
constexpr int DialogBorder = 2; // pixels of the raised border around a window without a title bar
}

FormWindow::FormWindow(Form& form, const FormDesign& design)
    : QFrame(nullptr), m_form(form), m_client(new QWidget(this)) {
    setObjectName(design.name);
    m_client->setObjectName(design.name + QStringLiteral("_client"));
    if (design.font != QFont())
        setFont(design.font);
    setWindowTitle(design.caption);
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

void FormWindow::closeEvent(QCloseEvent* event) {
    m_form.closeRequested(event);
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
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            QRect frame(QPoint(0, 0), m_window->size());
            frame.moveCenter(area.center());
            m_window->move(frame.topLeft());
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
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
    return m_window ? m_window->windowTitle() : m_design.caption;
}

void Form::setCaption(const QString& caption) {
    Load();
    m_window->setWindowTitle(caption);
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

void Form::setTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace rt
