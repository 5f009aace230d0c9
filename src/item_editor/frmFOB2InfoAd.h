#pragma once

#include "item_editor/TransferenciaInfoAd.h"

// Writes the picked items' FOB, converted at an exchange rate, as the value of one
// complementary-information code. Set m_Despacho and show it modally.
class frmFOB2InfoAd : public TransferenciaInfoAd {
    Q_OBJECT

public:
    explicit frmFOB2InfoAd(QWidget* parent = nullptr);

    void cargarDatos();

    QLineEdit* txtMoneda;
    QLineEdit* txtTipoPase;

protected:
    void procesar() override;
    void alAbrir() override { cargarDatos(); }
};
