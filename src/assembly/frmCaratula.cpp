#include "assembly/frmCaratula.h"

#include "assembly/frmFacturas.h"
#include "assembly/frmFacturasPegar.h"
#include "data/declaration_reads.h"
#include "data/invoices.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "platform/ScreenPlacement.h"
#include "platform/TextWidths.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "shell/ClCntrl.h"
#include "shell/utiles.h"

#include <QComboBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QTabWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

const QString kMascaraImporte = QStringLiteral("###,000.00");

QString importe(const QVariant& value) {
    return value.isNull() ? QString() : corvelix::formatNumber(value.toDouble(), kMascaraImporte);
}

// A value shown as the recordset gives it: numbers in the user's general form.
QString valorCelda(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return corvelix::generalNumber(value.toDouble());
    default:
        return value.toString();
    }
}

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.frmCaratula.") + QLatin1String(procedure);
}

bool isEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

QLabel* etiqueta(const QString& texto, QWidget* parent, int x, int y, int w) {
    auto* label = new QLabel(texto, parent);
    label->setGeometry(x, y, w, 20);
    return label;
}

QLabel* valor(const char* name, QWidget* parent, int x, int y, int w) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(x, y, w, 22);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

QPushButton* boton(const char* name, const QString& texto, QWidget* parent, const QRect& where) {
    QPushButton* button = corvelix::plainButton(parent, name, texto);
    button->setGeometry(where);
    return button;
}

} // namespace

QStringList invoiceNumbersOfPaste(const QString& texto) {
    static const QRegularExpression finDeLinea(QStringLiteral("\r\n|\n|\r"));
    QStringList numeros;
    for (const QString& linea : texto.split(finDeLinea)) {
        const QString numero =
            trimBlanks(linea).left(39).replace(QLatin1Char('\''), QLatin1Char(' '));
        // A line of quotes only would be a number of blanks: nothing to store.
        if (!trimBlanks(numero).isEmpty())
            numeros << numero;
    }
    return numeros;
}

frmCaratula::frmCaratula(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCaratula"));
    setWindowTitle(QStringLiteral("Caratula"));
    crearControles();

    // Form load: the third tab holds nothing.
    sstabCaratula->setTabEnabled(2, false);
    controlIEXT_ = new ClCntrl(this);
    controlIEXT_->sLinkText(txtIdentificadorPropio);
    controlVendedor_ = new ClCntrl(this);
    controlVendedor_->sLinkText(txtVendedorComprador);

    connect(grdFacturas, &corvelix::FlexGrid::keyDown, this, &frmCaratula::grdFacturas_KeyDown);
    txtFactura->installEventFilter(this);

    new corvelix::FirstActivation(*this, [this] { Form_Activate(); });
    connect(cmdEstablecerIEXT, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdEstablecerIEXT_Click"),
                             [this] { cmdEstablecerIEXT_Click(); });
    });
    connect(cmdEstablecerCompradorVendedor, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdEstablecerCompradorVendedor_Click"),
                             [this] { cmdEstablecerCompradorVendedor_Click(); });
    });
    connect(cboPresenciaFacturas, &QComboBox::activated, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cboPresenciaFacturas_Click"),
                             [this] { cboPresenciaFacturas_Click(); });
    });
    connect(cmdAgregar, &QPushButton::clicked, this, [this] { agregarFactura(); });
    connect(cmdAddMasivos, &QPushButton::clicked, this, [this] {
        corvelix::runHandler(*this, QStringLiteral("cmdAddMasivos_Click"),
                             [this] { cmdAddMasivos_Click(); });
    });
}

