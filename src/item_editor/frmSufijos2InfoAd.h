#pragma once

#include "item_editor/TransferenciaInfoAd.h"

// Copies the value of one two-character value suffix of the picked items into one
// complementary-information code. Set m_Despacho and show it modally.
class frmSufijos2InfoAd : public TransferenciaInfoAd {
    Q_OBJECT

public:
    explicit frmSufijos2InfoAd(QWidget* parent = nullptr);

    // The value of entry `p_Sufijo` in a suffix string ("AB(123)-" gives "123"); "" when the
    // string has no such entry. An entry not closed by ")-" raises an error.
    static QString extraerValorSufijo(const QString& p_Sufijos, const QString& p_Sufijo);

    QLineEdit* txtSufijo;

protected:
    void procesar() override;
};
