// The four item fields above the tabs (list, state of goods, origin, provenance): their keys
// and their setters on one item or, in ITEM GLOBAL, on the picked items.
#include "item_editor/frmItemDetalle.h"

#include "data/ItemList.h"
#include "data/declaration_reads.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/frmListado.h"
#include "shell/utiles.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::runHandler;
using corvelix::ui;

namespace {

struct Campo {
    const char* columna;
    // One item: an empty box asks to empty the field (the list) or is refused with this text.
    const char* vacioUnItem;
    // ITEM GLOBAL: first words of the question, closing words of its last line.
    const char* pregunta;
    const char* soloVacios;
    bool mayusculas;
    bool mensajeFinGlobal;
};

const Campo kLista{
    "LISTA", nullptr, "¿Confirma establecer la Lista ", " solo en los items que no tienen LISTA",
    true,    true};
const Campo kEstado{"CARTUSO",
                    "No se puede vaciar el Estado de Mercaderia",
                    "¿Confirma establecer el estado de mercaderia ",
                    " solo en los items que no tienen Estado Mercaderia",
                    true,
                    true};
const Campo kOrigen{"CARTPAYORI",
                    "Debe seleccionar un PAIS ORIGEN",
                    "¿Confirma establecer el PAIS ORIGEN ",
                    " solo en los items que no tienen PAIS ORIGEN",
                    false,
                    true};
const Campo kProc{"CARTPAYPRC",
                  "Debe seleccionar un PAIS PROC/ DESTINO",
                  "¿Confirma establecer el PAIS PROC / DESTINO ",
                  " solo en los items que no tienen PAIS PROC / DESTINO",
                  false,
                  false};

void finDelProceso() {
    ui().msgBox(QStringLiteral("fin del proceso"), MsgButtons::Ok, MsgIcon::Information);
}

} // namespace

void frmItemDetalle::instalarTeclasCampos() {
    for (QLineEdit* caja : {txtLista, txtEstadoMercaderia, txtPaisOrigen, txtPaisProc}) {
        // Ahead of the input-control object, which takes Enter to move on.
        caja->removeEventFilter(this);
        caja->installEventFilter(this);
    }
}

bool frmItemDetalle::teclaCampo(QLineEdit* caja, QKeyEvent* event) {
    const int key = event->key();
    const bool sinModificador = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!sinModificador)
        return false;
    if (key == Qt::Key_Delete) {
        caja->clear();
        return true;
    }
    const bool esOrigen = caja == txtPaisOrigen;
    const bool esProc = caja == txtPaisProc;
    const int tabla = caja == txtLista              ? 2
                      : caja == txtEstadoMercaderia ? 5
                      : esOrigen                    ? tablaOrigen()
                                                    : 6;
    QLabel* descripcion = esOrigen ? lbPaisOrigen : esProc ? lbPaisDestino : nullptr;
    const QString handler = caja->objectName() + (key == Qt::Key_F6 ? QStringLiteral("_KeyDown")
                                                                    : QStringLiteral("_KeyPress"));
    if (key == Qt::Key_F6) {
        runHandler(*this, handler, [&] {
            frmListado listado(this);
            listado.m_Tabla = tabla;
            ui().exec(listado);
            ui().processEvents();
            if (listado.m_Salida.isEmpty())
                return;
            caja->setText(listado.m_Salida);
            if (descripcion != nullptr)
                descripcion->setText(modDA::getDescripcionTabla(listado.m_Salida, tabla));
        });
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        runHandler(*this, handler, [&] {
            if (caja == txtLista) {
                caja->setText(caja->text().toUpper());
            } else if (descripcion != nullptr && !caja->text().isEmpty()) {
                descripcion->setText(modDA::getDescripcionTabla(caja->text(), tabla));
            }
        });
        // Enter still moves on to the next box.
        return false;
    }
    return false;
}

void frmItemDetalle::cmdSetLista_Click() {
    establecerCampo(kListaIndice);
}

void frmItemDetalle::cmdSetEstadoM_Click() {
    establecerCampo(kEstadoIndice);
}

void frmItemDetalle::cmdsetOrigen_Click() {
    establecerCampo(kOrigenIndice);
}

void frmItemDetalle::cmdSetProc_Click() {
    establecerCampo(kProcIndice);
}

void frmItemDetalle::establecerCampo(int indice) {
    if (rechazaAbierto())
        return;
    if (esItemGlobal())
        establecerCampo_ALLITEMS(indice);
    else
        establecerCampoItem(indice);
}

