#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace corvelix {
class FirstActivation;
}

// Confirmation of a RET header's key fields. The opener sets the five texts and m_Acepto =
// false, shows it modally, then reads m_Acepto and, when true, the five texts.
class frmRET2TXT : public QDialog {
    Q_OBJECT

public:
    explicit frmRET2TXT(QWidget* parent = nullptr);

    QString m_CUITDespachante;
    QString m_CUITimportador;
    QString m_Aduana;
    QString m_SubReg;
    QString m_CondVenta;
    bool m_Acepto = false;

    void Form_Activate();
    void cargarCBOs();
    void cmdConfirmar_Click();
    void cmdCancelar_Click();

private:
    QLineEdit* txtCUITDespachante;
    QLineEdit* txtCUITImportador;
    QLineEdit* txtAduana;
    QComboBox* cboSubReg;
    QComboBox* cboCondicionVenta;
    QLabel* lbcondicionventa;
    QPushButton* cmdConfirmar;
    QPushButton* cmdCancelar;
    corvelix::FirstActivation* activacion_;
};
