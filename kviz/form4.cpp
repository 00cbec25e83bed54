#include "form4.h"

#include "assets.h"
#include "conversions.h"
#include "faces.h"
#include "program.h"

namespace kviz {

namespace {
// The nickname and one space: the ninth tick sets all nine characters and clears
// them in the same tick, so the space is never seen.
const QString TypedText = QStringLiteral("VarNiKoL ");
// The community's address; any web address of the [qo] forums would do.
const QString CommunityAddress = QStringLiteral("www.qo-forumi.net");
} // namespace

Form4::Form4(Program& program)
    : rt::Form({QStringLiteral("Form4"), QString(), 5535, 2400, rt::BorderStyle::FixedDialog}),
      m_program(program) {}

void Form4::createControls(QWidget* client) {
    window()->setAccessibleName(QStringLiteral("[qo] Kviz, o programu"));
    Frame1 = new rt::Frame(client, QStringLiteral("Frame1"), QStringLiteral("Napravio"), 120, 0,
                           5295, 2295);
    Frame1->setFont(rt::timesFont(12, true));
    rt::setTextColor(Frame1, rt::Blue);

    const QString lines[] = {QStringLiteral("Specijalno za "), CommunityAddress,
                             QStringLiteral("Dorvan Plesic"), QStringLiteral("VarNiKoL")};
    for (int i = 0; i < 4; ++i) {
        auto* label = new rt::Label(Frame1, QStringLiteral("Label1_%1").arg(i), lines[i], 1080,
                                    360 + 360 * i, 2895, 375);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFont(rt::timesFont(12, true));
        rt::setTextColor(label, rt::Blue);
        rt::setBackColor(label, rt::LightGrey);
        Label1.add(label);
    }

    const double cornerLeft[] = {120, 4680};
    for (int i = 0; i < 2; ++i) {
        auto* corner = new rt::Image(Frame1, QStringLiteral("Image2_%1").arg(i), cornerLeft[i], 360,
                                     495, 495, true);
        corner->setPicture(assets::cornerLogo());
        corner->setAccessibleName(QStringLiteral("Logo, lice koje menja izraz"));
        Image2.add(corner);
    }

    Command1 = new rt::CommandButton(Frame1, QStringLiteral("Command1"), QStringLiteral("&Meni"),
                                     4320, 1800, 855, 375);
    Command1->setFont(rt::defaultFont());
    Command1->setAccessibleDescription(QStringLiteral("Vraca na izbor pitanja. Taster Esc."));
    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });

    Timer1 = new rt::Timer(Frame1, QStringLiteral("Timer1"), 888);
    on(Timer1, &QTimer::timeout, [this] { Timer1_Timer(); });

    // The animation frames lie below the client area and are never seen; they only
    // hold the pictures the corners take.
    for (int i = 0; i < qo::FaceCount; ++i) {
        auto* frame = new rt::Image(client, QStringLiteral("Image1_%1").arg(i), 2160 + 120 * i,
                                    2880, 480, 480);
        frame->setPicture(assets::face(i));
        frame->setAccessibleName(assets::faceName(i));
        Image1.add(frame);
    }
}

void Form4::releaseControls() {
    Frame1 = nullptr;
    Command1 = nullptr;
    Timer1 = nullptr;
    Label1.clear();
    Image2.clear();
    Image1.clear();
}

bool Form4::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
    if (KeyCode != Qt::Key_Escape || Shift != Qt::NoModifier)
        return false;
    Command1_Click();
    return true;
}

void Form4::Command1_Click() {
    m_program.form2.Show();
    Unload();
}

void Form4::Timer1_Timer() {
    const auto count = static_cast<std::int16_t>(Image1.Count());
    if (FrameIndex < count - 1)
        FrameIndex = rt::add16(FrameIndex, 1);
    else
        FrameIndex = 0;
    Image2(0)->setPicture(Image1(FrameIndex)->Picture());
    Image2(1)->setPicture(Image1(FrameIndex)->Picture());
    LetterCount = rt::add16(LetterCount, 1);
    Frame1->setTitle(rt::Left(TypedText, LetterCount));
    if (LetterCount == 9) {
        Frame1->setTitle(QString());
        LetterCount = 0;
    }
}

} // namespace kviz
