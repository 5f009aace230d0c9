#pragma once

#include <QDialog>
#include <QString>

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;

namespace corvelix {
class FlexGrid;
}
class frmBusquedaArticulo;

// The item view of one declaration: one grid in four modes (items, articles, data,
// liquidation) switched with F1 to F4. Set m_Operacion (and m_IdentificadorPropio) and show it
// modally. The mode is the window's "Tag" property (empty, "articulos", "datos",
// "liquidacion"); the article search text is the grid's "Tag" property.
class frmArmadoITEM : public QDialog {
    Q_OBJECT

public:
    explicit frmArmadoITEM(QWidget* parent = nullptr);
    ~frmArmadoITEM() override;

    QString m_Operacion;
    QString m_IdentificadorPropio;
    // The grid row to come back to after the item editor; -1 after a load.
    int filaRecordada = -1;

    // Caption, header labels, the grid of the current mode.
    void Form_Load();
    // Window keys; true when the key was one of them (the grid does not see it then).
    bool Form_KeyDown(QKeyEvent* event);
    void grdITEMS_KeyDown(QKeyEvent* event);
    void grdITEMS_DblClick();
    // Opens the item editor on the current row's item ("0000": ITEM GLOBAL), then reloads the
    // grid and comes back to that row.
    void cargarITEM();
    void grdITEMS_MouseDown(QMouseEvent* event);

    // Reloads the grid of the current mode under the busy pointer; a failure is shown here.
    void do_cargarItems();
    void cargarITEMs();
    void completarDatosDeItems();
    void cargarItems_SoloDatos();
    void cargar_Articulos();
    void cargar_Liquidacion();
    void cargarDatosCaratula(const QString& despacho);
    // Sets or clears the article search filter, then reloads.
    void BuscarArticulo();
    void View_Report();

    // Actions on the grid's rows.
    void eliminarITEMS();
    void eliminarSBTS();
    void cargarSubitemsDetalle();
    void cargarSufijos();
    void EstablerSufijo();
    void mnuEstablecerSufijo_Click();
    void mnuReemplazarncm_Click();
    // F11: the items list, the articles list (tab-separated), or the liquidation workbook.
    void ExportarExcel();
    void exportarExcelArticulos();
    // The texts of the two lists as written (before the writer's final CR LF).
    static QString textoExportarExcel(const QString& despacho);
    static QString textoExportarArticulos(const QString& despacho);
    // Fits column widths and row heights to the texts of every cell.
    static void AjustaColumnas(corvelix::FlexGrid& Rejilla, bool AjustarColumnas,
                               bool AjustarRenglones);

    [[nodiscard]] QString modo() const;
    [[nodiscard]] QString filtroArticulos() const;

    // The general key line.
    static const QString kAyudaGeneral;
    static const QString kAyudaArticulos;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void crearControles();
    void setModo(const QString& modo);
    void setFiltroArticulos(const QString& filtro);
    void estadoMenu(bool eliminar, bool sufijo);
    // Whether the declaration is open in the outside client; when it is, says so in a box.
    bool rechazaAbierto();
    // Reloads the grid after a change: only reading when the change failed.
    void recargar(bool cambiado);
    // The grid rows between Row and RowSel, ascending, without the fixed rows.
    [[nodiscard]] QList<int> seleccion() const;

    corvelix::FlexGrid* grdITEMS;
    QLabel* lbMensaje;
    QLabel* lbFiltroActivo;
    QLabel* lbCaratula;
    QLabel* lbDespachante;
    QLabel* lbIdentificadorPropio;
    QLabel* lbImportador;
    QFrame* CUADRO;
    QLineEdit* txtSufijos;
    QMenu* mnuContextual;
    QAction* mnuEliminarItem;
    QAction* mnuEstablecerSufijo;
    QAction* mnuReemplazarncm;
    frmBusquedaArticulo* busqueda_ = nullptr;
    bool cargado_ = false;
    // Set while the grid is read again after a failed change: the work lists of the items
    // still hold the declaration as it is, so the reload only reads (another write would meet
    // the same lock or fault and fail a second time).
    bool soloLectura_ = false;
};
