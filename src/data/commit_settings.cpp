#include "data/connection.h"

#include "data/connection_internal.h"

#include <QSqlQuery>

namespace modDA {

void applyCommitSettings(QSqlDatabase& db) {
    bool wal = false;
    {
        QSqlQuery mode = plainQuery(db);
        wal = mode.exec(QStringLiteral("PRAGMA journal_mode")) && mode.next() &&
              mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        // Functions and collations cannot be registered while a statement is open.
        mode.finish();
    }
    if (wal)
        execPlain(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
}

} // namespace modDA
