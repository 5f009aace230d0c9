#pragma once

// The item editor: one item of one declaration (m_Item a real item number) or the values common
// to all its items (m_Item "0000", ITEM GLOBAL), in nine tabs.
//
// How a tab's own files fill the window (the extension point):
// - Each tab page is an empty QWidget made by the window (tabMontos() .. tabLiquidacion(), in
//   the order of PestanaIndice). On "Prorrateos" the window keeps the MARCA field at the
//   bottom of the page; tabProrrateos() is the empty area above it ("tabProrrateosArea"). A tab's
//   code builds its controls on that page, with a layout of its own, from an install function `void
//   instalar<Tab>(frmItemDetalle&)` that it adds as one line to frmItemDetalle::instalarPestanas()
//   (frmItemDetalle_pestanas.cpp). Install functions run once, in the constructor, after the
//   window's own controls exist.
// - Loading: an install function registers its loader with agregarCargador(paso, fn). Each
//   load (cargaDataItem for one item, cargaDataItem_Zero for ITEM GLOBAL) calls the loaders of
//   the steps in the order of PasoCarga, passing whether the window is in ITEM GLOBAL; the
//   window itself fills the header, "Montos", "Subitems" and "Liquidación". A loader that
//   throws ends the load with the load's own message (as the steps of the window do).
// - Text boxes of a tab get their ClCntrl by object name at each load (the window's list of
//   26 names); the "Vaciar" buttons and the heights of lstInfAdItem / lstVentajas are set by
//   the activation by object name too, so a tab only has to create them with those names.
// - cboOpcionesIVA and cboOpcionesGanancias, when a tab created them, are filled by Form_Load.
// - esItemGlobal() is the scope test of every tab operation; setPestanaVisible() switches a
//   tab on and off (a tab switched off is hidden).
// - Every user action of a tab runs under corvelix::runHandler(window, "<control>_<Event>").

#include "shell/ClCntrl.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace corvelix {
class FirstActivation;
}

class frmItemDetalle : public QDialog {
    Q_OBJECT

public:
    explicit frmItemDetalle(QWidget* parent = nullptr);
    ~frmItemDetalle() override;

    // Declaration number (IDDT) and item number (NART, 4 digits; "0000" opens ITEM GLOBAL).
    QString m_Operacion;
    QString m_Item;

    enum PestanaIndice {
        Montos = 0,
        InfAdicional = 1,
        Ventajas = 2,
        Documentos = 3,
        Subitems = 4,
        CCPAC = 5,
        Prorrateos = 6,
        Cancelaciones = 7,
        Liquidacion = 8,
    };

    // Load steps after the window's own, in the order they run.
    enum class PasoCarga {
        InfoAdicional,
        Ventajas,
        Documentos,
        CCPAC,
        Subitems,      // one item only
        Cancelaciones, // one item only, when the sub-regime carries cancellations
        Liquidacion,   // one item only
    };
    using Cargador = std::function<void(bool itemGlobal)>;
    void agregarCargador(PasoCarga paso, Cargador cargador);

    // The tab operations' scope: ITEM GLOBAL when m_Item is "0000".
    [[nodiscard]] bool esItemGlobal() const;

    QTabWidget* sstITEM() const { return sstITEM_; }
    QWidget* pestana(PestanaIndice indice) const;
    QWidget* tabMontos() const { return pestana(Montos); }
    QWidget* tabInfAdicional() const { return pestana(InfAdicional); }
    QWidget* tabVentajas() const { return pestana(Ventajas); }
    QWidget* tabDocumentos() const { return pestana(Documentos); }
    QWidget* tabSubitems() const { return pestana(Subitems); }
    QWidget* tabCCPAC() const { return pestana(CCPAC); }
    QWidget* tabProrrateos() const { return pestana(Prorrateos); }
    QWidget* tabCancelaciones() const { return pestana(Cancelaciones); }
    QWidget* tabLiquidacion() const { return pestana(Liquidacion); }
    void setPestanaVisible(PestanaIndice indice, bool visible);
    [[nodiscard]] bool pestanaVisible(PestanaIndice indice) const;

    // Window events.
    void Form_Load();
    void Form_Activate();
    // Esc closes; true when the key was taken.
    bool Form_KeyDown(int key);

    // The two loads; the complementary-information tab calls cargaDataItem_Zero again.
    void cargaDataItem();
    void cargaDataItem_Zero();

    // "Montos"
    void CargarDatos_Item();
    void GuardarValores();
    void BloquearCampos_TieneSubitems();
    void cmdEstablecerValoresItem_Click();

