#pragma once

#include <QDialog>
#include <QString>

class ClCntrl;
class QLineEdit;
class QPushButton;

// One new invoice number for a declaration, checked and stored by the dialog itself. Set
// m_Operacion, show it modally, then read m_Resultado (true: an invoice was stored).
class frmFacturas : public QDialog {
    Q_OBJECT

public:
    explicit frmFacturas(QWidget* parent = nullptr);

    QString m_Operacion;
    bool m_Resultado = false;

    void Form_Activate();
    void guardarFC();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* txtFactura;
    QPushButton* cmdAgregar;
    QPushButton* cmdCancelar;
    ClCntrl* control_;
};

// Blanks are spaces only, as the old Trim took them: a tab at either end stays.
QString trimBlanks(const QString& text);
