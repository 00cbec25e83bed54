#include "controls.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <cmath>

namespace rt {

const QColor Blue(0, 0, 255);
const QColor LightGrey(192, 192, 192);

QString uptoNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

int px(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

QRect twipsRect(double left, double top, double width, double height) {
    return QRect(px(left), px(top), px(width), px(height));
}

QFont timesFont(double points, bool bold) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont defaultFont() {
    // Mark every property as set, so a control inside a bold frame stays regular.
    QFont font = QApplication::font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

void setBackColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    // Buttons fill their background with a role of their own.
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Frame::Frame(QWidget* parent, const QString& name, const QString& caption, double left, double top,
             double width, double height)
    : QGroupBox(caption, parent), m_left(static_cast<float>(left)), m_top(static_cast<float>(top)) {
    place(this, name, left, top, width, height);
}

void Frame::setLeft(float left) {
    m_left = left;
    move(px(left), px(m_top));
}

void Frame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // An etched border whose top line runs through the middle of the caption.
    const QRect border = rect().adjusted(0, metrics.height() / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(border);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.translated(1, 1));
    if (title().isEmpty())
        return;
    const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(caption, palette().color(backgroundRole()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title());
}

Label::Label(QWidget* parent, const QString& name, const QString& caption, double left, double top,
             double width, double height)
    : QLabel(caption, parent) {
    place(this, name, left, top, width, height);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
}

CommandButton::CommandButton(QWidget* parent, const QString& name, const QString& caption,
                             double left, double top, double width, double height)
    : QPushButton(caption, parent) {
    place(this, name, left, top, width, height);
    setAutoDefault(false);
}

OptionButton::OptionButton(QWidget* parent, const QString& name, const QString& caption,
                           double left, double top, double width, double height)
    : QRadioButton(parent), m_caption(new QLabel(this)) {
    place(this, name, left, top, width, height);
    m_caption->setObjectName(name + QStringLiteral("_caption"));
    m_caption->setWordWrap(true);
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Clicks on the caption reach the button itself.
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    setCaption(caption);
}

QString OptionButton::Caption() const {
    return m_caption->text();
}

void OptionButton::setCaption(const QString& caption) {
    m_caption->setText(caption);
    setAccessibleName(caption);
}

void OptionButton::setValue(int value) {
    if (value != 0) {
        setChecked(true);
        return;
    }
    // An exclusive button can't be cleared directly; lift the exclusion for a moment.
    const bool exclusive = autoExclusive();
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(exclusive);
}

bool OptionButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void OptionButton::resizeEvent(QResizeEvent* event) {
    QRadioButton::resizeEvent(event);
    layoutCaption();
}

void OptionButton::changeEvent(QEvent* event) {
    QRadioButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_caption->setFont(font());
        m_caption->setPalette(palette());
        layoutCaption();
    }
}

void OptionButton::layoutCaption() {
    QStyleOptionButton option;
    option.initFrom(this);
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    const int x = indicator + spacing + 2;
    m_caption->setGeometry(x, 0, qMax(0, width() - x), height());
}

TextBox::TextBox(QWidget* parent, const QString& name, const QString& text, double left, double top,
                 double width, double height)
    : QLineEdit(parent) {
    place(this, name, left, top, width, height);
    setTextValue(text);
}

void TextBox::setTextValue(const QString& text) {
    setText(uptoNul(text));
    // Show a space-padded text from its start, not scrolled to the padding.
    setCursorPosition(0);
}

Image::Image(QWidget* parent, const QString& name, double left, double top, double width,
             double height, bool stretch)
    : QLabel(parent), m_stretch(stretch) {
    place(this, name, left, top, width, height);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
}

void Image::setPicture(const QIcon& picture) {
    m_picture = picture;
    render();
}

void Image::setPointer(const QPixmap& pointer, int hotX, int hotY) {
    setCursor(QCursor(pointer, hotX, hotY));
}

void Image::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void Image::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    render();
}

void Image::render() {
    if (m_picture.isNull()) {
        clear();
        return;
    }
    // A picture's own size is the largest size it carries.
    const QList<QSize> sizes = m_picture.availableSizes();
    QSize natural = sizes.isEmpty() ? size() : sizes.first();
    for (const QSize& s : sizes) {
        if (s.width() * s.height() > natural.width() * natural.height())
            natural = s;
    }
    const QPixmap pixmap = m_picture.pixmap(natural);
    setPixmap(m_stretch ? pixmap.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        : pixmap);
}

Timer::Timer(QObject* parent, const QString& name, int intervalMs, bool enabled)
    : QTimer(parent), m_interval(intervalMs) {
    setObjectName(name);
    setInterval(qMax(intervalMs, MinTimerIntervalMs));
    setTimerType(intervalMs < 100 ? Qt::PreciseTimer : Qt::CoarseTimer);
    if (enabled)
        start();
}

void Timer::setEnabled(bool enabled) {
    if (enabled && !isActive())
        start();
    else if (!enabled)
        stop();
}

} // namespace rt
