#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QKeyEvent;
class QMouseEvent;
class QListWidget;
class QWidget;

// Uniform keyboard and focus behaviour for data-entry controls. A form makes one instance per
// text box (or combo box) when it loads, binds the control and keeps the instance as long as
// it lives (give the form as parent).
//
// The text box's dynamic property "Tag" (a QString, read at each event) drives the rules:
// - ends with "#F6": light orange (254, 228, 214) on focus with its text selected, white on
//   leaving unless the tag also begins with "BB";
// - begins with "BB" (and does not end with "#F6"): colour left alone;
// - anything else, empty included: light green (192, 255, 192) on focus with its text
//   selected, white on leaving.
// Enter moves to the next control (and is swallowed), Down to the next and Up to the previous,
// unless the tag is exactly "NOENTER". The keypad's decimal key types the user's decimal
// separator.
class ClCntrl : public QObject {
    Q_OBJECT

public:
    explicit ClCntrl(QObject* parent = nullptr);

    // Selects the first row of the bound list that begins with `valor` (ignoring case), or no
    // row when none does.
    void LstBuscarStr(const QString& valor);
    // The same in the bound combo box.
    void BuscarCBO(const QString& valor);

    // Reads the decimal separator again and returns it.
    QString Separador_Decimal();
    QString Obtener_Sep_Decim();
    // Reads the user's decimal separator.
    void ObtenerDecimal();

    // Binding a control replaces the earlier one of the same kind. A text box is a QLineEdit,
    // QTextEdit or QPlainTextEdit.
    void sLinkText(QWidget* textBox);
    void sLinkListBox(QListWidget* listBox);
    void sLinkCBoBox(QComboBox* comboBox);

    // Empties every text box of the form (combo boxes and other controls are left alone).
    void VaciarTxt(QWidget& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void vTextCtrl_GotFocus();
    void vTextCtrl_LostFocus();
    // True when the key was consumed.
    bool vTextCtrl_KeyPress(QKeyEvent& event);
    void vListBox_MouseMove(QMouseEvent& event);

    QString tag() const;
    void moveFocus(bool forward);

    QPointer<QWidget> vTextCtrl;
    QPointer<QListWidget> vListBox;
    QPointer<QComboBox> vCboBox;
    QString vSeparador;
    bool vTeclaDecimal = false;
};
