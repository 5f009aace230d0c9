#include "data/workbook_reads.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

namespace modDA {

namespace {

Sql tableName(PivotTable table) {
    switch (table) {
    case PivotTable::CPL:
        return "CPLPIVOT";
    case PivotTable::SRG:
        return "SRGPIVOT";
    case PivotTable::DVD:
        break;
    }
    return "DVDPIVOT";
}

QString nameText(PivotTable table) {
    return tableName(table).text();
}

} // namespace

bool pivotTableExists(PivotTable table) {
    return corvelix::chained(QStringLiteral("Corvelix.modDA.pivotTableExists"), [&] {
        return !getRs(kCatalog, "SELECT name FROM sysobjects WHERE name= ?", {nameText(table)})
                    .eof();
    });
}

Recordset pivotFirstRow(PivotTable table) {
    return corvelix::chained(QStringLiteral("Corvelix.modDA.pivotFirstRow"), [&] {
        return getRs(kCatalog, sql::selectFirst(dialect(), "*", "FROM " + tableName(table)));
    });
}

Recordset pivotRows(PivotTable table) {
    return corvelix::chained(QStringLiteral("Corvelix.modDA.pivotRows"), [&] {
        if (!pivotTableExists(table))
            return Recordset();
        return getRs(kCatalog, "SELECT * FROM " + tableName(table));
    });
}

} // namespace modDA
