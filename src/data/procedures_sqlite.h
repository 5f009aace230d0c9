#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace modDA {

// A procedure of the catalog that the program runs: its name as created and its parameters
// in call order.
struct ProcedureSignature {
    QString name;
    QStringList parameters;
};

// The program's six procedures, in install order (resources 101 to 106).
const QList<ProcedureSignature>& programProcedures();
// One of those six or the outside system's item deletion, by name with letter case ignored
// as the server does; nullptr when unknown.
const ProcedureSignature* findProcedure(const QString& name);

// The same procedures built into SQLite catalogs. Each runs in one transaction (a savepoint,
// so it also nests inside a caller's transaction); failures raise a VbError with the driver's
// text and leave the catalog as it was.
namespace sqlite {

// Work tables item_ventajas / ITEM_INFOAD / ITEM_DOCS: emptied, then one row per item of the
// declaration that has advantages / complementary information / documents.
void setItemVentajas(const QSqlDatabase& db, const QString& iddt);
void SETITEMINFOAD(const QSqlDatabase& db, const QString& iddt);
void SETITEMDOCS(const QSqlDatabase& db, const QString& iddt);

// Pivot tables CPLPIVOT / SRGPIVOT / DVDPIVOT rebuilt for the declaration; `nart` "0000"
// takes the declaration-level rows, anything else the item rows. No code: no table.
void GETCPLPIVOT(const QSqlDatabase& db, const QString& despacho, const QString& nart);
void GETSRGPIVOT(const QSqlDatabase& db, const QString& despacho);
void GETDVDPIVOT(const QSqlDatabase& db, const QString& despacho, const QString& nart);

// Removes one item with all its rows from the declaration. Item first, declaration second,
// as the outside system's procedure takes them.
void sp_delete_ART(const QSqlDatabase& db, const QString& nart, const QString& iddt);

// Runs `procedure` with `args` (as many as its parameters).
void run(const QSqlDatabase& db, const ProcedureSignature& procedure, const QStringList& args);

} // namespace sqlite
} // namespace modDA
