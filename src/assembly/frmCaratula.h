#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class ClCntrl;
class QComboBox;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace corvelix {
class FlexGrid;
}

// The header of one declaration: its parties, own reference, amounts, item summaries and
// commercial invoices. Set m_Operacion and show it modally; nothing is handed back.
class frmCaratula : public QDialog {
    Q_OBJECT

public:
    explicit frmCaratula(QWidget* parent = nullptr);

    QString m_Operacion;

    void Form_Activate();
    void cargarDatos();
    void CargarFacturas();
    void cargargrillas();
    void EditarFactura();
    void modificarFactura();
    void cancelarEdicion();
    void agregarFactura();
    void eliminarFactura();
    void procesarFacturas(const QString& despacho, const QString& texto);

    void cmdEstablecerIEXT_Click();
    void cmdEstablecerCompradorVendedor_Click();
    void cboPresenciaFacturas_Click();
    void cmdAddMasivos_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void grdFacturas_KeyDown(QKeyEvent* key);
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void crearControles();
    void volverALaGrilla();
    // Closes an invoice edit left open, unstored, before the grid changes under it.
    void cerrarEdicionAbierta();

    QLabel* lbImpoExpo;
    QLabel* lbCuitDespachante;
    QLineEdit* txtIdentificadorPropio;
    QPushButton* cmdEstablecerIEXT;
    QLineEdit* txtVendedorComprador;
    QPushButton* cmdEstablecerCompradorVendedor;
    QTabWidget* sstabCaratula;
    QLabel* lbFOBTotal;
    QLabel* lbFleteTotal;
    QLabel* lbSeguroTotal;
    QLabel* lbTotalAjusteINC;
    QLabel* lbAjuesteDED;
    QLabel* lbTotalKilos;
    corvelix::FlexGrid* grdCantidades;
    corvelix::FlexGrid* grdResumenNCM;
    QComboBox* cboPresenciaFacturas;
    corvelix::FlexGrid* grdFacturas;
    QLineEdit* txtFactura;
    QPushButton* cmdAgregar;
    QPushButton* cmdAddMasivos;

    ClCntrl* controlIEXT_;
    ClCntrl* controlVendedor_;

    // The data of the current showing were loaded; cleared whenever the window closes.
    bool cargado_ = false;
    // Off while an invoice is edited in place, so Esc reaches the edit instead of the form.
    bool keyPreview_ = true;
};

// The invoice numbers of a pasted text, in order: lines split at CR LF, LF or CR, each
// trimmed of blanks, cut to 39 characters and with its single quotes made blanks; empty ones
// left out. Repeats stay (the catalog decides what is already there).
QStringList invoiceNumbersOfPaste(const QString& texto);
