#pragma once

#include <QSqlDatabase>
#include <QString>

// The demo catalog: the schema, the readable seed of code tables and sample declarations,
// and optionally one large synthetic declaration for trying the program on volume.
namespace modDA {

// Number of the large declaration that buildDemoCatalog adds when asked for items.
inline const QString kLargeDeclaration = QStringLiteral("26001IC04900001Z");
inline constexpr int kLargeSubitems = 4;

// Builds everything on an empty SQLite database. With largeItems > 0 it also adds
// kLargeDeclaration with that many items of kLargeSubitems subitems each and their attached
// rows, in one transaction. Failure: VbError with the driver's text.
void buildDemoCatalog(QSqlDatabase& db, int largeItems = 0);

// Adds `count` synthetic declarations (header rows only, numbers "25001" + sub-regime + six
// digits + a letter, some of them SIMI, SIRA and SEDI) in one transaction, for trying the
// declaration list on volume. Failure: VbError with the driver's text.
void addDemoDeclarations(QSqlDatabase& db, int count);

} // namespace modDA
