#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// Asks for the suspensive-destination declaration and an optional certificate with which the
// opener generates cancellations for every item. Set both members empty, show it modally, then
// read them: as typed after "Generar", empty after "Cancelar", unchanged after the close box.
class frmGenerarCancelaciones : public QDialog {
    Q_OBJECT

public:
    explicit frmGenerarCancelaciones(QWidget* parent = nullptr);

    QString m_DIT;
    QString m_CTIT;

    void cmdGenerar_Click();
    void cmdCancelar_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* txtDIT;
    QLineEdit* txtCTIT;
    QPushButton* cmdGenerar;
    QPushButton* cmdCancelar;
};
