// The yardstick: the least a Qt 6 Widgets program can do for a window the size of
// the quiz window (422 x 253, a group box, a label, four option buttons and three
// buttons). It quits after its first paint.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Window window;
    window.setWindowTitle(QStringLiteral("yardstick"));
    window.setFixedSize(422, 253);
    auto* group = new QGroupBox(QStringLiteral("Pitanje 1"), &window);
    group->setGeometry(8, 0, 409, 161);
    auto* label = new QLabel(QStringLiteral("Pitanje"), group);
    label->setGeometry(8, 16, 393, 41);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(QStringLiteral("Odgovor %1").arg(i + 1), group);
        option->setGeometry(32 + 208 * (i % 2), 56 + 48 * (i / 2), 162, 43);
    }
    const char* captions[] = {"&Meni", "&Sledece >>>", "&Izlaz"};
    const int lefts[] = {144, 240, 368};
    const int widths[] = {81, 113, 49};
    for (int i = 0; i < 3; ++i)
        (new QPushButton(QString::fromLatin1(captions[i]), &window))
            ->setGeometry(lefts[i], 168, widths[i], 25);
    window.show();
    return app.exec();
}
