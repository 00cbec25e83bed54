// The controls windows are built from, placed in twips (15 to a pixel).
#pragma once

#include "conversions.h"
#include "rterror.h"
#include "runtime.h"

#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <vector>

namespace rt {

constexpr int TwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel.
int px(double twips);
QRect twipsRect(double left, double top, double width, double height);

// Times New Roman at a point size; fontconfig maps it to a metric-compatible face.
QFont timesFont(double points, bool bold = false);
// The platform's default dialog font, for controls whose design sets none.
QFont defaultFont();
// Makes timesFont() give another family, so tests can lay the windows out with a
// serif face whose metrics differ; an empty name goes back to Times New Roman.
void setSerifFamilyForTesting(const QString& family);

// The warning for a Times New Roman that resolved to the given family: empty when
// the family is Times New Roman itself or a face with its metrics.
QString fontWarning(const QString& resolvedFamily);
// Says once on stderr when Times New Roman resolves to a face with other metrics.
void checkFonts();

extern const QColor Blue;
extern const QColor LightGrey;

// The programs' own light palette: the platform's classic grey with black text.
// Every window paints with it, whatever the desktop's theme says, so the design
// colours set on top of it stay readable.
const QPalette& classicPalette();

// Text colour of an enabled control; a disabled one keeps the palette's grey.
void setTextColor(QWidget* widget, const QColor& color);
void setBackColor(QWidget* widget, const QColor& color);
// Gives a control the default text colours back instead of those of its container.
void setDefaultTextColor(QWidget* widget);

// What a screen reader is given of a caption: the shown text without its padding
// and without the access-key marker.
QString spokenText(const QString& caption);

// Leaves a control of a window's client area, and everything in it, out of what
// assistive technology is told about the window, or gives it back: for a control
// that is on the window but not yet part of what the user is shown, such as a
// panel waiting outside the client area. The control looks and behaves as before.
void setHiddenFromAccessibility(QWidget* control, bool hidden);
bool isHiddenFromAccessibility(const QWidget* control);
// Makes assistive technology read the runtime's controls as the user sees them: a
// label by its own text only (an empty one has no name), an option button as one
// radio button without its caption read again as a label of its own, and a plain
// container without the controls hidden from it. Done once, before any window.
void installAccessibleInterfaces();

// The runtime's focus mark: a dotted rectangle in the control's text colour.
void drawFocusMark(QPainter& painter, const QWidget* control, const QRect& rect);

// Sets a widget's object name and twips geometry; returns it for chaining.
template <typename W>
W* place(W* widget, const QString& name, double left, double top, double width, double height) {
    widget->setObjectName(name);
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// The font a control's design gives it, kept apart from the smaller size the
// control may be shown in so that its text stays inside its box.
class DesignFont {
public:
    explicit DesignFont(QWidget* control);
    const QFont& font() const { return m_font; }
    // For a font change of the control: true when it came from outside, which
    // makes the control's font the new design font.
    bool takeChange();
    // Shows the control in the given size of the design font.
    void show(const QFont& fitted);

private:
    QWidget* m_control;
    QFont m_font;
    bool m_showing = false;
};

// A frame whose Left is kept in twips at single precision, so that moves of a
// fraction of a pixel add up exactly. Its caption sits on the top line of its
// border, and its controls are placed from its own top-left corner.
class Frame : public QGroupBox {
public:
    Frame(QWidget* parent, const QString& name, const QString& caption, double left, double top,
          double width, double height);

    float Left() const { return m_left; }
    void setLeft(float left);
    float Top() const { return m_top; }
    // Hides QGroupBox::setTitle so that the accessible name follows the caption.
    void setTitle(const QString& caption);
    // The font the caption is drawn with: the frame's own, or a smaller size of it
    // when a face wider than the design's would run past the frame.
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    float m_left;
    float m_top;
};

// A label that wraps its words inside its box, as the platform's labels do. A text
// that would run out of the box (a long text, or a face wider than the design's)
// is shown in a smaller size of the label's font, only as small as needed.
class Label : public QLabel {
public:
    Label(QWidget* parent, const QString& name, const QString& caption, double left, double top,
          double width, double height);

    // Hides QLabel::setText: the size and the accessible name follow the text.
    void setText(const QString& text);
    // The font set by the window's design, before any fitting.
    QFont designFont() const { return m_design.font(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitText();
    DesignFont m_design;
};

// A command button. Enter presses it when it has the focus, as Space does.
class CommandButton : public QPushButton {
public:
    CommandButton(QWidget* parent, const QString& name, const QString& caption, double left,
                  double top, double width, double height);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// An option button whose caption wraps inside its box. Buttons with the same
// parent exclude each other. Value is -1 when selected, 0 when not.
class OptionButton : public QRadioButton {
public:
    OptionButton(QWidget* parent, const QString& name, const QString& caption, double left,
                 double top, double width, double height);

    QString Caption() const;
    void setCaption(const QString& caption);
    int Value() const { return isChecked() ? -1 : 0; }
    // Setting -1 clears the other buttons of the container; 0 clears just this one.
    void setValue(int value);

protected:
    bool hitButton(const QPoint& pos) const override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The arrow keys select the previous or next button of the container, in the
    // order the buttons were made, going round at the ends.
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutCaption();
    Label* m_caption;
};

// A single-line text box. A text holding a NUL character shows only up to it. A
// face taller than the design's is shown a size smaller, so the line stays whole.
class TextBox : public QLineEdit {
public:
    TextBox(QWidget* parent, const QString& name, const QString& text, double left, double top,
            double width, double height);

    QString Text() const { return text(); }
    void setTextValue(const QString& text);
    // The height of a line of text and the height the box gives it.
    int lineHeight() const;
    int textRoom() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitText();
    DesignFont m_design;
};

// An image showing a picture at its own size, or stretched to the box.
class Image : public QLabel {
    Q_OBJECT
public:
    Image(QWidget* parent, const QString& name, double left, double top, double width,
          double height, bool stretch = false);

    const QIcon& Picture() const { return m_picture; }
    void setPicture(const QIcon& picture);
    // A pointer image with its hot spot, shown while the mouse is over the image.
    void setPointer(const QPixmap& pointer, int hotX, int hotY);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();
    QIcon m_picture;
    bool m_stretch;
};

// A timer that ticks every Interval ms while enabled, no faster than the ordinary
// desktop timer resolution; it keeps its interval to the millisecond.
class Timer : public QTimer {
public:
    Timer(QObject* parent, const QString& name, int intervalMs, bool enabled = true);

    int Interval() const { return m_interval; }
    bool Enabled() const { return isActive(); }
    void setEnabled(bool enabled);

private:
    int m_interval;
};

// Members sharing a name, addressed by a 0-based index.
template <typename T> class ControlArray {
public:
    void add(T* member) { m_members.push_back(member); }
    void clear() { m_members.clear(); }
    int Count() const { return static_cast<int>(m_members.size()); }

    // A member that does not exist is the runtime's missing-member error.
    T* operator()(int index) const {
        if (index < 0 || index >= Count() || !m_members[index])
            raise(ErrorKind::MissingControlMember);
        return m_members[index];
    }
    bool exists(int index) const { return index >= 0 && index < Count() && m_members[index]; }

private:
    std::vector<QPointer<T>> m_members;
};

} // namespace rt
