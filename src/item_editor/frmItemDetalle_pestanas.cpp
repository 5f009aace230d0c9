#include "item_editor/frmItemDetalle.h"
#include "item_editor/PestanasListas.h"

#include "item_editor/CancelacionesTab.h"
#include "item_editor/ProrrateosTab.h"

// The tabs whose contents live in files of their own. Each adds one line here calling its
// install function (see the top of frmItemDetalle.h); keep one line per tab, in tab order.
void frmItemDetalle::instalarPestanas() {
    // "Inf Adicional":
    instalarInfoAdicional(*this);

    // "Ventajas":
    instalarVentajas(*this);

    // "Documentos":
    instalarDocumentos(*this);

    // "DCEXP / CCPAC":
    instalarCCPAC(*this);

    // "Prorrateos":
    instalarTransferenciasInfoAd(*this);
    instalarProrrateos(*this);

    // "Cancelaciones":
    instalarCancelaciones(*this);
}
