#pragma once

#include "imports/HojaDespachoImport.h"

class QLineEdit;

// Replaces a declaration's cancellation lines by the rows of a spreadsheet whose columns the
// user assigns to the eight cancellation fields.
class frmXLS2Cancelaciones : public HojaDespachoImport {
    Q_OBJECT

public:
    explicit frmXLS2Cancelaciones(QWidget* parent = nullptr);

    void Form_Activate();
    void cmdCargarCancelaciones_Click() override;
    void cmdCancelar_Click() override;
    bool ValidarCampos();
    void cargarCancelaciones();

    QLabel* lbFactorPonderacion;
    QLineEdit* txtFactorPonderacion;

protected:
    std::unique_ptr<frmSelectCamposBase> selectorCampos() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum Campo { DestinacionItem, DIT, Item, Subitem, NCM, Cantidad, Certificado, Factor };
    bool activado_ = false;
};