void frmCaratula::crearControles() {
    setFixedSize(780, 590);

    etiqueta(QStringLiteral("Importador / Exportador"), this, 12, 10, 200);
    lbImpoExpo = valor("lbImpoExpo", this, 12, 30, 440);
    etiqueta(QStringLiteral("Cuit Despachante:"), this, 470, 10, 200);
    lbCuitDespachante = valor("lbCuitDespachante", this, 470, 30, 180);

    etiqueta(QStringLiteral("Identificador Propio"), this, 12, 60, 200);
    txtIdentificadorPropio = new QLineEdit(this);
    txtIdentificadorPropio->setObjectName(QStringLiteral("txtIdentificadorPropio"));
    txtIdentificadorPropio->setGeometry(12, 80, 340, 24);
    cmdEstablecerIEXT =
        boton("cmdEstablecerIEXT", QStringLiteral("Establecer"), this, QRect(358, 78, 90, 28));

    etiqueta(QStringLiteral("Comprador/Vendedor"), this, 12, 110, 200);
    txtVendedorComprador = new QLineEdit(this);
    txtVendedorComprador->setObjectName(QStringLiteral("txtVendedorComprador"));
    txtVendedorComprador->setGeometry(12, 130, 340, 24);
    cmdEstablecerCompradorVendedor =
        boton("cmdEstablecerCompradorVendedor", QStringLiteral("Establecer"), this,
              QRect(358, 128, 90, 28));

    sstabCaratula = new QTabWidget(this);
    sstabCaratula->setObjectName(QStringLiteral("sstabCaratula"));
    sstabCaratula->setGeometry(12, 166, 756, 390);

    auto* totales = new QWidget;
    etiqueta(QStringLiteral("FOB"), totales, 10, 10, 100);
    lbFOBTotal = valor("lbFOBTotal", totales, 10, 30, 130);
    etiqueta(QStringLiteral("Flete"), totales, 150, 10, 100);
    lbFleteTotal = valor("lbFleteTotal", totales, 150, 30, 130);
    etiqueta(QStringLiteral("Seguro"), totales, 290, 10, 100);
    lbSeguroTotal = valor("lbSeguroTotal", totales, 290, 30, 130);
    etiqueta(QStringLiteral("Ajuste Inc"), totales, 10, 60, 100);
    lbTotalAjusteINC = valor("lbTotalAjusteINC", totales, 10, 80, 130);
    etiqueta(QStringLiteral("Ajuste Ded"), totales, 150, 60, 100);
    lbAjuesteDED = valor("lbAjuesteDED", totales, 150, 80, 130);
    etiqueta(QStringLiteral("KgNetos"), totales, 290, 60, 100);
    lbTotalKilos = valor("lbTotalKilos", totales, 290, 80, 130);
    for (QLabel* amount :
         {lbFOBTotal, lbFleteTotal, lbSeguroTotal, lbTotalAjusteINC, lbAjuesteDED, lbTotalKilos})
        amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    etiqueta(QStringLiteral("Cantidades"), totales, 440, 10, 150);
    grdCantidades = new corvelix::FlexGrid(totales);
    grdCantidades->setObjectName(QStringLiteral("grdCantidades"));
    grdCantidades->setGeometry(440, 30, 296, 90);
    grdCantidades->setSelectionByRow(true);
    grdResumenNCM = new corvelix::FlexGrid(totales);
    grdResumenNCM->setObjectName(QStringLiteral("grdResumenNCM"));
    grdResumenNCM->setFixedRows(1);
    grdResumenNCM->setGeometry(10, 130, 726, 220);
    grdResumenNCM->setSelectionByRow(true);
    sstabCaratula->addTab(totales, QStringLiteral("Totales"));

    auto* facturas = new QWidget;
    etiqueta(QStringLiteral("Presencia de Facturas"), facturas, 10, 12, 150);
    cboPresenciaFacturas = new QComboBox(facturas);
    cboPresenciaFacturas->setObjectName(QStringLiteral("cboPresenciaFacturas"));
    cboPresenciaFacturas->setGeometry(160, 8, 60, 26);
    grdFacturas = new corvelix::FlexGrid(facturas);
    grdFacturas->setObjectName(QStringLiteral("grdFacturas"));
    grdFacturas->setFixedRows(1);
    grdFacturas->setGeometry(10, 42, 580, 306);
    grdFacturas->setSelectionByRow(true);
    txtFactura = new QLineEdit(facturas);
    txtFactura->setObjectName(QStringLiteral("txtFactura"));
    txtFactura->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtFactura->hide();
    cmdAgregar =
        boton("cmdAgregar", QStringLiteral("Agregar [INS]"), facturas, QRect(600, 42, 140, 30));
    auto* teclas =
        etiqueta(QStringLiteral(" - Modificar [Enter] - Delete [DEL]"), facturas, 600, 76, 140);
    teclas->setWordWrap(true);
    teclas->setFixedHeight(40);
    cmdAddMasivos = boton("cmdAddMasivos", QStringLiteral("Pegar Facturas"), facturas,
                          QRect(600, 124, 140, 30));
    sstabCaratula->addTab(facturas, QStringLiteral("Facturas"));

    sstabCaratula->addTab(new QWidget, QStringLiteral("Documentos"));

    etiqueta(QStringLiteral("[ESC] Salir"), this, 12, 562, 200);
}

