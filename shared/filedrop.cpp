#include "filedrop.h"

#include "runtime.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace rt {

namespace {

class DropTarget : public QObject {
public:
    DropTarget(QWidget* window, std::function<void(const QStringList&)> handler)
        : QObject(window), m_handler(std::move(handler)) {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            // Copy, never move: a file manager removes what was moved.
            if (drag->possibleActions() & Qt::CopyAction) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls()) {
                if (url.isLocalFile())
                    files << QDir::toNativeSeparators(url.toLocalFile());
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // The handler may ask the user something; the program the files came from
            // waits for the drop to end, so the handler runs after it, unless the
            // window has been closed by then.
            QMetaObject::invokeMethod(
                this,
                [this, files, handler = m_handler] {
                    if (static_cast<QWidget*>(parent())->isVisible())
                        runHandler([&] { handler(files); });
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void(const QStringList&)> m_handler;
};

} // namespace

void acceptFileDrops(QWidget* window, std::function<void(const QStringList& files)> handler) {
    new DropTarget(window, std::move(handler));
}

} // namespace rt
