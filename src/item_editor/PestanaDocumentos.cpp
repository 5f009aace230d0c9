#include "item_editor/PestanaDocumentos.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

void llenar(QTreeWidget* lista, modDA::Recordset rs) {
    lista->clear();
    for (; !rs.eof(); rs.moveNext())
        new QTreeWidgetItem(lista, {rs.text("CDVDDOC"), rs.text("LDVDREFDOC")});
}

void avisar(const QString& texto) {
    ui().msgBox(texto, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace

PestanaDocumentos::PestanaDocumentos(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    auto* grid = new QGridLayout;
    txtDocumento = new QLineEdit(&pagina);
    txtDocumento->setObjectName(QStringLiteral("txtDocumento"));
    txtDocumentoValor = new QLineEdit(&pagina);
    txtDocumentoValor->setObjectName(QStringLiteral("txtDocumentoValor"));
    lstvDocumentos =
        crearLista(pagina, "lstvDocumentos", {QStringLiteral("Codigo"), QStringLiteral("Valor")});
    grid->addWidget(new QLabel(QStringLiteral("Código [F6]"), &pagina), 0, 0);
    grid->addWidget(txtDocumento, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Referencia"), &pagina), 1, 0);
    grid->addWidget(txtDocumentoValor, 1, 1);
    grid->addWidget(lstvDocumentos, 2, 0, 1, 2);
    pagina.setLayout(grid);

    filtrarTeclas(txtDocumento);
    filtrarTeclas(txtDocumentoValor);
    filtrarTeclas(lstvDocumentos);
}

bool PestanaDocumentos::tecla(QObject* control, int key) {
    if (control == txtDocumento && (key == Qt::Key_Delete || key == Qt::Key_F6)) {
        correr(QStringLiteral("txtDocumento_KeyDown"), [this, key] {
            if (key == Qt::Key_Delete)
                txtDocumento->clear();
            else
                seleccionarDocumento();
        });
        return true;
    }
    if (control == txtDocumentoValor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        correr(QStringLiteral("txtDocumentoValor_KeyPress"), [this] {
            if (rechazaAbierto())
                return;
            if (!itemGlobal())
                agregarDocumentos();
            else
                agregarDocumentos_ALLITEMS();
        });
        return true;
    }
    if (control == lstvDocumentos && key == Qt::Key_Delete) {
        correr(QStringLiteral("lstvDocumentos_KeyDown"), [this] {
            if (!itemGlobal())
                eliminarDocumentos();
            else
                eliminarDocumetos_ALLITEMS();
        });
        return true;
    }
    return false;
}

void PestanaDocumentos::cargarDocumentos() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.cargarDocumentos"), [&] {
        llenar(lstvDocumentos, modDA::getDocumentosItem(operacion(), item()));
    });
}

void PestanaDocumentos::cargarDocumentos_ZERO(const QString& despacho) {
    correr(QStringLiteral("cargarDocumentos_ZERO"),
           [&] { llenar(lstvDocumentos, modDA::getDocumentosComunes(despacho)); });
}

void PestanaDocumentos::seleccionarDocumento() {
    frmListado frm;
    frm.m_Salida.clear();
    frm.m_Tabla = 4;
    ui().exec(frm);
    if (!frm.m_Salida.isEmpty())
        txtDocumento->setText(frm.m_Salida);
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
        const QString items = utiles::getSeleccionarITEMS(despacho);
        if (items.isEmpty())
            return avisar(QStringLiteral("Debe seleccionar como minimo un item"));
        const MsgResult r = ui().msgBox(
            lineas({QStringLiteral("¿Desea agregar el documento ") + codigo +
                        QStringLiteral(" = ") + referencia + QStringLiteral(" en los items?"),
                    QString(), QStringLiteral("Si selecciona:"),
                    QStringLiteral("[SI] Se establecerá este valor en los items, se perderá los "
                                   "valores existentes"),
                    QStringLiteral("[NO] Solo se establecerá este valor en los items que NO "
                                   "tengan cargado ") +
                        codigo}),
            MsgButtons::YesNoCancel, MsgIcon::Question, QStringLiteral("Confirmación"),
            MsgDefault::Third);
        if (r == MsgResult::Cancel)
            return;
        try {
            modDA::agregarDocumento_ALLITEMS(despacho, items, codigo, referencia,
                                             r == MsgResult::Yes);
        } catch (...) {
            cargarDocumentos_ZERO(despacho);
            throw;
        }
        txtDocumento->clear();
        txtDocumentoValor->clear();
        txtDocumento->setFocus();
        cargarDocumentos_ZERO(despacho);
        ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
    });
}

void PestanaDocumentos::eliminarDocumentos() {
    corvelix::chained(QStringLiteral("Corvelix.frmItemDetalle.eliminarDocumentos"), [&] {
        QTreeWidgetItem* fila = seleccionada(lstvDocumentos);
        if (fila == nullptr)
            return;
        const QString codigo = fila->text(0);
        if (ui().msgBox(QStringLiteral("Confirma eliminar el documento ") + codigo,
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        if (modDA::eliminarDocumento(operacion(), item(), codigo))
            delete fila;
    });
}

void PestanaDocumentos::eliminarDocumetos_ALLITEMS() {
    correr(QStringLiteral("eliminarDocumetos_ALLITEMS"), [this] {
        if (!itemGlobal())
            return;
        QTreeWidgetItem* fila = seleccionada(lstvDocumentos);
        if (fila == nullptr)
            return;
        const QString codigo = fila->text(0);
        if (ui().msgBox(preguntaEliminarEnItems(QStringLiteral("el documento"), codigo),
                        MsgButtons::YesNo, MsgIcon::Question, QString(),
                        MsgDefault::Second) != MsgResult::Yes)
            return;
        modDA::ResetDocumento(operacion(), codigo, QStringLiteral("TODO"));
        cargarDocumentos_ZERO(operacion());
    });
}
