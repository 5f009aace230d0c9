#include "item_editor/PestanaCCPAC.h"

#include "data/attached_rows.h"
#include "data/item_editor_rows.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "shell/main_documentos.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

// The export-document item number with the origin's mask; a text that is no number stays.
QString itemDocumento(const QString& texto, const QString& pais) {
    bool ok = false;
    const qlonglong numero = texto.trimmed().toLongLong(&ok);
    if (!ok)
        return texto;
    return corvelix::formatNumber(static_cast<double>(numero),
                                  mainModule::getFormatoItemDocExportacion(pais));
}

const QString kSinValor = QStringLiteral("Debe ingresar el valor del CCPAC");

// The list's columns.
const QList<const char*> kCampos = {"NART", "CCCM", "MCCM", "CCCMNART"};

} // namespace

PestanaCCPAC::PestanaCCPAC(QWidget& pagina, ContextoItem contexto)
    : PestanaItem(pagina, std::move(contexto)) {
    txtDCExpValor = crearCaja("txtDCExpValor");
    txtItemDocExportacion = crearCaja("txtItemDocExportacion");
    lstCCPAC = crearLista("lstCCPAC", {QStringLiteral("ITEM"), QStringLiteral("Codigo"),
                                       QStringLiteral("Valor"), QStringLiteral("Item DCEXP")});
    cmdVaciarCCPAC = crearBoton("cmdVaciarCCPAC", QStringLiteral("Vaciar CCPAC"));
    disponer({{QStringLiteral("DCEXP"), {txtDCExpValor}},
              {QStringLiteral("Item DCEXP (opcional)"), {txtItemDocExportacion}}},
             lstCCPAC, cmdVaciarCCPAC);

    agregarConEnter(
        txtItemDocExportacion, QStringLiteral("txtItemDocExportacion_KeyPress"),
        [this] { agregarCCPACs(); }, [this] { agregarCCPAC_ALLITEMS(); });
    eliminarConSupr(lstCCPAC, QStringLiteral("lstCCPAC_KeyDown"), [this] { eliminarCCPACs(); });
    connect(cmdVaciarCCPAC, &QPushButton::clicked, this, [this] { cmdVaciarCCPAC_Click(); });
}

void PestanaCCPAC::cargarCCPAC() {
    correr(QStringLiteral("cargarCCPAC"),
           [this] { llenar(lstCCPAC, modDA::getCCPACItem(operacion(), item()), kCampos); });
}

void PestanaCCPAC::cargarCCPAC_ZERO() {
    correr(QStringLiteral("cargarCCPAC_ZERO"),
           [this] { llenar(lstCCPAC, modDA::getCCPACDespacho(operacion()), kCampos); });
}

void PestanaCCPAC::agregarCCPACs() {
    correr(QStringLiteral("agregarCCPACs"), [this] {
        ui().setBusy(true);
        if (txtDCExpValor->text().trimmed().isEmpty()) {
            ui().msgBox(kSinValor, MsgButtons::Ok, MsgIcon::Exclamation);
            ui().setBusy(false);
            return;
        }
        if (txtItemDocExportacion->text().isEmpty()) {
            if (ui().msgBox(QStringLiteral("¿Quiere utilizar el mismo item de la operacion?"),
                            MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) {
                ui().msgBox(
                    QStringLiteral("Debe ingresar el Numero de Item del Documento de Exportación"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
                ui().setBusy(false);
                return;
            }
            txtItemDocExportacion->setText(item());
        }
        const QString pais = contexto_.paisOrigen ? contexto_.paisOrigen() : QString();
        const QString valor = txtDCExpValor->text();
        // A refusal is told before the end of the process, as any answer.
        try {
            if (modDA::agregarCCPAC(operacion(), item(), valor,
                                    itemDocumento(txtItemDocExportacion->text(), pais)))
                cargarCCPAC();
        } catch (const corvelix::Refusal& refusal) {
            corvelix::showRefusal(refusal);
        }
        finDelProceso();
        ui().setBusy(false);
    });
}

void PestanaCCPAC::eliminarCCPACs() {
    correr(QStringLiteral("eliminarCCPACs"), [this] {
        QTreeWidgetItem* fila = seleccionada(lstCCPAC);
        if (fila == nullptr)
            return;
        const QString valor = fila->text(2);
        if (ui().msgBox(QStringLiteral("Confirma eliminar el CCPAC del item ") + item() +
                            QStringLiteral(" con valor ") + valor + QStringLiteral(" ?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes)
            return;
        if (modDA::eliminarCCPAC(operacion(), item(), valor))
            cargarCCPAC();
    });
}

void PestanaCCPAC::agregarCCPAC_ALLITEMS() {
    correr(QStringLiteral("agregarCCPAC_ALLITEMS"), [this] {
        ui().setBusy(true);
        const QString valor = txtDCExpValor->text();
        if (valor.trimmed().isEmpty()) {
            ui().msgBox(kSinValor, MsgButtons::Ok, MsgIcon::Exclamation);
            ui().setBusy(false);
            return;
        }
        const MsgResult r = preguntarEnItems(
            QStringLiteral("¿Desea establecer el CCPAC ") + valor +
                QStringLiteral(" en los items?"),
            QStringLiteral("Se reemplazara todos los valores existentes de CCPAC."),
            QStringLiteral("Se mantiene los CCPAC existentes y solo se agregaran los nuevos."));
        if (r == MsgResult::Cancel) {
            ui().setBusy(false);
            return;
        }
        recargarSiFalla(
            [&] { modDA::agregarCCPAC_ALLITEMS(operacion(), valor, r == MsgResult::Yes); },
            [this] { cargarCCPAC_ZERO(); });
        cargarCCPAC_ZERO();
        ui().setBusy(false);
        finDelProceso();
    });
}

void PestanaCCPAC::cmdVaciarCCPAC_Click() {
    correr(QStringLiteral("cmdVaciarCCPAC_Click"), [this] {
        if (ui().msgBox(QStringLiteral("Confirma vaciar CCPAC de este provisorio?"),
                        MsgButtons::YesNo, MsgIcon::Exclamation, QString(),
                        MsgDefault::Second) != MsgResult::Yes)
            return;
        ui().setBusy(true);
        recargarSiFalla([this] { modDA::resetCCPAC(operacion()); }, [this] { cargarCCPAC_ZERO(); });
        cargarCCPAC_ZERO();
        ui().setBusy(false);
    });
}
