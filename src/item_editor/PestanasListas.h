#pragma once

class frmItemDetalle;

// The list tabs of the item editor and the two transfer buttons of "Prorrateos", installed on
// the window's pages (see frmItemDetalle_pestanas.cpp).
void instalarInfoAdicional(frmItemDetalle& frm);
void instalarVentajas(frmItemDetalle& frm);
void instalarDocumentos(frmItemDetalle& frm);
void instalarCCPAC(frmItemDetalle& frm);
void instalarTransferenciasInfoAd(frmItemDetalle& frm);
