#include "support/CatalogSnapshot.h"

#include "data/connection.h"
#include "data/modDA.h"
#include "support/QueryRows.h"

#include <algorithm>

namespace corvelix::test {

QStringList catalogSnapshot() {
    static const char* const tables[] = {"DDT", "ART", "SBT", "CPL", "SRG",
                                         "DVD", "CCM", "DCN", "LQA"};
    QStringList rows;
    for (const char* table : tables) {
        const QString name = QLatin1String(table);
        const QStringList found = queryRows(modDA::getConnection(modDA::kCatalog),
                                            QStringLiteral("SELECT * FROM ") + name);
        for (const QString& row : found)
            rows << name + QLatin1Char(':') + row;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList catalogRows(const QString& sql, const QVariantList& params) {
    return queryRows(modDA::getConnection(modDA::kCatalog), sql, params);
}

} // namespace corvelix::test
