#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Copies the value of one two-character value suffix of the picked items into one
// complementary-information code. Set m_Despacho and show it modally.
class frmSufijos2InfoAd : public QDialog {
    Q_OBJECT

public:
    explicit frmSufijos2InfoAd(QWidget* parent = nullptr);

    QString m_Despacho;

    void bucarInfoAdicional();
    void cmdProcesar_Click();
    void cmdCancelar_Click();
    // The value of entry `p_Sufijo` in a suffix string ("AB(123)-" gives "123"); "" when the
    // string has no such entry. An entry not closed by ")-" raises an error.
    static QString extraerValorSufijo(const QString& p_Sufijos, const QString& p_Sufijo);

    QLabel* lbDespacho;
    QLineEdit* txtSufijo;
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
