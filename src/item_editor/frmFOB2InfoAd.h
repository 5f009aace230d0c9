#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Writes the picked items' FOB, converted at an exchange rate, as the value of one
// complementary-information code. Set m_Despacho and show it modally.
class frmFOB2InfoAd : public QDialog {
    Q_OBJECT

public:
    explicit frmFOB2InfoAd(QWidget* parent = nullptr);

    QString m_Despacho;

    void cargarDatos();
    void bucarInfoAdicional();
    void cmdProcesar_Click();
    void cmdCancelar_Click();

    QLabel* lbDespacho;
    QLineEdit* txtMoneda;
    QLineEdit* txtTipoPase;
    QLineEdit* txtInfoAdicional;
    QPushButton* cmdInfoAdic;
    QPushButton* cmdProcesar;
    QPushButton* cmdCancelar;
    QLabel* lbItem;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void habilitar(bool si);

    corvelix::FirstActivation* activacion_ = nullptr;
};