void frmCaratula::Form_Activate() {
    if (cargado_)
        return;
    cargarDatos();
    cargado_ = true;
}

void frmCaratula::cargarDatos() {
    corvelix::runHandler(*this, QStringLiteral("cargarDatos"), [this] {
        const modDA::Recordset rs = modDA::getDDTByNumber(m_Operacion);
        // A missing header fails on its first field, before any control is filled.
        lbCuitDespachante->setText(rs.text(QStringLiteral("CDDTAGR")));
        lbImpoExpo->setText(rs.text(QStringLiteral("LDDTNOMIOE")));
        txtIdentificadorPropio->setText(rs.text(QStringLiteral("iEXT")));
        txtVendedorComprador->setText(rs.text(QStringLiteral("LDDTNOMFOD")));

        lbFOBTotal->setText(importe(rs.field(QStringLiteral("MDDTFOB"))));
        lbSeguroTotal->setText(importe(rs.field(QStringLiteral("MDDTASS"))));
        lbFleteTotal->setText(importe(rs.field(QStringLiteral("MDDTFLE"))));

        double ajusteIncluir = 0;
        double ajusteDeducir = 0;
        double kilos = 0;
        modDA::getTotales_Item(m_Operacion, ajusteIncluir, ajusteDeducir, kilos);
        lbTotalAjusteINC->setText(corvelix::formatNumber(ajusteIncluir, kMascaraImporte));
        lbAjuesteDED->setText(corvelix::formatNumber(ajusteDeducir, kMascaraImporte));
        lbTotalKilos->setText(corvelix::formatNumber(kilos, kMascaraImporte));

        cboPresenciaFacturas->clear();
        cboPresenciaFacturas->addItem(QStringLiteral("S"));
        cboPresenciaFacturas->addItem(QStringLiteral("N"));

        CargarFacturas();
        cargargrillas();
    });
}

void frmCaratula::CargarFacturas() {
    corvelix::chained(location("cargarFacturas"), [this] {
        // An edit left open would write into whatever row the reload selects.
        cerrarEdicionAbierta();
        grdFacturas->setCols(1);
        grdFacturas->setRows(1);
        grdFacturas->setTextMatrix(0, 0, QStringLiteral("Facturas"));
        grdFacturas->setColWidth(0, 8000);
        grdFacturas->setColAlignment(0, corvelix::FlexAlign::RightTop);
        if (modDA::getPresenciaFactura(m_Operacion)) {
            cboPresenciaFacturas->setCurrentText(QStringLiteral("S"));
            modDA::Recordset rs = modDA::getDocumentosCaratula(m_Operacion, true);
            grdFacturas->setRows(1);
            std::vector<QStringList> filas;
            filas.reserve(std::size_t(rs.recordCount()));
            while (!rs.eof()) {
                filas.push_back(QStringList{rs.text(QStringLiteral("LDVDREFDOC"))});
                rs.moveNext();
            }
            grdFacturas->appendRows(filas);
            // The first invoice is the current row, as the grid had it after loading.
            if (grdFacturas->rows() > 1)
                grdFacturas->select(1, 0, 1, 0);
        } else {
            cboPresenciaFacturas->setCurrentText(QStringLiteral("N"));
        }
    });
}

