// What assistive technology is told about the runtime's controls: the interfaces
// that replace Qt's own where those read a control otherwise than the user sees it.
#include "controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>

namespace rt {

namespace {

constexpr char HiddenProperty[] = "qoHiddenFromAccessibility";

// A label is read by its own text. Qt's interface names a label without text
// after the frame it stands in, so an empty score line was read as the frame's
// caption.
class AccessibleLabel : public QAccessibleWidget {
public:
    explicit AccessibleLabel(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? spokenText(static_cast<const QLabel*>(widget())->text()) : name;
    }
};

// An option button is one radio button, named by its own name or caption. Its
// caption is drawn by a label inside it, which is not read a second time.
class AccessibleOption : public QAccessibleWidget {
public:
    explicit AccessibleOption(OptionButton* option)
        : QAccessibleWidget(option, QAccessible::RadioButton) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? spokenText(option()->Caption()) : name;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = option()->isChecked();
        s.pressed = option()->isDown();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            if (widget()->isEnabled())
                option()->click(); // selects it, as a click does
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    OptionButton* option() const { return static_cast<OptionButton*>(widget()); }
};

// A plain container (a window's client area) lists its controls as Qt does, less
// those hidden from assistive technology.
class AccessibleContainer : public QAccessibleWidget {
public:
    explicit AccessibleContainer(QWidget* container) : QAccessibleWidget(container) {}

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> children = shown();
        return index >= 0 && index < children.size() ? children.at(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(shown().indexOf(const_cast<QAccessibleInterface*>(child)));
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (QAccessibleInterface* child : shown()) {
            if (child->rect().contains(x, y))
                return child;
        }
        return nullptr;
    }

private:
    QList<QAccessibleInterface*> shown() const {
        QList<QAccessibleInterface*> children;
        for (int i = 0, n = QAccessibleWidget::childCount(); i < n; ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            if (child && !isHiddenFromAccessibility(qobject_cast<QWidget*>(child->object())))
                children << child;
        }
        return children;
    }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    // The runtime's controls carry no meta-object of their own, so they are known
    // by the Qt class they are built on.
    if (className == QLatin1String("QLabel")) {
        if (auto* label = dynamic_cast<Label*>(object))
            return new AccessibleLabel(label);
    } else if (className == QLatin1String("QRadioButton")) {
        if (auto* option = dynamic_cast<OptionButton*>(object))
            return new AccessibleOption(option);
    } else if (className == QLatin1String("QWidget") &&
               object->metaObject() == &QWidget::staticMetaObject) {
        return new AccessibleContainer(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

void installAccessibleInterfaces() {
    // Qt asks the factories installed last first, so these go before its own.
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void setHiddenFromAccessibility(QWidget* control, bool hidden) {
    if (isHiddenFromAccessibility(control) == hidden)
        return;
    control->setProperty(HiddenProperty, hidden);
    if (!QAccessible::isActive())
        return;
    // An assistive technology that holds the window's tree learns of the change:
    // a control given back is new to it, one taken away is no longer shown.
    if (hidden) {
        QAccessibleEvent gone(control, QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&gone);
    } else {
        QAccessibleEvent created(control, QAccessible::ObjectCreated);
        QAccessible::updateAccessibility(&created);
        QAccessibleEvent shown(control, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
}

bool isHiddenFromAccessibility(const QWidget* control) {
    return control && control->property(HiddenProperty).toBool();
}

} // namespace rt
