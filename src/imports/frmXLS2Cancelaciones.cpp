#include "imports/frmXLS2Cancelaciones.h"

#include "data/cancellations.h"
#include "data/declaration_reads.h"
#include "data/sheet_imports.h"
#include "imports/frmSelectCampos.h"
#include "platform/FlexGrid.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QDir>
#include <QGridLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace corvelix;

namespace {

constexpr qint32 kErrItemNoEncontrado = static_cast<qint32>(0x8004000Au);
// The number of the item editor's own refusal of a repeated line.
constexpr qint32 kErrLineaRepetida = static_cast<qint32>(0x80040201u);

// Quantities are kept with six decimals, the factor with two.
constexpr int kDecimalesCantidad = 6;
constexpr int kDecimalesFactor = 2;

// A number cell of sheet row `fila`.
double numero(int fila, const QString& campo, const QString& texto) {
    if (!isNumeric(texto))
        celdaInvalida(fila, campo, texto, QStringLiteral("no es un número"));
    return toNumber(texto);
}

// An item or subitem number: whole (a rounded one would name another item) and within 16 bits.
qint16 numeroDeItem(int fila, const QString& campo, const QString& texto) {
    const double v = numero(fila, campo, texto);
    if (!esEntero(v))
        celdaInvalida(fila, campo, texto, QStringLiteral("no es un número entero"));
    if (v < -32768 || v > 32767)
        celdaInvalida(fila, campo, texto, QStringLiteral("no está entre -32768 y 32767"));
    return static_cast<qint16>(v);
}

} // namespace

frmXLS2Cancelaciones::frmXLS2Cancelaciones(QWidget* parent)
    : HojaDespachoImport(QStringLiteral("frmXLS2Cancelaciones"), QDir::homePath(),
                         QStringLiteral("Importar Cancelaciones"),
                         QStringLiteral("Importar Excel para Cancelaciones"),
                         QStringLiteral("Cargar Cancelaciones"), 8, parent) {
    lbFactorPonderacion = new QLabel(QStringLiteral("Factor Ponderación"), this);
    lbFactorPonderacion->setObjectName(QStringLiteral("lbFactorPonderacion"));
    txtFactorPonderacion = new QLineEdit(QStringLiteral("100"), this);
    txtFactorPonderacion->setObjectName(QStringLiteral("txtFactorPonderacion"));
    setTabOrder(cmdAbrirExcel, txtFactorPonderacion);
    layout_->addWidget(lbFactorPonderacion, 3, 1);
    layout_->addWidget(txtFactorPonderacion, 3, 2);

    new FirstActivation(*this, [this] {
        runHandler(*this, QStringLiteral("Form_Activate"), [this] { Form_Activate(); });
    });
}

void frmXLS2Cancelaciones::Form_Activate() {
    if (activado_)
        return;
    columnas_.assign(columnas_.size(), -1);
    lbDespacho->setText(m_Despacho);
    activado_ = true;
}

std::unique_ptr<frmSelectCamposBase> frmXLS2Cancelaciones::selectorCampos() {
    return std::make_unique<frmSelectCamposCancelaciones>(this);
}

bool frmXLS2Cancelaciones::ValidarCampos() {
    static const QStringList repetidos = {
        QStringLiteral("El campo Destinacionitem fue seleccionado mas de una vez"),
        QStringLiteral("El campo DIT fue seleccionado mas de una vez"),
        QStringLiteral("El campo Item fue seleccionado mas de una vez"),
        QStringLiteral("El campo SubItem fue seleccionado mas de una vez"),
        QStringLiteral("El campo NCM fue seleccionado mas de una vez"),
        QStringLiteral("El campo Cantidad fue seleccionado mas de una vez"),
        QStringLiteral("El campo Certificado fue seleccionado mas de una vez"),
        QStringLiteral("El campo FactorPonderacion fue seleccionado mas de una vez")};
    return validarColumnas(
        "ValidarCampos", frmSelectCamposCancelaciones::campos(), repetidos,
        {{DestinacionItem, QStringLiteral("Debe seleccionar la columna DestinacionItem")},
         {DIT, QStringLiteral("Debe seleccionar la columna DIT")},
         {Item, QStringLiteral("Debe seleccionar la columna Item")},
         {Subitem, QStringLiteral("Debe seleccionar la columna SubItem")},
         {Cantidad, QStringLiteral("Debe seleccionar la columna Cantidad")}});
}