void frmCaratula::cargargrillas() {
    int line = 0;
    corvelix::chainedNumbered(location("cargargrillas"), line, [&] {
        line = 10;
        modDA::Recordset rs = modDA::getResumenCantidades(m_Operacion);
        line = 20;
        grdCantidades->setRows(0);
        grdCantidades->setCols(2);
        grdCantidades->setColWidth(0, 1200);
        grdCantidades->setColWidth(1, 1500);
        line = 30;
        while (!rs.eof()) {
            grdCantidades->addItem(rs.text(QStringLiteral("LUMMUNTMSR")) + QLatin1Char('\t') +
                                   valorCelda(rs.field(QStringLiteral("CANTIDAD"))));
            rs.moveNext();
        }
        line = 40;
        rs = modDA::getResumenNCM(m_Operacion);
        line = 50;
        grdResumenNCM->setRows(1);
        grdResumenNCM->setCols(6);
        const QStringList titulos{"NCM", "Cant", "DEC", "Declarada", "EST", "Estadistica"};
        const int anchos[] = {1800, 500, 600, 1300, 600, 1300};
        for (int c = 0; c < 6; ++c) {
            grdResumenNCM->setTextMatrix(0, c, titulos.at(c));
            grdResumenNCM->setColWidth(c, anchos[c]);
        }
        for (int c : {1, 2, 4})
            grdResumenNCM->setColAlignment(c, corvelix::FlexAlign::CenterCenter);
        line = 60;
        std::vector<QStringList> filas;
        while (!rs.eof()) {
            QStringList fila;
            for (const char* campo : {"IESPNCE", "cantidad", "CARTUNTDCL", "totaldeclarada",
                                      "CARTUNTEST", "totalestadistica"})
                fila << valorCelda(rs.field(QLatin1String(campo)));
            filas.push_back(fila);
            rs.moveNext();
        }
        grdResumenNCM->appendRows(filas);
        // Titles, NCM codes and totals whole.
        corvelix::widenColumnsToTexts(*grdCantidades, {0, 1});
        corvelix::widenColumnsToTexts(*grdResumenNCM, {0, 1, 2, 3, 4, 5});
        line = 70;
    });
}

void frmCaratula::cmdEstablecerIEXT_Click() {
    txtIdentificadorPropio->setText(
        txtIdentificadorPropio->text().replace(QLatin1Char('\''), QLatin1Char(' ')));
    if (modDA::modificarCaratula_IEXT(txtIdentificadorPropio->text(), m_Operacion))
        ui().msgBox(QStringLiteral("Valor establecido"), MsgButtons::Ok, MsgIcon::Information);
}

void frmCaratula::cmdEstablecerCompradorVendedor_Click() {
    txtVendedorComprador->setText(
        txtVendedorComprador->text().replace(QLatin1Char('\''), QLatin1Char(' ')));
    if (modDA::modificarCaratula_Vendedor(txtVendedorComprador->text(), m_Operacion))
        ui().msgBox(QStringLiteral("Valor establecido"), MsgButtons::Ok, MsgIcon::Information);
}

void frmCaratula::cboPresenciaFacturas_Click() {
    if (cboPresenciaFacturas->currentText() != QLatin1String("N") || !cargado_)
        return;
    if (ui().msgBox(QStringLiteral("Confirma poner en N la opción presencia de facturas?, se "
                                   "eliminaran todas las facturas?"),
                    MsgButtons::YesNo, MsgIcon::Question, {}, MsgDefault::Second) != MsgResult::Yes)
        return;
    modDA::SinPresenciafacturas(m_Operacion);
    cerrarEdicionAbierta();
    grdFacturas->setRows(1);
}

void frmCaratula::agregarFactura() {
    corvelix::GuardOptions exclamacion;
    exclamacion.icon = MsgIcon::Exclamation;
    corvelix::runHandler(
        *this, QStringLiteral("agregarFactura"),
        [this] {
            cerrarEdicionAbierta();
            frmFacturas dialogo(this);
            dialogo.m_Operacion = m_Operacion;
            ui().exec(dialogo);
            if (dialogo.m_Resultado)
                CargarFacturas();
        },
        exclamacion);
}

void frmCaratula::cmdAddMasivos_Click() {
    cerrarEdicionAbierta();
    frmFacturasPegar dialogo(this);
    ui().exec(dialogo);
    procesarFacturas(m_Operacion, dialogo.Facturas);
}

void frmCaratula::procesarFacturas(const QString& despacho, const QString& texto) {
    corvelix::runHandler(*this, QStringLiteral("procesarFacturas"), [&] {
        if (trimBlanks(texto).isEmpty())
            return;
        ui().setBusy(true);
        modDA::addNewInvoices(despacho, invoiceNumbersOfPaste(texto));
        CargarFacturas();
        ui().setBusy(false);
    });
}

void frmCaratula::EditarFactura() {
    corvelix::chained(location("EditarFactura"), [this] {
        if (grdFacturas->row() < grdFacturas->fixedRows())
            return;
        txtFactura->setVisible(true);
        grdFacturas->setCurrentCell(grdFacturas->row(), 0);
        const QString anterior = grdFacturas->textMatrix(grdFacturas->row(), 0);
        txtFactura->setText(anterior);
        txtFactura->setProperty("Tag", anterior);
        const QRect celda = grdFacturas->cellRect(grdFacturas->row(), 0);
        txtFactura->setGeometry(grdFacturas->x() + celda.x(), grdFacturas->y() + celda.y(),
                                celda.width(), celda.height());
        txtFactura->raise();
        keyPreview_ = false;
        grdFacturas->setEnabled(false);
        txtFactura->setFocus();
    });
}

