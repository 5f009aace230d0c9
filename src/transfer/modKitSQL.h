#pragma once

#include "data/Recordset.h"
#include "transfer/RegistroDespacho.h"

#include <QString>

// Fills a declaration record from the catalog, for the transfer file. Only reads.
namespace modKitSQL {

// The header fields and the header's complementary information and documents of the
// declaration whose number is exactly `iddt`; Items empty. No such declaration is an error.
RegistroDespacho getCaratulaKitSQL(const QString& iddt);
// Fills Items, each with its subitems, complementary information, advantages and documents.
// The child rows are those of the item's key (NART); the record keeps the number as shown
// (NARTEXT). A declaration without items is an error.
void getitemsKitS(const QString& iddt, RegistroDespacho& registro);

// Inner fillers: each takes the rows of one item (or of the header, "0000").
void getInformacionComplementariaKitSQL(RegistroDespacho& registro, modDA::Recordset& rs,
                                        const QString& item);
void getDocumentosKitSQL(RegistroDespacho& registro, modDA::Recordset& rs, const QString& item);
void getSubitems(RegistroItem& item, modDA::Recordset& rs, const QString& nart);
void getInformacionComplementaria_ItemKitSQL(RegistroItem& item, modDA::Recordset& rs,
                                             const QString& nart);
void getVentajasKitSQL(RegistroItem& item, modDA::Recordset& rs, const QString& nart);
void getDocumentos_ItemKitSQL(RegistroItem& item, modDA::Recordset& rs, const QString& nart);

// The main window's export of the selected declaration to a transfer file: save dialog,
// items, file, message. Reports its own failures.
void ExportarProvisorio2TXT(const QString& iddt);

} // namespace modKitSQL
