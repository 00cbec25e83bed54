// Preloaded (LD_PRELOAD) into a program under benchmark, which stays as built. Set
// by QO_PROBE, it notes the moment the program's first window is painted and ends
// it ("paint"), or brings the program to a state and reports its memory there
// ("shown": the first window painted; "menu": the quiz program's menu open;
// "quiz-end": a whole quiz answered and the score panel slid in). Each report is
// one line appended to the file named by QO_PROBE_OUT; times are CLOCK_MONOTONIC
// nanoseconds, memory kilobytes (the peak resident set, and the private dirty pages).
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace {

qint64 now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void report(const QByteArray& line) {
    const int fd = ::open(qgetenv("QO_PROBE_OUT").constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0)
        return;
    const QByteArray text = line + '\n';
    [[maybe_unused]] const ssize_t written = ::write(fd, text.constData(), size_t(text.size()));
    ::close(fd);
}

// The kilobytes after a key in a /proc file ("VmHWM:", "Private_Dirty:").
qint64 procValue(const char* path, const QByteArray& key) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

QByteArray memory() {
    const qint64 peak = procValue("/proc/self/status", "VmHWM:");
    // Pages this process wrote itself; clean pages of files count as private or
    // shared depending on which other programs map the same libraries.
    const qint64 priv = procValue("/proc/self/smaps_rollup", "Private_Dirty:");
    return "peak " + QByteArray::number(peak) + " private " + QByteArray::number(priv);
}

QWidget* shownWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return window;
    }
    return nullptr;
}

class Probe : public QObject {
public:
    explicit Probe(QByteArray mode) : m_mode(std::move(mode)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            // After the window's whole paint, flush included.
            QTimer::singleShot(0, this, [this] { firstPaint(); });
        }
        return false;
    }

private:
    void firstPaint() {
        const qint64 painted = now();
        if (m_mode == "paint") {
            report("paint " + QByteArray::number(painted));
            ::_exit(0);
        }
        if (m_mode == "shown") {
            ready();
            return;
        }
        connect(&m_poll, &QTimer::timeout, this, [this] { step(); });
        m_poll.start(10);
    }

    void ready() {
        m_poll.stop();
        report("ready " + QByteArray::number(now()) + ' ' + memory());
    }

    // One look at the program, acting as a player would; every action is queued so
    // that it runs outside this timer's tick.
    void step() {
        if (m_mode == "menu") {
            if (shownWindow("Form2") && ++m_menuTicks > 20)
                ready();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (!box->property("qoProbeAnswered").toBool()) {
                box->setProperty("qoProbeAnswered", true);
                QAbstractButton* ok = box->defaultButton();
                QMetaObject::invokeMethod(ok ? ok : box->buttons().first(), "click",
                                          Qt::QueuedConnection);
            }
            return;
        }
        QWidget* quiz = shownWindow("Form3");
        if (!quiz) {
            QWidget* menu = shownWindow("Form2");
            if (menu && !m_chosen) {
                m_chosen = true;
                QMetaObject::invokeMethod(menu->findChild<QObject*>(QStringLiteral("Image1")),
                                          "clicked", Qt::QueuedConnection);
            }
            return;
        }
        auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* answer = quiz->findChild<QRadioButton*>(QStringLiteral("Option1_0"));
        auto* scorePanel = quiz->findChild<QWidget*>(QStringLiteral("Frame2"));
        if (!next || !answer || !scorePanel)
            return;
        if (next->isEnabled()) {
            if (!answer->isChecked()) {
                answer->setChecked(true);
                QMetaObject::invokeMethod(next, "click", Qt::QueuedConnection);
            }
        } else if (scorePanel->x() <= 8) {
            ready(); // the slide has ended where the question panel stood
        }
    }

    QByteArray m_mode;
    QTimer m_poll;
    int m_menuTicks = 0;
    bool m_chosen = false;
};

void startProbe() {
    const QByteArray mode = qgetenv("QO_PROBE");
    if (mode.isEmpty())
        return;
    qApp->installEventFilter(new Probe(mode));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
