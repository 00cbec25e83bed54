#include "runtime.h"

#include "controls.h"
#include "rterror.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>

namespace rt {

namespace {

MessageResponder& responder() {
    static MessageResponder r;
    return r;
}

EndHandler& endHandler() {
    static EndHandler h;
    return h;
}

void pinStyle() {
    if (QApplication::style()->name() != QLatin1String("fusion")) {
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
            QApplication::setStyle(fusion);
    }
    if (!qApp->styleSheet().isEmpty())
        qApp->setStyleSheet(QString());
    QToolTip::setPalette(classicPalette());
}

int realMessageBox(const QString& prompt, int flags, const QString& title) {
    QMessageBox box;
    box.setPalette(classicPalette());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setAccessibleName(title);
    box.setAccessibleDescription(prompt);
    switch (flags & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice {
        QString text;
        QMessageBox::ButtonRole role;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 0x7) {
    case vbOKCancel:
        choices = {{QStringLiteral("OK"), QMessageBox::AcceptRole, vbOK},
                   {QStringLiteral("Otkazi"), QMessageBox::RejectRole, vbCancel}};
        break;
    case vbYesNoCancel:
        choices = {{QStringLiteral("&Da"), QMessageBox::YesRole, vbYes},
                   {QStringLiteral("&Ne"), QMessageBox::NoRole, vbNo},
                   {QStringLiteral("Otkazi"), QMessageBox::RejectRole, vbCancel}};
        break;
    case vbYesNo:
        choices = {{QStringLiteral("&Da"), QMessageBox::YesRole, vbYes},
                   {QStringLiteral("&Ne"), QMessageBox::NoRole, vbNo}};
        break;
    default:
        choices = {{QStringLiteral("OK"), QMessageBox::AcceptRole, vbOK}};
        break;
    }
    QList<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons.append(box.addButton(choice.text, choice.role));
    box.setDefaultButton(buttons.first());
    // Escape answers like the last button (No or Cancel); a lone OK answers OK.
    box.setEscapeButton(buttons.last());
    box.exec();
    for (int i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return choices[i].result;
    }
    return choices.last().result;
}

} // namespace

void startUp() {
    pinStyle();
    // A desktop theme may set its style sheet once the event loop runs; it is
    // cleared again then.
    QTimer::singleShot(0, qApp, [] { pinStyle(); });
    checkFonts();
}

int MsgBox(const QString& prompt, int flags, const QString& title) {
    if (responder())
        return responder()(prompt, flags, title);
    return realMessageBox(prompt, flags, title);
}

void End() {
    if (endHandler())
        endHandler()();
    else
        QCoreApplication::exit(0);
    throw ProgramEnded{};
}

void reportError(const QString& text) {
    MsgBox(text, vbCritical, QStringLiteral("Greska"));
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnded&) {
        // The program is ending; nothing more to do.
    } catch (const RuntimeError& error) {
        reportError(error.message());
    } catch (const std::exception& error) {
        reportError(
            QStringLiteral("Neocekivana greska: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        reportError(QStringLiteral("Neocekivana greska."));
    }
}

void setMessageResponder(MessageResponder r) {
    responder() = std::move(r);
}

void setEndHandler(EndHandler h) {
    endHandler() = std::move(h);
}

} // namespace rt
