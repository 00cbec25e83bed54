#include "form2.h"

#include "assets.h"
#include "program.h"
#include "setshape.h"

#include <QUrl>

namespace kviz {

namespace {

// A picture with its tooltip and pointer, named for a screen reader; the
// description says what it does and which key does the same.
rt::Image* picture(QWidget* frame, const QString& name, double left, double top, double width,
                   double height, const QPixmap& pixmap, const QString& toolTip,
                   assets::Pointer pointer, const QString& spokenName, const QString& description) {
    auto* image = new rt::Image(frame, name, left, top, width, height);
    image->setPicture(QIcon(pixmap));
    image->setToolTip(toolTip);
    image->setAccessibleName(spokenName);
    image->setAccessibleDescription(description);
    const assets::PointerImage cursor = assets::pointer(pointer);
    image->setPointer(cursor.image, cursor.hotX, cursor.hotY);
    return image;
}

rt::Label* label(QWidget* frame, const QString& name, const QString& caption, double left,
                 double top, double width, double height) {
    auto* label = new rt::Label(frame, name, caption, left, top, width, height);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(rt::timesFont(12, true));
    rt::setTextColor(label, rt::Blue);
    return label;
}

} // namespace

Form2::Form2(Program& program)
    : rt::Form({QStringLiteral("Form2"), QString(), 6465, 2880, rt::BorderStyle::FixedDialog}),
      m_program(program) {}

void Form2::createControls(QWidget* client) {
    using assets::Pointer;
    window()->setAccessibleName(QStringLiteral("[qo] Kviz, izbor pitanja"));
    Frame1 = new rt::Frame(client, QStringLiteral("Frame1"), QStringLiteral("Izaberite pitanja"),
                           120, 0, 6255, 2775);
    Frame1->setFont(rt::timesFont(12, true));
    rt::setTextColor(Frame1, rt::Blue);

    // The tooltip of the first author has two spaces before the name, and his
    // label begins with one.
    Image1 = picture(Frame1, QStringLiteral("Image1"), 120, 360, 1200, 1200,
                     assets::authorPicture(), QStringLiteral("Pitanja koja je postavio  VarNiKoL"),
                     Pointer::RedArrow, QStringLiteral("Pitanja koja je postavio VarNiKoL"),
                     QStringLiteral("Pocinje kviz sa ovim pitanjima. Taster 1."));
    Label1 =
        label(Frame1, QStringLiteral("Label1"), QStringLiteral(" VarNiKoL"), 120, 1680, 1215, 255);
    Image2 = picture(Frame1, QStringLiteral("Image2"), 1680, 360, 1200, 1200,
                     assets::authorPicture(), QStringLiteral("Pitanja koja je postavio Tuvek"),
                     Pointer::WhiteArrow, QStringLiteral("Pitanja koja je postavio Tuvek"),
                     QStringLiteral("Pocinje kviz sa ovim pitanjima. Taster 2."));
    Label3 =
        label(Frame1, QStringLiteral("Label3"), QStringLiteral("Tuvek"), 1800, 1680, 1095, 375);
    // The third slot holds no set yet.
    Image3 =
        picture(Frame1, QStringLiteral("Image3"), 3240, 360, 1200, 1200, assets::authorPicture(),
                QStringLiteral("Pitanja koja je postavio"), Pointer::UpArrow,
                QStringLiteral("Prazno mesto"), QStringLiteral("Ovde jos nema pitanja."));
    Label5 =
        label(Frame1, QStringLiteral("Label5"), QStringLiteral("Prazno..."), 3120, 1680, 1575, 375);
    Image4 = picture(Frame1, QStringLiteral("Image4"), 4800, 600, 1200, 375, assets::exitPicture(),
                     QStringLiteral("Izlaz"), Pointer::NoEntry, QStringLiteral("Izlaz"),
                     QStringLiteral("Pita da li zelite da izadjete. Taster Esc."));
    Image5 =
        picture(Frame1, QStringLiteral("Image5"), 4800, 2160, 1500, 495, assets::creditsPicture(),
                QStringLiteral("Credits"), Pointer::Magnifier, QStringLiteral("O programu"),
                QStringLiteral("Otvara podatke o autoru. Taster 3 ili F1."));

    on(Image1, &rt::Image::clicked, [this] { Image1_Click(); });
    on(Image2, &rt::Image::clicked, [this] { Image2_Click(); });
    on(Image4, &rt::Image::clicked, [this] { Image4_Click(); });
    on(Image5, &rt::Image::clicked, [this] { Image5_Click(); });
    window()->acceptFileDrops();
}

void Form2::releaseControls() {
    Frame1 = nullptr;
    Image1 = Image2 = Image3 = Image4 = Image5 = nullptr;
    Label1 = Label3 = Label5 = nullptr;
}

bool Form2::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
    if (Shift & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (KeyCode) {
    case Qt::Key_1:
        Image1_Click();
        return true;
    case Qt::Key_2:
        Image2_Click();
        return true;
    case Qt::Key_3:
    case Qt::Key_F1:
        Image5_Click();
        return true;
    case Qt::Key_Escape:
        Image4_Click();
        return true;
    default:
        return false;
    }
}

void Form2::startQuiz(const QString& setFileName) {
    m_program.module1.SetFileName = setFileName;
    // When the quiz window can't open the set its load fails and the error goes
    // on to the handler boundary before the menu is unloaded, so the menu stays.
    m_program.form3.Show();
    Unload();
}

void Form2::Form_DropFiles(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.first().isLocalFile() ||
        !qo::isSetFileName(urls.first().toLocalFile())) {
        rt::MsgBox(QStringLiteral("Na meni se prevlaci jedan set pitanja, datoteka .dyr."),
                   rt::vbExclamation, QStringLiteral("[qo] Kviz"));
        return;
    }
    startQuiz(Program::fullPath(urls.first().toLocalFile()));
}

void Form2::Image1_Click() {
    startQuiz(qo::SetFileNames[0]);
}

void Form2::Image2_Click() {
    startQuiz(qo::SetFileNames[1]);
}

void Form2::Image4_Click() {
    if (rt::MsgBox(QStringLiteral("Dali ocete sigurno da izadjete"),
                   rt::vbYesNo + rt::vbInformation, QStringLiteral("Izlaz")) == rt::vbYes)
        rt::End();
}

void Form2::Image5_Click() {
    m_program.form4.Show();
    Unload();
}

} // namespace kviz
