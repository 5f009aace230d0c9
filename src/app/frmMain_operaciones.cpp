// The main window's operations on the selected declaration beyond opening it: the SIMI menu,
// the sheet imports, cancellation generation, SIMI FIX and the profile reset key.
#include "app/frmMain.h"

#include "data/attached_rows.h"
#include "data/cancellations.h"
#include "data/declaration_reads.h"
#include "imports/frmGenerarCancelaciones.h"
#include "imports/frmMenuIC.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "platform/Settings.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"
#include "shell/frmInputText.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QScopeGuard>
#include <QTreeWidget>

#include <functional>

using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

namespace {

void noSeDistribuye(const QString& subRegimen) {
    ui().msgBox(QStringLiteral("No se puede distribuir en una ") + subRegimen, MsgButtons::Ok,
                MsgIcon::Exclamation);
}

} // namespace

QTreeWidgetItem* frmMain::filaSeleccionada() const {
    QTreeWidgetItem* fila = lstDespachos->currentItem();
    return fila != nullptr ? fila : lstDespachos->topLevelItem(0);
}

void frmMain::conectarOperaciones() {
    const auto conectar = [this](const char* name, const char* handler,
                                 const std::function<void(int&)>& fn,
                                 corvelix::MsgIcon icon = MsgIcon::None) {
        auto* action = mnuArchivo->findChild<QAction*>(QLatin1String(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, handler, fn, icon] {
            corvelix::GuardOptions opciones;
            opciones.icon = icon;
            corvelix::runHandler(*this, QLatin1String(handler), fn, opciones);
        });
    };
    conectar(
        "mnuCargarLiquidaciones", "mnuCargarLiquidaciones_Click",
        [this](int&) {
            QTreeWidgetItem* fila = filaSeleccionada();
            if (fila == nullptr)
                return;
            frmXLS2Liquidaciones form(this);
            form.m_Despacho = fila->text(0);
            ui().exec(form);
        },
        MsgIcon::Exclamation);
    conectar(
        "mnuCargarCancelaciones", "mnuCargarCancelaciones_Click",
        [this](int&) {
            QTreeWidgetItem* fila = filaSeleccionada();
            if (fila == nullptr)
                return;
            const QString despacho = fila->text(0);
            const QString subRegimen = modDA::extraerSubRegimen(despacho);
            if (!modDA::admiteCancelaciones(subRegimen)) {
                noSeDistribuye(subRegimen);
                return;
            }
            frmXLS2Cancelaciones form(this);
            form.m_Despacho = despacho;
            ui().exec(form);
        },
        MsgIcon::Exclamation);
    conectar("mnuSIMIFIX4", "limipiarSIMI", [this](int&) { limipiarSIMI(); });
    conectar(
        "mnuprorratearIDA4", "prorratearIDA4",
        [this](int&) {
            if (QTreeWidgetItem* fila = filaSeleccionada(); fila != nullptr)
                prorratearIDA4(fila->text(0));
        },
        MsgIcon::Exclamation);
}

void frmMain::cargarOperacion() {
    QTreeWidgetItem* fila = filaSeleccionada();
    if (fila == nullptr)
        return;
    auto* menu = new frmMenuIC;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->m_Despacho = fila->text(0);
    ui().show(*menu);
    close();
}

void frmMain::prorratearIDA4(const QString& operacion) {
    const auto normal = qScopeGuard([] { ui().setBusy(false); });
    const QString subRegimen = modDA::extraerSubRegimen(operacion);
    if (!modDA::admiteCancelaciones(subRegimen)) {
        noSeDistribuye(subRegimen);
        return;
    }
    frmGenerarCancelaciones dialogo(this);
    dialogo.m_CTIT.clear();
    dialogo.m_DIT.clear();
    ui().exec(dialogo);
    const QString dit = dialogo.m_DIT.trimmed().toUpper();
    const QString ctit = dialogo.m_CTIT.trimmed();
    if (dit.size() != 16) {
        ui().msgBox(QStringLiteral("Numero de despacho inválido"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    if (ui().msgBox(QStringLiteral("Confirma generar la descarga de ") + dit +
                        QStringLiteral(" en todos los item's del despacho seleccionado (") +
                        operacion + QStringLiteral(")?"),
                    MsgButtons::YesNo, MsgIcon::Question, QString(), MsgDefault::Second) !=
        MsgResult::Yes)
        return;
    ui().setBusy(true);
    modDA::Distribuir_IDA4_En_IC06(operacion, dit, ctit);
    ui().msgBox(QStringLiteral("Fin de proceso."), MsgButtons::Ok, MsgIcon::Information);
}

void frmMain::limipiarSIMI() {
    QTreeWidgetItem* fila = filaSeleccionada();
    if (fila == nullptr)
        return;
    const QString numero = fila->text(0);
    if (numero.contains(QLatin1String("SIRA")) || numero.contains(QLatin1String("SIMI"))) {
        ui().msgBox(QStringLiteral("No se puede aplicar SIMI FIX a una SIRA, tiene que ser en una "
                                   "definitiva"),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (ui().msgBox(QStringLiteral("Confirma eliminar en todos los items, las informaciones "
                                   "adicionales SIMI-DESC-MERCXX, SIMI-FECHA-ARRIB, "
                                   "SIMI-FECHA-EMBAR\n\nOperación: ") +
                        numero,
                    MsgButtons::YesNo, MsgIcon::Question, QString(), MsgDefault::Second) !=
        MsgResult::Yes)
        return;
    modDA::CleanInfoAdicionalSIMI(numero);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    Form_KeyDown(*event);
    QWidget::keyPressEvent(event);
}

void frmMain::Form_KeyDown(const QKeyEvent& event) {
    if (event.key() != Qt::Key_R || event.modifiers() != (Qt::ControlModifier | Qt::AltModifier))
        return;
    corvelix::runHandler(*this, QStringLiteral("Form_KeyDown"), [this] {
        frmInputText entrada(this);
        entrada.m_Texto = QStringLiteral("Ingrese password para resetear perfil");
        entrada.m_Valor_Defecto.clear();
        entrada.m_Resultado.clear();
        entrada.m_Oculto = true;
        ui().exec(entrada);
        if (entrada.m_Resultado.trimmed() != QLatin1String("Morvel4718"))
            return;
        corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                        QString());
        ui().msgBox(QStringLiteral("perfil reseteado"), MsgButtons::Ok, MsgIcon::Exclamation);
    });
}
