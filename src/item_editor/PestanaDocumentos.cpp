#include "item_editor/PestanaDocumentos.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"

#include <QLineEdit>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

// The list's columns.
const QList<const char*> kCampos = {"CDVDDOC", "LDVDREFDOC"};

void avisar(const QString& texto) {
    ui().msgBox(texto, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

PestanaDocumentos::PestanaDocumentos(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    txtDocumento = crearCaja("txtDocumento");
    txtDocumentoValor = crearCaja("txtDocumentoValor");
    lstvDocumentos =
        crearLista("lstvDocumentos", {QStringLiteral("Codigo"), QStringLiteral("Valor")});
    disponer({{QStringLiteral("Código [F6]"), {txtDocumento}},
              {QStringLiteral("Referencia"), {txtDocumentoValor}}},
             lstvDocumentos);

    alTeclear(txtDocumento, {Qt::Key_Delete, Qt::Key_F6}, QStringLiteral("txtDocumento_KeyDown"),
              [this](int key) {
                  if (key == Qt::Key_Delete)
                      txtDocumento->clear();
                  else
                      seleccionarDocumento();
              });
    agregarConEnter(
        txtDocumentoValor, QStringLiteral("txtDocumentoValor_KeyPress"),
        [this] { agregarDocumentos(); }, [this] { agregarDocumentos_ALLITEMS(); });
    eliminarConSupr(
        lstvDocumentos, QStringLiteral("lstvDocumentos_KeyDown"), [this] { eliminarDocumentos(); },
        [this] { eliminarDocumetos_ALLITEMS(); });
}

void PestanaDocumentos::cargarDocumentos() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.cargarDocumentos"), [&] {
        llenar(lstvDocumentos, modDA::getDocumentosItem(operacion(), item()), kCampos);
    });
}

void PestanaDocumentos::cargarDocumentos_ZERO(const QString& despacho) {
    correr(QStringLiteral("cargarDocumentos_ZERO"),
           [&] { llenar(lstvDocumentos, modDA::getDocumentosComunes(despacho), kCampos); });
}

void PestanaDocumentos::seleccionarDocumento() {
    const QString codigo = frmListado::elegir(4);
    if (!codigo.isEmpty())
        txtDocumento->setText(codigo);
}

void PestanaDocumentos::agregarDocumentos() {
    correr(QStringLiteral("agregarDocumentos"), [this] {
        const QString codigo = txtDocumento->text().trimmed();
        if (codigo.isEmpty())
            return avisar(QStringLiteral("Debe seleccionar un documento"));
        if (txtDocumentoValor->text().trimmed().isEmpty())
            return avisar(QStringLiteral("Debe ingresar una referencia al documento"));
        const QString despacho = operacion();
        // The row and the item's mark go in together or not at all.
        modDA::Transaction transaccion;
        if (!modDA::agregarDocumento(despacho, item(), codigo, txtDocumentoValor->text()))
            return;
        modDA::Invalidar_ITEM(despacho, item(), false);
        transaccion.commit();
        txtDocumento->clear();
        txtDocumentoValor->clear();
        txtDocumento->setFocus();
        cargarDocumentos();
    });
}

void PestanaDocumentos::agregarDocumentos_ALLITEMS() {
    correr(QStringLiteral("agregarDocumentos_ALLITEMS"), [this] {
        const QString codigo = txtDocumento->text().trimmed();
        QString referencia = txtDocumentoValor->text();
        referencia.replace(QLatin1Char('\''), QLatin1Char(' '));
        if (codigo.isEmpty())
            return avisar(QStringLiteral("Debe seleccionar un documento"));
        if (referencia.isEmpty())
            return avisar(QStringLiteral("Debe ingresar una referencia al documento"));
        const QString despacho = operacion();
        const QString items = itemsElegidos();
        if (items.isEmpty())
            return;
        const MsgResult r = preguntarValorEnItems(QStringLiteral("¿Desea agregar el documento ") +
                                                      codigo + QStringLiteral(" = ") + referencia +
                                                      QStringLiteral(" en los items?"),
                                                  codigo);
        if (r == MsgResult::Cancel)
            return;
        recargarSiFalla(
            [&] {
                modDA::agregarDocumento_ALLITEMS(despacho, items, codigo, referencia,
                                                 r == MsgResult::Yes);
            },
            [&] { cargarDocumentos_ZERO(despacho); });
        txtDocumento->clear();
        txtDocumentoValor->clear();
        txtDocumento->setFocus();
        cargarDocumentos_ZERO(despacho);
        finDelProceso();
    });
}

void PestanaDocumentos::eliminarDocumentos() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.eliminarDocumentos"), [&] {
        QTreeWidgetItem* fila =
            filaConfirmada(lstvDocumentos, QStringLiteral("Confirma eliminar el documento "));
        if (fila != nullptr && modDA::eliminarDocumento(operacion(), item(), fila->text(0)))
            delete fila;
    });
}

void PestanaDocumentos::eliminarDocumetos_ALLITEMS() {
    correr(QStringLiteral("eliminarDocumetos_ALLITEMS"), [this] {
        const QString codigo =
            codigoAEliminarEnItems(lstvDocumentos, QStringLiteral("el documento"));
        if (codigo.isEmpty())
            return;
        modDA::ResetDocumento(operacion(), codigo, QStringLiteral("TODO"));
        cargarDocumentos_ZERO(operacion());
    });
}
