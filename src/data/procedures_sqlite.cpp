#include "data/procedures_sqlite.h"

#include "data/connection.h"
#include "data/item_list_procedures.h"

#include "runtime/VbError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

namespace modDA {

const QList<ProcedureSignature>& programProcedures() {
    static const QList<ProcedureSignature> procedures = {
        {QStringLiteral("setItemVentajas"), {QStringLiteral("@iddt")}},
        {QStringLiteral("SETITEMINFOAD"), {QStringLiteral("@IDDT")}},
        {QStringLiteral("SETITEMDOCS"), {QStringLiteral("@IDDT")}},
        {QStringLiteral("GETCPLPIVOT"), {QStringLiteral("@DESPACHO"), QStringLiteral("@NART")}},
        {QStringLiteral("GETSRGPIVOT"), {QStringLiteral("@DESPACHO")}},
        {QStringLiteral("GETDVDPIVOT"), {QStringLiteral("@DESPACHO"), QStringLiteral("@NART")}},
    };
    return procedures;
}

const ProcedureSignature* findProcedure(const QString& name) {
    static const ProcedureSignature deleteItem{QStringLiteral("sp_delete_ART"),
                                               {QStringLiteral("@NART"), QStringLiteral("@IDDT")}};
    for (const ProcedureSignature& procedure : programProcedures()) {
        if (procedure.name.compare(name, Qt::CaseInsensitive) == 0)
            return &procedure;
    }
    return deleteItem.name.compare(name, Qt::CaseInsensitive) == 0 ? &deleteItem : nullptr;
}

namespace sqlite {

namespace {

const QString kSavepoint = QStringLiteral("corvelix_procedure");
const QString kHeaderItem = QStringLiteral("0000");

void exec(const QSqlDatabase& db, const QString& sql, const QVariantList& params = {}) {
    QSqlQuery query(db);
    runQuery(query, sql, params);
}

QStringList readTexts(const QSqlDatabase& db, const QString& sql, const QVariantList& params) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    runQuery(query, sql, params);
    QStringList texts;
    while (query.next())
        texts << query.value(0).toString();
    if (query.lastError().isValid())
        throw driverError(query.lastError(), db);
    return texts;
}

// A savepoint rather than BEGIN, so that a procedure also runs inside a caller's transaction.
class Savepoint {
public:
    explicit Savepoint(const QSqlDatabase& db) : db_(db) {
        runPreparedSqlite(db_, QStringLiteral("SAVEPOINT ") + kSavepoint, {});
    }
    ~Savepoint() {
        if (released_)
            return;
        QSqlQuery query(db_);
        query.exec(QStringLiteral("ROLLBACK TO ") + kSavepoint);
        query.exec(QStringLiteral("RELEASE ") + kSavepoint);
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void release() {
        runPreparedSqlite(db_, QStringLiteral("RELEASE ") + kSavepoint, {});
        released_ = true;
    }

private:
    QSqlDatabase db_;
    bool released_ = false;
};

// Codes become column names: quoted, with embedded quotes doubled.
QString quoted(const QString& identifier) {
    QString text = identifier;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The work table of an item-list procedure rebuilt for the declaration.
void rebuildList(const QSqlDatabase& db, const ItemListProcedure& list, const QString& iddt) {
    const QString table = QLatin1String(list.table);
    const QString declaration = QLatin1String(list.declaration);
    const QString code = QLatin1String(list.code);
    const QString limit = QString::number(list.limit);
    const QString columns =
        QStringList{QLatin1String(list.columns[0]), QLatin1String(list.columns[1]),
                    QLatin1String(list.columns[2])}
            .join(QStringLiteral(", "));
    // One element, with its leading separator; XMLTEXT leaves out what the server's XML
    // aggregation refuses.
    QString element = QStringLiteral("'|#|' || IFNULL(") + code + QStringLiteral(", '')");
    if (list.value)
        element += QStringLiteral(" || '=' || IFNULL(") + QLatin1String(list.value) +
                   QStringLiteral(", '')");
    const QString partition =
        QStringLiteral("PARTITION BY ") + declaration + QStringLiteral(", NART");
    const QString window =
        list.ordered
            ? partition + QStringLiteral(" ORDER BY ") + code +
                  QStringLiteral(" ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING")
            : partition;

    Savepoint savepoint(db);
    exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS ") + table + QStringLiteral(" (") +
                 QLatin1String(list.columns[0]) + QStringLiteral(" VARCHAR(16) COLLATE NOCASE, ") +
                 QLatin1String(list.columns[1]) + QStringLiteral(" VARCHAR(4) COLLATE NOCASE, ") +
                 QLatin1String(list.columns[2]) + QStringLiteral(" VARCHAR(") + limit +
                 QStringLiteral(") COLLATE NOCASE)"));
    // The item grids join these tables by declaration and item: without a key every item
    // would scan the whole table.
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS ") + table + QStringLiteral("_KEY ON ") +
                 table + QStringLiteral(" (") + QLatin1String(list.columns[0]) +
                 QStringLiteral(", ") + QLatin1String(list.columns[1]) + QLatin1Char(')'));
    exec(db, QStringLiteral("DELETE FROM ") + table);
    exec(db,
         QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns +
             QStringLiteral(") SELECT k, n, trim(substr(substr(lista, 1, ") + limit +
             QStringLiteral("), 4)) FROM (SELECT ") + declaration +
             QStringLiteral(" AS k, NART AS n, group_concat(XMLTEXT(") + element +
             QLatin1Char(')') +
             // One window for both: the rows are sorted once. Every row of an item carries
             // the whole list; the first is kept.
             QStringLiteral(", '') OVER w AS lista, row_number() OVER w AS r FROM ") +
             QLatin1String(list.source) + QStringLiteral(" WHERE ") + declaration +
             QStringLiteral(" = ? WINDOW w AS (") + window +
             QStringLiteral(")) WHERE r = 1 ORDER BY k, n"),
         {iddt});
    savepoint.release();
}

// One row per (declaration, item) of the chosen rows, one column per distinct code holding
// the largest value of that code, codes and values compared without letter case as on the
// server. No code at all: the table stays dropped.
struct PivotTable {
    QString table;       // pivot table
    QString source;      // attached rows
    QString declaration; // their declaration column, the pivot's first column
    QString code;        // code column
    QString value;       // cell expression
};

void rebuildPivot(const QSqlDatabase& db, const PivotTable& pivot, const QString& despacho,
                  const QString& itemCondition, const QVariantList& itemParams) {
    const QString where = QStringLiteral(" FROM ") + pivot.source + QStringLiteral(" WHERE ") +
                          pivot.declaration + QStringLiteral(" = ?") + itemCondition;
    QVariantList whereParams{despacho};
    whereParams += itemParams;

    Savepoint savepoint(db);
    const QStringList codes = readTexts(db,
                                        QStringLiteral("SELECT DISTINCT ") + pivot.code + where +
                                            QStringLiteral(" AND ") + pivot.code +
                                            QStringLiteral(" IS NOT NULL ORDER BY ") + pivot.code,
                                        whereParams);
    exec(db, QStringLiteral("DROP TABLE IF EXISTS ") + pivot.table);
    if (!codes.isEmpty()) {
        QStringList columns{quoted(pivot.declaration) + QStringLiteral(" TEXT COLLATE NOCASE"),
                            QStringLiteral("\"NART\" TEXT COLLATE NOCASE")};
        QStringList cells;
        QVariantList params;
        for (const QString& code : codes) {
            columns << quoted(code) + QStringLiteral(" TEXT");
            cells << QStringLiteral("MAX(CASE WHEN ") + pivot.code + QStringLiteral(" = ? THEN ") +
                         pivot.value + QStringLiteral(" END COLLATE NOCASE)");
            params << code;
        }
        params += whereParams;
        exec(db, QStringLiteral("CREATE TABLE ") + pivot.table + QStringLiteral(" (") +
                     columns.join(QStringLiteral(", ")) + QLatin1Char(')'));
        exec(db,
             QStringLiteral("INSERT INTO ") + pivot.table + QStringLiteral(" SELECT ") +
                 pivot.declaration + QStringLiteral(", NART, ") + cells.join(QStringLiteral(", ")) +
                 where + QStringLiteral(" GROUP BY ") + pivot.declaration +
                 QStringLiteral(", NART ORDER BY ") + pivot.declaration + QStringLiteral(", NART"),
             params);
        // The item sheet joins the pivot to every item: without an index on its key the engine
        // may scan the whole pivot once per item.
        exec(db, QStringLiteral("CREATE INDEX ") + pivot.table + QStringLiteral("_KEY ON ") +
                     pivot.table + QStringLiteral(" (") + quoted(pivot.declaration) +
                     QStringLiteral(", \"NART\")"));
    }
    savepoint.release();
}

// "0000": the declaration's own rows; any other selector: the item rows.
QString itemCondition(const QString& nart) {
    return nart == kHeaderItem ? QStringLiteral(" AND NART = ?") : QStringLiteral(" AND NART <> ?");
}

} // namespace

void setItemVentajas(const QSqlDatabase& db, const QString& iddt) {
    rebuildList(db, itemListProcedures()[0], iddt);
}

void SETITEMINFOAD(const QSqlDatabase& db, const QString& iddt) {
    rebuildList(db, itemListProcedures()[1], iddt);
}

void SETITEMDOCS(const QSqlDatabase& db, const QString& iddt) {
    rebuildList(db, itemListProcedures()[2], iddt);
}

void GETCPLPIVOT(const QSqlDatabase& db, const QString& despacho, const QString& nart) {
    rebuildPivot(db,
                 {QStringLiteral("CPLPIVOT"), QStringLiteral("CPL"), QStringLiteral("ICPL"),
                  QStringLiteral("CCPL"), QStringLiteral("MCPL")},
                 despacho, itemCondition(nart), {kHeaderItem});
}

void GETSRGPIVOT(const QSqlDatabase& db, const QString& despacho) {
    rebuildPivot(db,
                 {QStringLiteral("SRGPIVOT"), QStringLiteral("SRG"), QStringLiteral("ISRG"),
                  QStringLiteral("CSRG"), QStringLiteral("'SI'")},
                 despacho, QString(), {});
}

void GETDVDPIVOT(const QSqlDatabase& db, const QString& despacho, const QString& nart) {
    rebuildPivot(db,
                 {QStringLiteral("DVDPIVOT"), QStringLiteral("DVD"), QStringLiteral("IDVD"),
                  QStringLiteral("CDVDDOC"), QStringLiteral("LDVDREFDOC")},
                 despacho, itemCondition(nart), {kHeaderItem});
}

void sp_delete_ART(const QSqlDatabase& db, const QString& nart, const QString& iddt) {
    struct ItemRows {
        const char* table;
        const char* declaration;
        const char* item;
        bool bareNumber; // the item kept as a number, not as "0001"
    };
    static constexpr ItemRows kTables[] = {
        {"SBT", "IDDT", "NART", false},   {"CPL", "ICPL", "NART", false},
        {"SRG", "ISRG", "NART", false},   {"DVD", "IDVD", "NART", false},
        {"LQA", "ILIQ", "NART", false},   {"CCM", "IDDT", "NART", true},
        {"DCN", "IDCN", "NDCNART", true}, {"DCM", "IDDT", "NART", false},
        {"ART", "IDDT", "NART", false},
    };
    static const QStringList kStatements = [] {
        QStringList statements;
        for (const ItemRows& rows : kTables)
            statements << QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                              .arg(QLatin1String(rows.table), QLatin1String(rows.declaration),
                                   QLatin1String(rows.item));
        return statements;
    }();
    bool numeric = false;
    const int number = nart.toInt(&numeric);

    // Called once per item of a deletion: its statements stay prepared between calls.
    Savepoint savepoint(db);
    for (std::size_t i = 0; i < std::size(kTables); ++i) {
        const QVariant item = kTables[i].bareNumber && numeric ? QVariant(number) : QVariant(nart);
        runPreparedSqlite(db, kStatements.at(qsizetype(i)), {iddt, item});
    }
    savepoint.release();
}

void run(const QSqlDatabase& db, const ProcedureSignature& procedure, const QStringList& args) {
    const QString& name = procedure.name;
    const auto arg = [&](int i) { return args.value(i); };
    if (name == QLatin1String("setItemVentajas"))
        setItemVentajas(db, arg(0));
    else if (name == QLatin1String("SETITEMINFOAD"))
        SETITEMINFOAD(db, arg(0));
    else if (name == QLatin1String("SETITEMDOCS"))
        SETITEMDOCS(db, arg(0));
    else if (name == QLatin1String("GETCPLPIVOT"))
        GETCPLPIVOT(db, arg(0), arg(1));
    else if (name == QLatin1String("GETSRGPIVOT"))
        GETSRGPIVOT(db, arg(0));
    else if (name == QLatin1String("GETDVDPIVOT"))
        GETDVDPIVOT(db, arg(0), arg(1));
    else if (name == QLatin1String("sp_delete_ART"))
        sp_delete_ART(db, arg(0), arg(1));
    else
        throw corvelix::VbError(kErrProvider, QStringLiteral("Corvelix"),
                                QStringLiteral("No se encontró el procedimiento almacenado '") +
                                    name + QStringLiteral("'."));
}

} // namespace sqlite
} // namespace modDA
