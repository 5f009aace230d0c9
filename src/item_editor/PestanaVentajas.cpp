#include "item_editor/PestanaVentajas.h"

#include "data/attached_rows.h"
#include "data/declaration_reads.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

const QString kSinCodigo =
    QStringLiteral("Debe seleccionar una Ventaja, presione F6 para ver el listado.");

// The list's columns.
const QList<const char*> kCampos = {"CSRG", "LVENLBL"};

} // namespace

PestanaVentajas::PestanaVentajas(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    txtVentajas = crearCaja("txtVentajas");
    lbVentaja = new QLabel(&pagina);
    lbVentaja->setObjectName(QStringLiteral("lbVentaja"));
    lstVentajas = crearLista("lstVentajas", {QStringLiteral("Codigo"), QStringLiteral("Valor")});
    cmdVaciarVentajas = crearBoton("cmdVaciarVentajas", QStringLiteral("Vaciar Ventajas"));
    disponer({{QStringLiteral("Código [F6]"), {txtVentajas, lbVentaja}}}, lstVentajas,
             cmdVaciarVentajas);

    agregarConEnter(
        txtVentajas, QStringLiteral("txtVentajas_KeyPress"), [this] { AgregarVentaja(); },
        [this] { AgregarVentaja_ALLITEMS(); });
    alTeclear(txtVentajas, {Qt::Key_Delete, Qt::Key_F6}, QStringLiteral("txtVentajas_KeyDown"),
              [this](int key) {
                  // The open declaration is refused at these keys of the box too, as at Enter.
                  if (rechazaAbierto())
                      return;
                  if (key == Qt::Key_Delete) {
                      txtVentajas->clear();
                      lbVentaja->clear();
                  } else {
                      SeleccionarVentajas();
                  }
              });
    eliminarConSupr(
        lstVentajas, QStringLiteral("lstVentajas_KeyDown"), [this] { EliminarVentaja(); },
        [this] { eliminarVentajasALLITEMS(); });
    connect(cmdVaciarVentajas, &QPushButton::clicked, this, [this] { cmdVaciarVentajas_Click(); });
}

void PestanaVentajas::validaLiquidacion() {
    if (contexto_.validaLiquidacion)
        contexto_.validaLiquidacion();
}

void PestanaVentajas::cargarVentajas(const QString& despacho, const QString& item) {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.cargarVentajas"), [&] {
        llenar(lstVentajas, modDA::getVentajasItem(despacho, item), kCampos);
        validaLiquidacion();
    });
}

void PestanaVentajas::cargarVentajas_ZERO(const QString& despacho) {
    correr(QStringLiteral("cargarVentajas_ZERO"),
           [&] { llenar(lstVentajas, modDA::getVentajasComunes(despacho), kCampos); });
}

void PestanaVentajas::SeleccionarVentajas() {
    const QString codigo = frmListado::elegir(1);
    if (codigo.isEmpty())
        return;
    txtVentajas->setText(codigo);
    lbVentaja->setText(modDA::getDescripcionTabla(codigo, 1));
}

void PestanaVentajas::AgregarVentaja() {
    correr(
        QStringLiteral("agregarVentaja"),
        [this] {
            const QString codigo = txtVentajas->text().trimmed();
            if (codigo.isEmpty()) {
                ui().msgBox(kSinCodigo, MsgButtons::Ok, MsgIcon::Exclamation);
                return;
            }
            const QString despacho = operacion();
            // The row and the item's mark go in together or not at all.
            modDA::Transaction transaccion;
            if (!modDA::AgregarVentajas(despacho, item(), codigo))
                return;
            modDA::Invalidar_ITEM(despacho, item(), false);
            transaccion.commit();
            txtVentajas->clear();
            cargarVentajas(despacho, item());
        },
        MsgIcon::Exclamation);
}

void PestanaVentajas::AgregarVentaja_ALLITEMS() {
    correr(QStringLiteral("AgregarVentaja_ALLITEMS"), [this] {
        const QString codigo = txtVentajas->text().trimmed();
        if (codigo.isEmpty()) {
            ui().msgBox(kSinCodigo, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        const QString despacho = operacion();
        const QString items = itemsElegidos();
        if (items.isEmpty())
            return;
        if (ui().msgBox(QStringLiteral("¿Desea agregar la ventaja ") + codigo +
                            QStringLiteral(" en los items?\r\n\r\n"),
                        MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirmación"),
                        MsgDefault::Third) == MsgResult::No)
            return;
        recargarSiFalla([&] { modDA::agregarVentaja_ALLITEMS(despacho, items, codigo); },
                        [&] { cargarVentajas_ZERO(despacho); });
        txtVentajas->clear();
        cargarVentajas_ZERO(despacho);
        finDelProceso();
    });
}

void PestanaVentajas::EliminarVentaja() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.EliminarVentaja"), [&] {
        QTreeWidgetItem* fila =
            filaConfirmada(lstVentajas, QStringLiteral("Confirma eliminar la ventaja "));
        if (fila == nullptr)
            return;
        modDA::Transaction transaccion;
        if (!modDA::eliminarVentajas(operacion(), item(), fila->text(0)))
            return;
        modDA::Invalidar_ITEM(operacion(), item(), false);
        transaccion.commit();
        delete fila;
        validaLiquidacion();
    });
}

void PestanaVentajas::eliminarVentajasALLITEMS() {
    correr(QStringLiteral("eliminarVentajasALLITEMS"), [this] {
        const QString codigo = codigoAEliminarEnItems(lstVentajas, QStringLiteral("la ventaja"));
        if (codigo.isEmpty())
            return;
        modDA::resetVentajas_ID(operacion(), codigo);
        cargarVentajas_ZERO(operacion());
    });
}

void PestanaVentajas::cmdVaciarVentajas_Click() {
    correr(QStringLiteral("cmdVaciarVentajas_Click"), [this] {
        ui().setBusy(true);
        const QString items = itemsElegidos();
        if (!items.isEmpty() &&
            ui().msgBox(QStringLiteral("Confirma sacar las VENTAJAS en los items seleccionados?"),
                        MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            modDA::vaciarVentajas(operacion(), items);
            lstVentajas->clear();
        }
        ui().setBusy(false);
    });
}
