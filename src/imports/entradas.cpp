#include "imports/entradas.h"

#include "data/declaration_reads.h"
#include "imports/frmXLS2Cancelaciones.h"
#include "imports/frmXLS2Liquidaciones.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTreeWidget>

using namespace corvelix;

namespace {

QString seleccionado(const QTreeWidget& lista) {
    const QTreeWidgetItem* fila = lista.currentItem();
    return fila ? fila->text(0) : QString();
}

void mnuCargarCancelaciones_Click(QWidget& principal, const QString& despacho) {
    if (despacho.isEmpty())
        return;
    const QString subRegimen = modDA::extraerSubRegimen(despacho);
    if (!modDA::admiteCancelaciones(subRegimen)) {
        ui().msgBox(QStringLiteral("No se puede distribuir en una ") + subRegimen, MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return;
    }
    frmXLS2Cancelaciones form(&principal);
    form.m_Despacho = despacho;
    ui().exec(form);
}

void mnuCargarLiquidaciones_Click(QWidget& principal, const QString& despacho) {
    if (despacho.isEmpty())
        return;
    frmXLS2Liquidaciones form(&principal);
    form.m_Despacho = despacho;
    ui().exec(form);
}

} // namespace

void conectarImportacionesHoja(QWidget& principal, QMenu& menu, QTreeWidget& lista) {
    QPointer<QWidget> ventana(&principal);
    QPointer<QTreeWidget> despachos(&lista);
    const auto conectar = [&](const char* nombre, void (*abrir)(QWidget&, const QString&)) {
        QAction* entrada = menu.findChild<QAction*>(QLatin1String(nombre));
        if (!entrada) {
            for (QAction* a : menu.actions())
                if (a->objectName() == QLatin1String(nombre))
                    entrada = a;
        }
        if (!entrada)
            return;
        entrada->setEnabled(true);
        const QString ubicacion =
            QStringLiteral("Corvelix.frmMain.%1_Click (0)::").arg(QLatin1String(nombre));
        QObject::connect(entrada, &QAction::triggered, &principal, [=] {
            if (ventana && despachos)
                guardEvent(ubicacion, [&] { abrir(*ventana, seleccionado(*despachos)); });
        });
    };
    conectar("mnuCargarCancelaciones", &mnuCargarCancelaciones_Click);
    conectar("mnuCargarLiquidaciones", &mnuCargarLiquidaciones_Click);
}