void frmXLS2Cancelaciones::cargarCancelaciones() {
    chained(ubicacion("cargarCancelaciones"), [this] {
        if (ui().msgBox(QStringLiteral("Esta operación eliminará las cancelaciones cargadas "
                                       "actualmente de ") +
                            m_Despacho + QStringLiteral(", desea continuar?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        const bool ic06 = modDA::extraerSubRegimen(m_Despacho).toUpper() == QLatin1String("IC06");
        // The sheet names destination items by the number they show.
        const QHash<QString, QString> claves = modDA::getClavesPorNumeroMostrado(m_Despacho);
        // Every row is read and converted before anything is written.
        std::vector<modDA::LineaCancelacionHoja> lineas;
        // A line is known by its destination item, the cancelled declaration (its letters in
        // either case, as the catalog compares them), item and subitem: two lines of one key
        // would be edited and deleted together from then on.
        QHash<QString, int> filaDeLinea;
        for (int r = 2; r < grdCanc->rows(); ++r) {
            const int fila = filaHoja(r);
            modDA::LineaCancelacionHoja l;
            const QString destino = celda(r, DestinacionItem);
            l.despachoApu = celda(r, DIT);
            l.itemApu = numeroDeItem(fila, QStringLiteral("el item"), celda(r, Item));
            l.subitemApu = numeroDeItem(fila, QStringLiteral("el subitem"), celda(r, Subitem));
            l.ncm = celda(r, NCM);
            const QString cantidad = celda(r, Cantidad);
            l.cantidad = numero(fila, QStringLiteral("la cantidad"), cantidad);
            if (!valorDeCatalogo(l.cantidad, kDecimalesCantidad))
                celdaInvalida(fila, QStringLiteral("la cantidad"), cantidad,
                              fueraDelCatalogo(kDecimalesCantidad));
            l.certificado = celda(r, Certificado);
            if (ic06)
                l.factor.clear();
            else if (columnas_[Factor] != -1)
                l.factor = celda(r, Factor);
            else
                l.factor = txtFactorPonderacion->text();
            if (l.despachoApu.isEmpty())
                continue;
            // Checked as the cancellation dialog checks it, and written in the catalog's form.
            if (!l.factor.isEmpty()) {
                const QString campo = QStringLiteral("el factor de ponderación");
                const double factor = numero(fila, campo, l.factor);
                if (!valorDeCatalogo(factor, kDecimalesFactor))
                    celdaInvalida(fila, campo, l.factor, fueraDelCatalogo(kDecimalesFactor));
                l.factor = modDA::factorCatalogo(factor);
            }
            l.itemDestino = numeroDeItem(fila, QStringLiteral("el item de destino"), destino);
            if (!claves.contains(QStringLiteral("%1").arg(l.itemDestino, 4, 10, QLatin1Char('0'))))
                throw VbError(kErrItemNoEncontrado, QStringLiteral("ITEM's"),
                              QStringLiteral("Fila %1 de la hoja: No se encuentra el item %2 en "
                                             "el provisorio %3")
                                  .arg(fila)
                                  .arg(l.itemDestino)
                                  .arg(m_Despacho));
            const QString clave = QStringLiteral("%1|%2|%3|%4")
                                      .arg(l.itemDestino)
                                      .arg(l.despachoApu.toUpper())
                                      .arg(l.itemApu)
                                      .arg(l.subitemApu);
            if (const auto otra = filaDeLinea.constFind(clave); otra != filaDeLinea.cend())
                throw VbError(kErrLineaRepetida, QStringLiteral("Cancelaciones"),
                              QStringLiteral("Filas %1 y %2 de la hoja: repiten la cancelación "
                                             "del item %3 contra el despacho %4, item %5, "
                                             "subitem %6")
                                  .arg(*otra)
                                  .arg(fila)
                                  .arg(l.itemDestino)
                                  .arg(l.despachoApu)
                                  .arg(l.itemApu)
                                  .arg(l.subitemApu));
            filaDeLinea.insert(clave, fila);
            lineas.push_back(l);
        }
        terminarCarga([&] { modDA::reemplazarCancelaciones(m_Despacho, lineas); });
    });
}

void frmXLS2Cancelaciones::cmdCargarCancelaciones_Click() {
    if (ValidarCampos())
        cargarCancelaciones();
}

void frmXLS2Cancelaciones::cmdCancelar_Click() {
    activado_ = false;
    HojaDespachoImport::cmdCancelar_Click();
}

void frmXLS2Cancelaciones::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancelar->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
