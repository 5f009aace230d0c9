#pragma once

#include "imports/HojaExcel.h"

#include <array>

class QLabel;
class QPushButton;

// Loads a declaration's liquidation lines from a spreadsheet: the columns are assigned to the
// six liquidation fields by their header texts, and the user corrects the assignment.
class frmXLS2Liquidaciones : public HojaExcelImport {
    Q_OBJECT

public:
    explicit frmXLS2Liquidaciones(QWidget* parent = nullptr);

    QString m_Despacho;

    void cmdAbrirExcel_Click();
    void cmdCargarCancelaciones_Click();
    void cmdCancelar_Click();
    bool ValidarCamposLiq();
    void cargarLiquidaciones();

    QLabel* lbTitulo;
    QLabel* lbDespacho;
    QPushButton* cmdAbrirExcel;
    QPushButton* cmdCargarCancelaciones;
    QPushButton* cmdCancelar;

protected:
    void seleccionarCampo() override;
    void despuesDeLevantar() override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    enum Campo { Item, Codigo, Tipo, Base, Coef, Total };
    std::array<qint32, 6> columnas_{-1, -1, -1, -1, -1, -1};
};
