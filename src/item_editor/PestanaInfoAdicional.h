#pragma once

#include "item_editor/PestanaItem.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Inf Adicional": the complementary information (CPL) of the item, or in ITEM GLOBAL the
// code/value pairs every item shares, written to the items of the item picker.
class PestanaInfoAdicional : public PestanaItem {
    Q_OBJECT

public:
    PestanaInfoAdicional(QWidget& pagina, ContextoItem contexto);

    void CargarInfoAdicional(const QString& despacho, const QString& item);
    void CargarInfoAdicional_ZERO(const QString& despacho);
    void AgregarInformacionAd();
    void AgregarInformacionAd_ALL_ITEMS();
    void EliminarInfoAdicional();
    void eliminarInfoAd_ALLITEMS();
    void editarInfoAD();
    // Whether a row of origin mark `p_Tipo` and code `p_Codigo` may have its value changed.
    static bool InfoAdHabilitados(const QString& p_Tipo, const QString& p_Codigo);
    void cmdMiListaInfoAd_Click();
    void cmdVaciarInfoAD_Click();
    // F6 in the code box.
    void seleccionarCodigo();

    // The origin mark of the code in the code box ("D", "S" or empty).
    [[nodiscard]] QString marca() const { return marca_; }

    QLineEdit* txtInfAdicional;
    QLineEdit* txtInfAdicionalValor;
    QTreeWidget* lstInfAdItem;
    QPushButton* cmdMiListaInfoAd;
    QPushButton* cmdVaciarInfoAD;

private:
    void vaciarCajas();
    void recargar();

    QString marca_;
};
