#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QStringList>

// The header level of one declaration: its commercial invoices (DVD rows FACTURACOMERCIAL at
// item "0000", presented "S" or the not-presented marker "N" with an empty reference), two
// header fields and the summaries over its items. Values are bound as the callers pass them;
// none of these writes marks anything for re-validation.
namespace modDA {

// The declaration's document rows at item "0000" (only the invoices when `soloFacturas`).
Recordset getDocumentosCaratula(const QString& iddt, bool soloFacturas);
// The document rows of one item.
Recordset getDVD(const QString& iddt, const QString& nart);

// Adds one invoice row; a presented one first removes the not-presented markers. True when
// the row was inserted. Does not look for an existing invoice (existeFactura does).
bool facturasAgregar(const QString& iddt, bool presencia, const QString& factura);
// True when the declaration has an invoice row with exactly this reference, presented or not.
bool existeFactura(const QString& iddt, const QString& factura);
// Removes the presented invoice rows with this reference.
bool facturasEliminar(const QString& iddt, const QString& factura);
// Renumbers the presented invoice rows with the old reference.
bool facturasModificar(const QString& iddt, const QString& anterior, const QString& nueva);
// Adds, in their order and as presented, the invoice numbers the declaration does not have yet
// (compared as the catalog compares texts, so a number repeated in the list is added once).
// All in one transaction: the not-presented markers go when at least one number is added, and
// a list that adds nothing leaves the declaration as it was. Returns how many were added.
int addNewInvoices(const QString& iddt, const QStringList& facturas);
// Replaces every invoice row and marker of the declaration by one not-presented marker.
void SinPresenciafacturas(const QString& iddt);
// True unless the declaration has a not-presented marker.
bool getPresenciaFactura(const QString& iddt);

// The own reference (IEXT) and the seller or buyer name (LDDTNOMFOD); true when the
// declaration's row was changed.
bool modificarCaratula_IEXT(const QString& iext, const QString& iddt);
bool modificarCaratula_Vendedor(const QString& nombre, const QString& iddt);

// Declared quantity per unit valid today: CARTUNTDCL, LUMMUNTMSR, CANTIDAD.
Recordset getResumenCantidades(const QString& iddt);
// Items and quantities per NCM and units: IESPNCE, cantidad, CARTUNTDCL, totaldeclarada,
// CARTUNTEST, totalestadistica.
Recordset getResumenNCM(const QString& iddt);
// Sums of the adjustments to include and to deduct and of the net kilos; an empty sum is 0.
void getTotales_Item(const QString& iddt, double& ajusteIncluir, double& ajusteDeducir,
                     double& kilos);

} // namespace modDA
