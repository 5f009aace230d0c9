#pragma once

#include "item_editor/PestanaItem.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Ventajas": the advantages (SRG) of the item, or in ITEM GLOBAL the codes every item has,
// added to the items of the item picker.
class PestanaVentajas : public PestanaItem {
    Q_OBJECT

public:
    PestanaVentajas(QWidget& pagina, ContextoItem contexto);

    void cargarVentajas(const QString& despacho, const QString& item);
    void cargarVentajas_ZERO(const QString& despacho);
    void SeleccionarVentajas();
    void AgregarVentaja();
    void AgregarVentaja_ALLITEMS();
    void EliminarVentaja();
    void eliminarVentajasALLITEMS();
    void cmdVaciarVentajas_Click();

    QLineEdit* txtVentajas;
    QLabel* lbVentaja;
    QTreeWidget* lstVentajas;
    QPushButton* cmdVaciarVentajas;

private:
    void validaLiquidacion();
};
