#include "item_editor/PestanasListas.h"

#include "item_editor/PestanaCCPAC.h"
#include "item_editor/PestanaDocumentos.h"
#include "item_editor/PestanaInfoAdicional.h"
#include "item_editor/PestanaVentajas.h"
#include "item_editor/frmFOB2InfoAd.h"
#include "item_editor/frmItemDetalle.h"
#include "item_editor/frmSufijos2InfoAd.h"
#include "runtime/FormKit.h"
#include "runtime/Ui.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

ContextoItem contexto(frmItemDetalle& frm) {
    ContextoItem c;
    c.ventana = &frm;
    c.operacion = [&frm] { return frm.m_Operacion; };
    c.item = [&frm] { return frm.m_Item; };
    c.paisOrigen = [&frm] { return frm.txtPaisOrigen->text(); };
    c.validaLiquidacion = [&frm] { frm.ValidaLiquidacion(); };
    c.cargaDataItem_Zero = [&frm] { frm.cargaDataItem_Zero(); };
    return c;
}

} // namespace

// Each loader first puts the tab's keys in front of the input-control objects the window links
// at its load, which would otherwise take Enter for themselves.
void instalarInfoAdicional(frmItemDetalle& frm) {
    auto* tab = new PestanaInfoAdicional(*frm.tabInfAdicional(), contexto(frm));
    frm.agregarCargador(frmItemDetalle::PasoCarga::InfoAdicional, [tab, &frm](bool global) {
        tab->reinstalarFiltros();
        if (global)
            tab->CargarInfoAdicional_ZERO(frm.m_Operacion);
        else
            tab->CargarInfoAdicional(frm.m_Operacion, frm.m_Item);
    });
}

void instalarVentajas(frmItemDetalle& frm) {
    auto* tab = new PestanaVentajas(*frm.tabVentajas(), contexto(frm));
    frm.agregarCargador(frmItemDetalle::PasoCarga::Ventajas, [tab, &frm](bool global) {
        tab->reinstalarFiltros();
        if (global)
            tab->cargarVentajas_ZERO(frm.m_Operacion);
        else
            tab->cargarVentajas(frm.m_Operacion, frm.m_Item);
    });
}

void instalarDocumentos(frmItemDetalle& frm) {
    auto* tab = new PestanaDocumentos(*frm.tabDocumentos(), contexto(frm));
    frm.agregarCargador(frmItemDetalle::PasoCarga::Documentos, [tab, &frm](bool global) {
        tab->reinstalarFiltros();
        if (global)
            tab->cargarDocumentos_ZERO(frm.m_Operacion);
        else
            tab->cargarDocumentos();
    });
}

void instalarCCPAC(frmItemDetalle& frm) {
    auto* tab = new PestanaCCPAC(*frm.tabCCPAC(), contexto(frm));
    frm.agregarCargador(frmItemDetalle::PasoCarga::CCPAC, [tab](bool global) {
        tab->reinstalarFiltros();
        if (global)
            tab->cargarCCPAC_ZERO();
        else
            tab->cargarCCPAC();
    });
}

void instalarTransferenciasInfoAd(frmItemDetalle& frm) {
    QWidget* area = frm.tabProrrateos();
    auto* fila = new QWidget(area);
    fila->setObjectName(QStringLiteral("transferenciasInfoAd"));
    auto* botones = new QHBoxLayout(fila);
    auto* fob = new QPushButton(QStringLiteral("FOB It a Info Adic"), fila);
    fob->setObjectName(QStringLiteral("cmdFob2InfoAd"));
    auto* suf = new QPushButton(QStringLiteral("Sufijo a Info Adic"), fila);
    suf->setObjectName(QStringLiteral("cmdSufInfoAd"));
    for (QPushButton* b : {fob, suf}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    botones->addStretch();
    auto* layout = qobject_cast<QBoxLayout*>(area->layout());
    if (layout == nullptr)
        layout = new QVBoxLayout(area);
    layout->addWidget(fila);

    QObject::connect(fob, &QPushButton::clicked, &frm, [&frm] {
        corvelix::runHandler(frm, QStringLiteral("cmdFob2InfoAd_Click"), [&frm] {
            frmFOB2InfoAd dlg(&frm);
            dlg.m_Despacho = frm.m_Operacion;
            corvelix::ui().exec(dlg);
        });
    });
    QObject::connect(suf, &QPushButton::clicked, &frm, [&frm] {
        corvelix::runHandler(frm, QStringLiteral("cmdSufInfoAd_Click"), [&frm] {
            frmSufijos2InfoAd dlg(&frm);
            dlg.m_Despacho = frm.m_Operacion;
            corvelix::ui().exec(dlg);
        });
    });
}
