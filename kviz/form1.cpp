#include "form1.h"

#include "assets.h"
#include "program.h"

namespace kviz {

Form1::Form1(Program& program)
    : rt::Form({QStringLiteral("Form1"), QString(), 7455, 1260, rt::BorderStyle::FixedDialog}),
      m_program(program) {}

void Form1::createControls(QWidget* client) {
    window()->setAccessibleName(QStringLiteral("[qo] Kviz"));
    // Both controls reach far below the client area; its lower edge clips them, so
    // only the caption and the top of the frame's border show above the banner.
    Frame1 = new rt::Frame(client, QStringLiteral("Frame1"),
                           QStringLiteral("Dorvan Plesic **VarNiKoL** specijalno za [qo]"), 120, 0,
                           7335, 1935);
    Frame1->setFont(rt::timesFont(12, true));
    rt::setTextColor(Frame1, rt::Blue);

    // The picture box lies above the frame and shows the banner at its own size from
    // its top-left corner; the box's right edge cuts off the rest of the banner.
    Picture1 = rt::place(new QLabel(client), QStringLiteral("Picture1"), 120, 360, 7335, 14550);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(assets::banner());
    Picture1->setFocusPolicy(Qt::NoFocus);
    Picture1->setAccessibleName(QStringLiteral("[qo] forumi"));
    Picture1->raise();

    Timer1 = new rt::Timer(Picture1, QStringLiteral("Timer1"), 1000);
    on(Timer1, &QTimer::timeout, [this] { Timer1_Timer(); });
}

void Form1::releaseControls() {
    Frame1 = nullptr;
    Picture1 = nullptr;
    Timer1 = nullptr;
}

void Form1::Timer1_Timer() {
    Show();
    Refresh();
    // A set named when the program started plays at once; the menu comes when there
    // is none, or when it can't be played.
    if (!m_program.playNamedSet()) {
        m_program.form2.Load();
        m_program.form2.Show();
    }
    Unload();
}

} // namespace kviz
