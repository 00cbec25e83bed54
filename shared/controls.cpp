#include "controls.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rt {

const QColor Blue(0, 0, 255);
const QColor LightGrey(192, 192, 192);

namespace {

QString& serifFamily() {
    static QString family;
    return family;
}

// The largest size of the font, in steps of a quarter point, with which the text
// fits the box: no line wider than the box and, where the text takes more than
// one line, no more lines than the box is high. A single line may stand taller
// than its box, as the platform's labels let it.
QFont fittedFont(const QFont& design, const QRect& box, int flags, const QString& text) {
    constexpr double SmallestPoints = 6.0;
    if (text.isEmpty() || box.isEmpty() || design.pointSizeF() <= 0)
        return design;
    QFont font = design;
    for (double points = design.pointSizeF(); points > SmallestPoints; points -= 0.25) {
        font.setPointSizeF(points);
        const QFontMetrics metrics(font);
        // Measured from the top: a centred line would round its fractions outwards.
        const QRect needed =
            metrics.boundingRect(box, (flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop, text);
        // Measured lines are rounded up to the next pixel; a line that just fills
        // its box may come out one pixel over, which nobody sees.
        if (needed.width() <= box.width() + 1 &&
            needed.height() <= std::max({box.height(), metrics.height(), metrics.lineSpacing()}))
            return points == design.pointSizeF() ? design : font;
    }
    font.setPointSizeF(SmallestPoints);
    return font;
}

} // namespace

QString spokenText(const QString& caption) {
    QString text = uptoNul(caption);
    // "&&" shows one ampersand; a single one marks the access key.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.simplified();
}

int px(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

QRect twipsRect(double left, double top, double width, double height) {
    return QRect(px(left), px(top), px(width), px(height));
}

QFont timesFont(double points, bool bold) {
    QFont font(serifFamily().isEmpty() ? QStringLiteral("Times New Roman") : serifFamily());
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setSerifFamilyForTesting(const QString& family) {
    serifFamily() = family;
}

QString fontWarning(const QString& resolvedFamily) {
    // Faces drawn to the metrics of Times New Roman, so every caption keeps its width.
    static const QStringList sameMetrics = {QStringLiteral("Times New Roman"),
                                            QStringLiteral("Liberation Serif"),
                                            QStringLiteral("Tinos")};
    if (sameMetrics.contains(resolvedFamily, Qt::CaseInsensitive))
        return QString();
    return QStringLiteral("Upozorenje: nema fonta Times New Roman ni Liberation Serif, pa se "
                          "koristi %1 i natpisi mogu biti umanjeni. Instalirajte paket "
                          "fonts-liberation.")
        .arg(resolvedFamily.isEmpty() ? QStringLiteral("drugi font") : resolvedFamily);
}

void checkFonts() {
    static bool checked = false;
    if (checked)
        return;
    checked = true;
    const QString warning = fontWarning(QFontInfo(timesFont(12)).family());
    if (!warning.isEmpty())
        std::fprintf(stderr, "%s\n", warning.toLocal8Bit().constData());
}

QFont defaultFont() {
    // Mark every property as set, so a control inside a bold frame stays regular.
    QFont font = QApplication::font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

const QPalette& classicPalette() {
    static const QPalette palette = [] {
        const QColor grey(239, 239, 239);
        QPalette p(grey); // derives the light and dark shades of the grey
        const auto all = [&p](QPalette::ColorRole role, const QColor& color) {
            p.setColor(QPalette::All, role, color);
        };
        all(QPalette::Window, grey);
        all(QPalette::Button, grey);
        all(QPalette::WindowText, Qt::black);
        all(QPalette::ButtonText, Qt::black);
        all(QPalette::Text, Qt::black);
        all(QPalette::Base, Qt::white);
        all(QPalette::AlternateBase, QColor(247, 247, 247));
        all(QPalette::BrightText, Qt::white);
        all(QPalette::Highlight, QColor(48, 140, 198));
        all(QPalette::HighlightedText, Qt::white);
        all(QPalette::Link, QColor(0, 0, 255));
        all(QPalette::LinkVisited, QColor(255, 0, 255));
        all(QPalette::ToolTipBase, QColor(255, 255, 220));
        all(QPalette::ToolTipText, Qt::black);
        all(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
        const QColor disabledText(190, 190, 190);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                                         QPalette::HighlightedText})
            p.setColor(QPalette::Disabled, role, disabledText);
        p.setColor(QPalette::Disabled, QPalette::Base, grey);
        p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
        // Mark every role of every group as set, so that nothing of the desktop's
        // palette shows through.
        for (int g = 0; g < QPalette::NColorGroups; ++g) {
            const auto group = static_cast<QPalette::ColorGroup>(g);
            for (int r = 0; r < QPalette::NColorRoles; ++r) {
                const auto role = static_cast<QPalette::ColorRole>(r);
                p.setBrush(group, role, p.brush(group, role));
            }
        }
        return p;
    }();
    return palette;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::Text, color);
        palette.setColor(group, QPalette::ButtonText, color);
    }
    widget->setPalette(palette);
}

void setDefaultTextColor(QWidget* widget) {
    const QPalette& classic = classicPalette();
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, classic.color(group, role));
    }
    widget->setPalette(palette);
}

