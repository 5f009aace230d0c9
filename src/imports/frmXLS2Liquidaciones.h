#pragma once

#include "imports/HojaDespachoImport.h"

// Loads a declaration's liquidation lines from a spreadsheet: the columns are assigned to the
// six liquidation fields by their header texts, and the user corrects the assignment.
class frmXLS2Liquidaciones : public HojaDespachoImport {
    Q_OBJECT

public:
    explicit frmXLS2Liquidaciones(QWidget* parent = nullptr);

    void cmdCargarCancelaciones_Click() override;
    bool ValidarCamposLiq();
    void cargarLiquidaciones();

protected:
    std::unique_ptr<frmSelectCamposBase> selectorCampos() override;
    void despuesDeLevantar() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum Campo { Item, Codigo, Tipo, Base, Coef, Total };
};
