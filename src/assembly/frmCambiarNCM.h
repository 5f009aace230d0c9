#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvelix {
class FirstActivation;
}

// Replaces one NCM code by another on every item of declaration m_Despachos that carries it.
// m_Resultado tells the opener whether anything was replaced.
class frmCambiarNCM : public QDialog {
    Q_OBJECT

public:
    explicit frmCambiarNCM(QWidget* parent = nullptr);

    QString m_Despachos;
    bool m_Resultado = false;

    void Form_Activate();
    void cargarNCMDespacho();
    void cboNCMActual_Click();
    void cmdReemplazar_Click();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QComboBox* cboNCMActual;
    QLineEdit* txtNCMNuevo;
    QPushButton* cmdReemplazar;
    QPushButton* cmdCancelar;
    corvelix::FirstActivation* activacion_;
};