namespace {

const Campo& campo(int indice) {
    static const Campo* const kCampos[] = {&kLista, &kEstado, &kOrigen, &kProc};
    return *kCampos[indice];
}

} // namespace

QLineEdit* frmItemDetalle::cajaCampo(int indice) const {
    QLineEdit* const cajas[] = {txtLista, txtEstadoMercaderia, txtPaisOrigen, txtPaisProc};
    return cajas[indice];
}

int frmItemDetalle::tablaCampo(int indice) const {
    const int tablas[] = {2, 5, tablaOrigen(), 6};
    return tablas[indice];
}

// SetLista, SetEstadoMercaderia, setOrigen, setProc.
void frmItemDetalle::establecerCampoItem(int indice) {
    const Campo& c = campo(indice);
    QLineEdit* caja = cajaCampo(indice);
    // Codes are stored trimmed; a box of blanks counts as empty.
    QString v = caja->text().trimmed();
    if (c.mayusculas)
        v = v.toUpper();
    caja->setText(v);
    if (v.isEmpty()) {
        if (c.vacioUnItem != nullptr) {
            ui().msgBox(QString::fromUtf8(c.vacioUnItem), MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        if (ui().msgBox(QStringLiteral("¿Confirma sacar la lista?"), MsgButtons::YesNo,
                        MsgIcon::Question, {}, MsgDefault::Second) != MsgResult::Yes)
            return;
    } else {
        // Only a check: a code the table lacks stops here with its message.
        (void)modDA::getDescripcionTabla(v, tablaCampo(indice));
    }
    // The value and the item's mark go in together or not at all.
    modDA::Transaction transaccion;
    modDA::setCampoByItem(m_Operacion, m_Item, QLatin1String(c.columna), v);
    modDA::Invalidar_ITEM(m_Operacion, m_Item, false);
    transaccion.commit();
    finDelProceso();
}

// setLista_ALLITEMS, SetEstadoMercaderia_ALLITEMS, setOrigen_ALLITEMS, setPROC_ALLITEMS.
void frmItemDetalle::establecerCampo_ALLITEMS(int indice) {
    const Campo& c = campo(indice);
    QLineEdit* caja = cajaCampo(indice);
    const QString sel = utiles::getSeleccionarITEMS(m_Operacion);
    if (sel.isEmpty()) {
        ui().msgBox(QStringLiteral("Debe seleccionar como minimo un item"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    const modDA::ItemList items = modDA::ItemList::parse(sel);
    const QString v = caja->text().trimmed();
    caja->setText(v);
    bool soloVacios = false;
    if (v.isEmpty()) {
        if (indice == kListaIndice) {
            if (ui().msgBox(QStringLiteral("¿Confirma vaciar el campo LISTA en los items?"),
                            MsgButtons::YesNo, MsgIcon::Question, {},
                            MsgDefault::Second) != MsgResult::Yes)
                return;
        } else {
            // Never empties a field on many items without a word: refused as on one item.
            const char* const mensajes[] = {nullptr, "No se puede vaciar el Estado de Mercaderia",
                                            "No se puede vaciar PAIS DE ORIGEN en los items",
                                            "No se puede vaciar PAIS PROC / DESTINO en los items"};
            ui().msgBox(QString::fromUtf8(mensajes[indice]), MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
    } else {
        (void)modDA::getDescripcionTabla(v, tablaCampo(indice));
        const QString pregunta = QString::fromUtf8(c.pregunta) + v +
                                 QStringLiteral(" en los items?\r\n\r\n") +
                                 QStringLiteral("Advertencia: Estas en ITEM GLOBAL\r\n") +
                                 QStringLiteral("Seleccionando [SI] se establecerá ") + v +
                                 QStringLiteral(" en los items del despacho.\r\n") +
                                 QStringLiteral("Seleccionando [NO] se establecerá ") + v +
                                 QString::fromUtf8(c.soloVacios);
        const MsgResult r = ui().msgBox(pregunta, MsgButtons::YesNoCancel, MsgIcon::Question, {},
                                        MsgDefault::Third);
        if (r == MsgResult::Cancel)
            return;
        soloVacios = r == MsgResult::No;
    }
    modDA::setCampo_ALLITEMS(m_Operacion, QLatin1String(c.columna), v, items, soloVacios);
    if (c.mensajeFinGlobal)
        finDelProceso();
}
