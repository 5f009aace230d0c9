#include "shell/ClCntrl.h"

#include "runtime/VbError.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;

namespace {

// &HD6E4FE and &HC0FFC0 of the old colour form (blue, green, red from the top byte down).
const QColor kColorF6(254, 228, 214);
const QColor kColorFoco(192, 255, 192);
const QColor kBlanco(255, 255, 255);

void setBackColor(QWidget& w, const QColor& color) {
    QPalette palette = w.palette();
    palette.setColor(QPalette::Base, color);
    w.setPalette(palette);
}

void selectAllText(QWidget& w) {
    if (auto* line = qobject_cast<QLineEdit*>(&w))
        line->selectAll();
    else if (auto* text = qobject_cast<QTextEdit*>(&w))
        text->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(&w))
        plain->selectAll();
}

bool isKeypadDecimal(const QKeyEvent& event) {
    return (event.modifiers() & Qt::KeypadModifier) != 0 &&
           (event.key() == Qt::Key_Period || event.key() == Qt::Key_Comma);
}

bool isTextBox(const QWidget* w) {
    if (qobject_cast<const QTextEdit*>(w) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(w) != nullptr)
        return true;
    if (qobject_cast<const QLineEdit*>(w) == nullptr)
        return false;
    // The edit field inside a combo or spin box belongs to that control.
    const QWidget* owner = w->parentWidget();
    return qobject_cast<const QComboBox*>(owner) == nullptr &&
           qobject_cast<const QAbstractSpinBox*>(owner) == nullptr;
}

// The old "object variable not set" error, for operations on a kind of control never bound.
template <class T> T& bound(const QPointer<T>& control) {
    if (!control)
        throw corvelix::VbError(91, QStringLiteral("Corvelix.ClCntrl"),
                                QStringLiteral("Variable de objeto o bloque With no establecido"));
    return *control;
}

} // namespace

ClCntrl::ClCntrl(QObject* parent) : QObject(parent) {
    ObtenerDecimal();
}

void ClCntrl::ObtenerDecimal() {
    vSeparador = QLocale().decimalPoint();
    if (vSeparador.isEmpty())
        ui().msgBox(QStringLiteral("No se puedo obtener la información"), MsgButtons::Ok,
                    MsgIcon::None);
}

QString ClCntrl::Separador_Decimal() {
    ObtenerDecimal();
    return vSeparador;
}

QString ClCntrl::Obtener_Sep_Decim() {
    return Separador_Decimal();
}

void ClCntrl::sLinkText(QWidget* textBox) {
    if (vTextCtrl)
        vTextCtrl->removeEventFilter(this);
    vTextCtrl = textBox;
    vTeclaDecimal = false;
    if (textBox != nullptr)
        textBox->installEventFilter(this);
}

void ClCntrl::sLinkListBox(QListWidget* listBox) {
    if (vListBox)
        vListBox->viewport()->removeEventFilter(this);
    vListBox = listBox;
    if (listBox != nullptr) {
        // Moves without a button pressed must reach us for the tooltip.
        listBox->viewport()->setMouseTracking(true);
        listBox->viewport()->installEventFilter(this);
    }
}

void ClCntrl::sLinkCBoBox(QComboBox* comboBox) {
    vCboBox = comboBox;
}

void ClCntrl::LstBuscarStr(const QString& valor) {
    QListWidget& lista = bound(vListBox);
    for (int i = 0; i < lista.count(); ++i) {
        if (lista.item(i)->text().startsWith(valor, Qt::CaseInsensitive)) {
            lista.setCurrentRow(i);
            return;
        }
    }
    lista.setCurrentRow(-1);
    lista.clearSelection();
}

void ClCntrl::BuscarCBO(const QString& valor) {
    QComboBox& combo = bound(vCboBox);
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i).startsWith(valor, Qt::CaseInsensitive)) {
            combo.setCurrentIndex(i);
            return;
        }
    }
    combo.setCurrentIndex(-1);
}

void ClCntrl::VaciarTxt(QWidget& form) {
    const auto widgets = form.findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        // Text boxes of child forms (windows of their own) are not this form's.
        if (!isTextBox(w) || w->window() != form.window())
            continue;
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->clear();
        else if (auto* text = qobject_cast<QTextEdit*>(w))
            text->clear();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
            plain->clear();
    }
}

QString ClCntrl::tag() const {
    return vTextCtrl ? vTextCtrl->property("Tag").toString() : QString();
}

bool ClCntrl::eventFilter(QObject* watched, QEvent* event) {
    if (vTextCtrl && watched == vTextCtrl.data()) {
        switch (event->type()) {
        case QEvent::FocusIn:
            vTextCtrl_GotFocus();
            break;
        case QEvent::FocusOut:
            vTextCtrl_LostFocus();
            break;
        case QEvent::KeyPress:
            return vTextCtrl_KeyPress(*static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            if (isKeypadDecimal(*static_cast<QKeyEvent*>(event)))
                vTeclaDecimal = false;
            break;
        default:
            break;
        }
    } else if (vListBox && watched == vListBox->viewport() && event->type() == QEvent::MouseMove) {
        vListBox_MouseMove(*static_cast<QMouseEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

void ClCntrl::vTextCtrl_GotFocus() {
    const QString t = tag();
    if (t.endsWith(QLatin1String("#F6"))) {
        setBackColor(*vTextCtrl, kColorF6);
        selectAllText(*vTextCtrl);
    } else if (!t.startsWith(QLatin1String("BB"))) {
        setBackColor(*vTextCtrl, kColorFoco);
        selectAllText(*vTextCtrl);
    }
}

void ClCntrl::vTextCtrl_LostFocus() {
    const QString t = tag();
    if (!t.startsWith(QLatin1String("BB")))
        setBackColor(*vTextCtrl, kBlanco);
}

void ClCntrl::moveFocus(bool forward) {
    // The same move a Tab or Shift+Tab keystroke makes, in the window's tab order.
    QWidget* window = vTextCtrl->window();
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(window, &tab);
}

bool ClCntrl::vTextCtrl_KeyPress(QKeyEvent& event) {
    const bool moves = tag() != QLatin1String("NOENTER");
    const int key = event.key();
    if (isKeypadDecimal(event)) {
        vTeclaDecimal = true;
        if (!vSeparador.isEmpty() && event.text() != vSeparador.left(1)) {
            // Typed again as the separator; the control then handles it as its own key.
            QKeyEvent typed(QEvent::KeyPress, key, event.modifiers() & ~Qt::KeypadModifier,
                            vSeparador.left(1), event.isAutoRepeat());
            QCoreApplication::sendEvent(vTextCtrl, &typed);
            return true;
        }
        return false;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && moves) {
        moveFocus(true);
        return true;
    }
    if (key == Qt::Key_Up && moves)
        moveFocus(false);
    else if (key == Qt::Key_Down && moves)
        moveFocus(true);
    return false;
}

void ClCntrl::vListBox_MouseMove(QMouseEvent& event) {
    if (event.buttons() != Qt::NoButton)
        return;
    try {
        QListWidget& lista = *vListBox;
        const QModelIndex index = lista.indexAt(event.position().toPoint());
        lista.setToolTip(index.isValid() ? lista.item(index.row())->text() : QString());
    } catch (...) {
        ui().msgBox(corvelix::currentError().description, MsgButtons::Ok, MsgIcon::None);
    }
}
