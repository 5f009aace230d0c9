#include "item_editor/PestanaVentajas.h"

#include "data/attached_rows.h"
#include "data/declaration_reads.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

#include <QGridLayout>
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

void llenar(QTreeWidget* lista, modDA::Recordset rs) {
    lista->clear();
    for (; !rs.eof(); rs.moveNext())
        new QTreeWidgetItem(lista, {rs.text("CSRG"), rs.text("LVENLBL")});
}

} // namespace

PestanaVentajas::PestanaVentajas(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    auto* grid = new QGridLayout;
    txtVentajas = new QLineEdit(&pagina);
    txtVentajas->setObjectName(QStringLiteral("txtVentajas"));
    lbVentaja = new QLabel(&pagina);
    lbVentaja->setObjectName(QStringLiteral("lbVentaja"));
    lstVentajas =
        crearLista(pagina, "lstVentajas", {QStringLiteral("Codigo"), QStringLiteral("Valor")});
    cmdVaciarVentajas = new QPushButton(QStringLiteral("Vaciar Ventajas"), &pagina);
    cmdVaciarVentajas->setObjectName(QStringLiteral("cmdVaciarVentajas"));
    cmdVaciarVentajas->setAutoDefault(false);
    grid->addWidget(new QLabel(QStringLiteral("Código [F6]"), &pagina), 0, 0);
    grid->addWidget(txtVentajas, 0, 1);
    grid->addWidget(lbVentaja, 0, 2);
    grid->addWidget(lstVentajas, 1, 0, 1, 3);
    grid->addWidget(cmdVaciarVentajas, 2, 2);
    pagina.setLayout(grid);

    filtrarTeclas(txtVentajas);
    filtrarTeclas(lstVentajas);
    connect(cmdVaciarVentajas, &QPushButton::clicked, this, [this] { cmdVaciarVentajas_Click(); });
}

void PestanaVentajas::validaLiquidacion() {
    if (contexto_.validaLiquidacion)
        contexto_.validaLiquidacion();
}

bool PestanaVentajas::tecla(QObject* control, int key) {
    if (control == txtVentajas) {
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter) {
            correr(QStringLiteral("txtVentajas_KeyPress"), [this] {
                // The watch asked at every key of this box covers Enter too.
                if (rechazaAbierto())
                    return;
                if (!itemGlobal())
                    AgregarVentaja();
                else
                    AgregarVentaja_ALLITEMS();
            });
            return true;
        }
        if (key != Qt::Key_Delete && key != Qt::Key_F6)
            return false;
        correr(QStringLiteral("txtVentajas_KeyDown"), [this, key] {
            if (rechazaAbierto())
                return;
            if (key == Qt::Key_Delete) {
                txtVentajas->clear();
                lbVentaja->clear();
            } else {
                SeleccionarVentajas();
            }
        });
        return true;
    }
    if (control == lstVentajas && key == Qt::Key_Delete) {
        correr(QStringLiteral("lstVentajas_KeyDown"), [this] {
            if (!itemGlobal())
                EliminarVentaja();
            else
                eliminarVentajasALLITEMS();
        });
        return true;
    }
    return false;
}

void PestanaVentajas::cargarVentajas(const QString& despacho, const QString& item) {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.cargarVentajas"), [&] {
        llenar(lstVentajas, modDA::getVentajasItem(despacho, item));
        validaLiquidacion();
    });
}

void PestanaVentajas::cargarVentajas_ZERO(const QString& despacho) {
    correr(QStringLiteral("cargarVentajas_ZERO"),
           [&] { llenar(lstVentajas, modDA::getVentajasComunes(despacho)); });
}

void PestanaVentajas::SeleccionarVentajas() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 1;
    ui().exec(frm);
    if (frm.m_Salida.isEmpty())
        return;
    txtVentajas->setText(frm.m_Salida);
    lbVentaja->setText(modDA::getDescripcionTabla(frm.m_Salida, 1));
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
        const QString items = utiles::getSeleccionarITEMS(despacho);
        if (items.isEmpty()) {
            ui().msgBox(QStringLiteral("Debe seleccionar como minimo un item"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
            return;
        }
        if (ui().msgBox(QStringLiteral("¿Desea agregar la ventaja ") + codigo +
                            QStringLiteral(" en los items?\r\n\r\n"),
                        MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Confirmación"),
                        MsgDefault::Third) == MsgResult::No)
            return;
        try {
            modDA::agregarVentaja_ALLITEMS(despacho, items, codigo);
        } catch (...) {
            cargarVentajas_ZERO(despacho);
            throw;
        }
        txtVentajas->clear();
        cargarVentajas_ZERO(despacho);
        ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
    });
}

void PestanaVentajas::EliminarVentaja() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.EliminarVentaja"), [&] {
        QTreeWidgetItem* fila = seleccionada(lstVentajas);
        if (fila == nullptr)
            return;
        const QString codigo = fila->text(0);
        if (ui().msgBox(QStringLiteral("Confirma eliminar la ventaja ") + codigo, MsgButtons::YesNo,
                        MsgIcon::Question) != MsgResult::Yes)
            return;
        modDA::Transaction transaccion;
        if (!modDA::eliminarVentajas(operacion(), item(), codigo))
            return;
        modDA::Invalidar_ITEM(operacion(), item(), false);
        transaccion.commit();
        delete fila;
        validaLiquidacion();
    });
}

void PestanaVentajas::eliminarVentajasALLITEMS() {
    correr(QStringLiteral("eliminarVentajasALLITEMS"), [this] {
        if (!itemGlobal())
            return;
        QTreeWidgetItem* fila = seleccionada(lstVentajas);
        if (fila == nullptr)
            return;
        const QString codigo = fila->text(0);
        if (ui().msgBox(preguntaEliminarEnItems(QStringLiteral("la ventaja"), codigo),
                        MsgButtons::YesNo, MsgIcon::Question, QString(),
                        MsgDefault::Second) != MsgResult::Yes)
            return;
        modDA::resetVentajas_ID(operacion(), codigo);
        cargarVentajas_ZERO(operacion());
    });
}

void PestanaVentajas::cmdVaciarVentajas_Click() {
    correr(QStringLiteral("cmdVaciarVentajas_Click"), [this] {
        ui().setBusy(true);
        const QString despacho = operacion();
        const QString items = utiles::getSeleccionarITEMS(despacho);
        if (items.isEmpty()) {
            ui().msgBox(QStringLiteral("Debe seleccionar como minimo un item"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
        } else if (ui().msgBox(
                       QStringLiteral("Confirma sacar las VENTAJAS en los items seleccionados?"),
                       MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
            modDA::vaciarVentajas(despacho, items);
            lstVentajas->clear();
        }
        ui().setBusy(false);
    });
}