void frmCaratula::modificarFactura() {
    corvelix::GuardOptions exclamacion;
    exclamacion.icon = MsgIcon::Exclamation;
    corvelix::runHandler(
        *this, QStringLiteral("modificarFactura"),
        [this] {
            if (trimBlanks(txtFactura->text()).isEmpty())
                return;
            // A quote becomes a blank here too, as on every other road an invoice number
            // takes; the number is otherwise stored as typed.
            txtFactura->setText(txtFactura->text().replace(QLatin1Char('\''), QLatin1Char(' ')));
            const QString nueva = txtFactura->text();
            if (modDA::extraerSubRegimen(m_Operacion).startsWith(QLatin1Char('E')) &&
                !utiles::validarFormato(nueva)) {
                ui().msgBox(
                    QStringLiteral("Formato de Factura Expo Inávlida\nDebe ser 00000-00000000"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            const QString anterior = txtFactura->property("Tag").toString();
            if (!modDA::facturasModificar(m_Operacion, anterior, nueva))
                return;
            grdFacturas->setTextMatrix(grdFacturas->row(), 0, nueva);
            volverALaGrilla();
        },
        exclamacion);
}

void frmCaratula::cancelarEdicion() {
    volverALaGrilla();
}

void frmCaratula::cerrarEdicionAbierta() {
    if (txtFactura->isVisible() || !keyPreview_)
        volverALaGrilla();
}

void frmCaratula::volverALaGrilla() {
    txtFactura->clear();
    txtFactura->hide();
    grdFacturas->setEnabled(true);
    keyPreview_ = true;
    const int fila = grdFacturas->row();
    if (fila >= grdFacturas->fixedRows())
        grdFacturas->select(fila, 0, fila, grdFacturas->cols() - 1);
    grdFacturas->setFocus();
}

void frmCaratula::eliminarFactura() {
    corvelix::runHandler(*this, QStringLiteral("eliminarFactura"), [this] {
        if (grdFacturas->rows() < 2)
            return;
        const int fila = grdFacturas->row();
        if (fila < grdFacturas->fixedRows())
            return;
        const QString factura = grdFacturas->textMatrix(fila, 0);
        if (ui().msgBox(QStringLiteral("confirma eliminar la factura ") + factura,
                        MsgButtons::YesNo, MsgIcon::Question, {},
                        MsgDefault::Second) != MsgResult::Yes)
            return;
        if (!modDA::facturasEliminar(m_Operacion, factura))
            return;
        if (grdFacturas->rows() > 2)
            grdFacturas->removeItem(fila);
        else
            grdFacturas->setRows(1);
    });
}

bool frmCaratula::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (watched == txtFactura) {
        if (isEnter(key)) {
            modificarFactura();
            return true;
        }
        if (key.key() == Qt::Key_Escape) {
            corvelix::runHandler(*this, QStringLiteral("txtFactura_KeyDown"),
                                 [this] { cancelarEdicion(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCaratula::grdFacturas_KeyDown(QKeyEvent* key) {
    if (key->key() == Qt::Key_Insert) {
        key->accept();
        agregarFactura();
    } else if (key->key() == Qt::Key_Delete) {
        key->accept();
        eliminarFactura();
    } else if (isEnter(*key)) {
        key->accept();
        corvelix::runHandler(*this, QStringLiteral("grdFacturas_KeyDown"),
                             [this] { EditarFactura(); });
    }
}

void frmCaratula::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // While an invoice is edited the form does not take Esc.
        if (keyPreview_)
            corvelix::runHandler(*this, QStringLiteral("Form_KeyDown"), [this] { reject(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmCaratula::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on its opener, but with its title bar on the screen.
    corvelix::placeOnScreen(*this);
}

void frmCaratula::hideEvent(QHideEvent* event) {
    // However the window goes away (Esc, the close box, its opener), the next showing loads
    // the declaration it is given.
    if (!event->spontaneous()) {
        cargado_ = false;
        if (txtFactura->isVisible() || !keyPreview_) {
            txtFactura->clear();
            txtFactura->hide();
            grdFacturas->setEnabled(true);
            keyPreview_ = true;
        }
    }
    QDialog::hideEvent(event);
}
