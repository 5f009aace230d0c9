#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// One-line input box. Set m_Texto, m_Valor_Defecto and m_Resultado, show it modally, then
// read m_Resultado: the accepted text as typed, or "" when cancelled or closed.
class frmInputText : public QDialog {
    Q_OBJECT

public:
    explicit frmInputText(QWidget* parent = nullptr);

    QString m_Texto;
    QString m_Resultado;
    QString m_Valor_Defecto;
    // Typed characters shown masked (a password).
    bool m_Oculto = false;

    // The preparation of a showing; runs once per showing.
    void Form_Activate();
    void cmdAceptar_Click();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    // The window's close box: the members stay as they are.
    void reject() override;

private:
    void unload(int result);
    void preparar();

    QLabel* lbTexto;
    QLineEdit* txtValor;
    QPushButton* cmdAceptar;
    QPushButton* cmdCancelar;

    corvelix::FirstActivation* activacion_ = nullptr;
};