    // Field setters above the tabs.
    void cmdSetLista_Click();
    void cmdSetEstadoM_Click();
    void cmdsetOrigen_Click();
    void cmdSetProc_Click();

    // "Subitems" and the MARCA suffix (on "Prorrateos").
    void cargarSubItems();
    void lstSubitems_DblClick();
    void lstSubitems_KeyPress(int key);
    void cmdEstablecerMARCA_Click();

    // "Liquidación"
    void ValidaLiquidacion();
    void cargarLiquidacion();

    // The lookup list of the origin box: provinces (7) for "EC" declarations, countries (6).
    [[nodiscard]] int tablaOrigen() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void crearControles();
    void crearMontos();
    void crearSubitems();
    void crearLiquidacion();
    // Tab contents built by their own files.
    void instalarPestanas();
    void correrCargadores(bool itemGlobal, std::initializer_list<PasoCarga> pasos);
    void vincularControles();
    void aplicarAlcance(bool itemGlobal);
    // True (and the box shown) when the declaration is open in the outside client.
    bool rechazaAbierto();
    // The four field setters share one shape; the index is the field's among kListaIndice ..
    static constexpr int kListaIndice = 0;
    static constexpr int kEstadoIndice = 1;
    static constexpr int kOrigenIndice = 2;
    static constexpr int kProcIndice = 3;
    void establecerCampo(int indice);
    void establecerCampoItem(int indice);
    void establecerCampo_ALLITEMS(int indice);
    QLineEdit* cajaCampo(int indice) const;
    int tablaCampo(int indice) const;
    void instalarTeclasCampos();
    // F6, Delete and Enter of the four code boxes; true when the key was taken.
    bool teclaCampo(QLineEdit* caja, QKeyEvent* event);
    void crearMarca(QWidget* page);
    void acoplar(QLineEdit* caja, void (frmItemDetalle::*regla)());
    void txtCantidadDeclarada_Change();
    void txtCantidadEstadistica_Change();
    void txtPrecioUnitario_Change();
    void txtFobTotal_Change();

    QTabWidget* sstITEM_ = nullptr;
    std::vector<QWidget*> pestanas_;
    std::vector<std::pair<PasoCarga, Cargador>> cargadores_;
    std::vector<std::unique_ptr<ClCntrl>> controles_;
    corvelix::FirstActivation* activacion_ = nullptr;
    // The liquidation buttons' state from the last ValidaLiquidacion.
    bool autoLiquidacion_ = true;

public:
    // Controls above the tabs.
    QLabel* lbItem = nullptr;
    QLabel* lbItemText = nullptr;
    QLabel* lbTipo = nullptr;
    QLabel* lbNCM = nullptr;
    QLineEdit* txtLista = nullptr;
    QPushButton* cmdSetLista = nullptr;
    QLineEdit* txtEstadoMercaderia = nullptr;
    QPushButton* cmdSetEstadoM = nullptr;
    QLineEdit* txtPaisOrigen = nullptr;
    QLabel* lbPaisOrigen = nullptr;
    QPushButton* cmdsetOrigen = nullptr;
    QLineEdit* txtPaisProc = nullptr;
    QLabel* lbPaisDestino = nullptr;
    QPushButton* cmdSetProc = nullptr;

    // "Montos"
    QLineEdit* txtCantidadDeclarada = nullptr;
    QLabel* lbUnidadDeclarada = nullptr;
    QLineEdit* txtCantidadEstadistica = nullptr;
    QLabel* lbUnidadEstadistica = nullptr;
    QLineEdit* txtPrecioUnitario = nullptr;
    QLineEdit* txtFobTotal = nullptr;
    QLineEdit* txtKiloNeto = nullptr;
    QLineEdit* txtAjusteIncluir = nullptr;
    QLineEdit* txtAjusteDeducir = nullptr;
    QLineEdit* txtFlete = nullptr;
    QLineEdit* txtSeguro = nullptr;
    QPushButton* cmdEstablecerValoresItem = nullptr;

    // "Subitems"
    QTreeWidget* lstSubitems = nullptr;

    // "Prorrateos": the MARCA field, below the area the pro-rating tab fills.
    QLineEdit* txtMarca = nullptr;
    QPushButton* cmdEstablecerMARCA = nullptr;

    // "Liquidación"
    QTreeWidget* lstLiquidacion = nullptr;
    QPushButton* cmdLiquidacionAgregar = nullptr;
    QPushButton* cmdLiquidacionEliminar = nullptr;
    QLabel* lbLiquidacionLabel = nullptr;
};