void drawFocusMark(QPainter& painter, const QWidget* control, const QRect& rect) {
    painter.save();
    QPen pen(control->palette().color(QPalette::Active, QPalette::WindowText), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void setBackColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    // Buttons fill their background with a role of their own.
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

DesignFont::DesignFont(QWidget* control) : m_control(control), m_font(control->font()) {}

bool DesignFont::takeChange() {
    if (m_showing)
        return false;
    m_font = m_control->font();
    return true;
}

void DesignFont::show(const QFont& fitted) {
    const QFont current = m_control->font();
    if (fitted == current && fitted.resolveMask() == current.resolveMask())
        return;
    m_showing = true;
    m_control->setFont(fitted);
    m_showing = false;
}

Frame::Frame(QWidget* parent, const QString& name, const QString& caption, double left, double top,
             double width, double height)
    : QGroupBox(caption, parent), m_left(static_cast<float>(left)), m_top(static_cast<float>(top)) {
    place(this, name, left, top, width, height);
    setAccessibleName(spokenText(caption));
}

void Frame::setLeft(float left) {
    m_left = left;
    move(px(left), px(m_top));
}

void Frame::setTitle(const QString& caption) {
    QGroupBox::setTitle(caption);
    setAccessibleName(spokenText(caption));
}

QFont Frame::captionFont() const {
    // The caption may take the frame's width less a margin at each end.
    const QRect room(0, 0, qMax(0, width() - 16), height());
    return fittedFont(font(), room, Qt::AlignLeft | Qt::TextSingleLine, title());
}

void Frame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFont captionFont = this->captionFont();
    painter.setFont(captionFont);
    const QFontMetrics metrics(captionFont);
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
    : QLabel(parent), m_design(this) {
    installAccessibleInterfaces();
    place(this, name, left, top, width, height);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setText(caption);
}

void Label::setText(const QString& text) {
    QLabel::setText(text);
    setAccessibleName(spokenText(text));
    fitText();
}

void Label::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fitText();
}

void Label::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_design.takeChange())
        fitText();
}

void Label::fitText() {
    int flags = int(alignment());
    flags |= wordWrap() ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
    m_design.show(fittedFont(m_design.font(), contentsRect(), flags, text()));
}

CommandButton::CommandButton(QWidget* parent, const QString& name, const QString& caption,
                             double left, double top, double width, double height)
    : QPushButton(caption, parent) {
    place(this, name, left, top, width, height);
    setAutoDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click(); // does nothing while the button is disabled
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusMark(painter, this, rect().adjusted(4, 4, -4, -4));
}

OptionButton::OptionButton(QWidget* parent, const QString& name, const QString& caption,
                           double left, double top, double width, double height)
    : QRadioButton(parent),
      m_caption(new Label(this, name + QStringLiteral("_caption"), QString(), 0, 0, 0, 0)) {
    installAccessibleInterfaces();
    place(this, name, left, top, width, height);
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
    setAccessibleName(spokenText(caption));
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

void OptionButton::keyPressEvent(QKeyEvent* event) {
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        QRadioButton::keyPressEvent(event);
        return;
    }
    QList<OptionButton*> group;
    for (QObject* sibling : parentWidget()->children()) {
        auto* option = dynamic_cast<OptionButton*>(sibling);
        if (option && (option == this || (option->isVisible() && option->isEnabled())))
            group.append(option);
    }
    const qsizetype count = group.size();
    OptionButton* next = group.at((group.indexOf(this) + step + count) % count);
    next->setFocus(Qt::TabFocusReason);
    next->click(); // selects it, as a click would
    event->accept();
}

void OptionButton::paintEvent(QPaintEvent* event) {
    QRadioButton::paintEvent(event);
    if (!hasFocus())
        return;
    // Around the caption's text, as far as the caption's box lets it.
    const QRect box = m_caption->geometry();
    QRect text =
        QFontMetrics(m_caption->font())
            .boundingRect(m_caption->contentsRect(), int(m_caption->alignment()) | Qt::TextWordWrap,
                          m_caption->text())
            .translated(box.topLeft());
    if (m_caption->text().trimmed().isEmpty())
        text = QRect(box.left(), box.center().y() - 6, 12, 12);
    text = text.adjusted(-2, -1, 2, 1).intersected(rect());
    QPainter painter(this);
    drawFocusMark(painter, this, text);
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
    : QLineEdit(parent), m_design(this) {
    place(this, name, left, top, width, height);
    setTextValue(text);
}

void TextBox::setTextValue(const QString& text) {
    setText(uptoNul(text));
    // Show a space-padded text from its start, not scrolled to the padding.
    setCursorPosition(0);
}

int TextBox::lineHeight() const {
    return fontMetrics().height();
}

int TextBox::textRoom() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.height() - textMargins().top() - textMargins().bottom();
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    fitText();
}

void TextBox::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_design.takeChange())
        fitText();
}

void TextBox::fitText() {
    constexpr double SmallestPoints = 6.0;
    QFont fitted = m_design.font();
    const int room = textRoom();
    for (double points = fitted.pointSizeF();
         points > SmallestPoints && QFontMetrics(fitted).height() > room; points -= 0.25)
        fitted.setPointSizeF(points - 0.25);
    m_design.show(fitted);
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
    // A coarse timer would round 888 ms to about 900; the intervals are the design's.
    setTimerType(Qt::PreciseTimer);
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
