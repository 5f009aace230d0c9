#include "support/TestCatalog.h"

#include "data/connection.h"
#include "data/modDA.h"
#include "data/procedures_sqlite.h"
#include "data/schema.h"
#include "support/QueryRows.h"
#include "support/TestSql.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlRecord>

#include <stdexcept>

namespace corvelix::test {

namespace {

QByteArray serverString() {
    return qgetenv("CORVELIX_TEST_SERVER");
}

const QString kServerScript = QStringLiteral(":/sql/catalog_sqlserver.sql");

QString serverScript() {
    QFile file(kServerScript);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the server's catalog script is missing");
    return QString::fromUtf8(file.readAll());
}

// Names the script creates, in creation order, of one kind ("TABLE", "PROCEDURE").
QStringList createdNames(const QString& script, const QString& kind) {
    QStringList names;
    const QRegularExpression created(QStringLiteral("^CREATE ") + kind +
                                         QStringLiteral(" dbo\\.(\\w+)"),
                                     QRegularExpression::MultilineOption);
    for (auto it = created.globalMatch(script); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace

QList<Engine> catalogEngines() {
    QList<Engine> engines{Engine::Sqlite};
    if (!serverString().isEmpty())
        engines << Engine::Server;
    return engines;
}

QString engineName(Engine engine) {
    return engine == Engine::Sqlite ? QStringLiteral("sqlite") : QStringLiteral("server");
}

void addEngineColumn() {
    QTest::addColumn<Engine>("engine");
}

QTestData& engineRow(Engine engine, const QString& name) {
    return QTest::newRow(qPrintable(engineName(engine) + QStringLiteral(": ") + name)) << engine;
}

void addEngineRows() {
    addEngineColumn();
    for (const Engine engine : catalogEngines())
        engineRow(engine, QStringLiteral("catalog"));
}

TestCatalog::TestCatalog(Engine engine, const QString& seedSql) : engine_(engine) {
    if (engine_ == Engine::Sqlite) {
        fixture_ = std::make_unique<CatalogFixture>(seedSql);
        return;
    }
    fixture_ = std::make_unique<CatalogFixture>();
    serverCatalog_ = serverString();
    if (serverCatalog_.isEmpty())
        throw std::runtime_error("CORVELIX_TEST_SERVER is not set");
    modDA::resetConnectionsForTests();
    qputenv("CORVELIX_KITSQL", serverCatalog_);
    if (exists(QStringLiteral("DDT")))
        throw std::runtime_error("the database of CORVELIX_TEST_SERVER already holds a catalog: "
                                 "give it an empty scratch database");
    try {
        createServerSchema();
        seed(modDA::splitSqlScript(seedSql));
    } catch (...) {
        dropServerSchema();
        throw;
    }
}

TestCatalog::~TestCatalog() {
    if (engine_ == Engine::Server) {
        try {
            dropServerSchema();
        } catch (...) {
            qWarning("TestCatalog: the server's test tables could not all be dropped");
        }
    }
}

void TestCatalog::createServerSchema() {
    // Batches end at lines holding only GO, as the server's own tools read them.
    static const QRegularExpression go(QStringLiteral("^GO\\s*$"),
                                       QRegularExpression::MultilineOption);
    for (const QString& batch : serverScript().split(go, Qt::SkipEmptyParts)) {
        if (!batch.trimmed().isEmpty())
            exec(batch);
    }
    // The program installs its procedures on a server catalog that lacks them.
    modDA::updateStore();
}

void TestCatalog::dropServerSchema() {
    const QString script = serverScript();
    QStringList procedures = createdNames(script, QStringLiteral("PROCEDURE"));
    QStringList tables = createdNames(script, QStringLiteral("TABLE"));
    // What the program's procedures make.
    tables << QStringLiteral("item_ventajas") << QStringLiteral("ITEM_INFOAD")
           << QStringLiteral("ITEM_DOCS") << QStringLiteral("CPLPIVOT")
           << QStringLiteral("SRGPIVOT") << QStringLiteral("DVDPIVOT");
    for (const modDA::ProcedureSignature& procedure : modDA::programProcedures())
        procedures << procedure.name;
    for (const QString& name : procedures)
        exec(QStringLiteral("IF OBJECT_ID(N'dbo.%1', N'P') IS NOT NULL DROP PROCEDURE dbo.%1")
                 .arg(name));
    for (const QString& name : tables)
        exec(QStringLiteral("IF OBJECT_ID(N'dbo.%1', N'U') IS NOT NULL DROP TABLE dbo.%1")
                 .arg(name));
}

void TestCatalog::exec(const QString& sql, const QVariantList& params) const {
    (void)modDA::execSQL(modDA::kCatalog, testSql(sql), params);
}

void TestCatalog::seed(const QStringList& statements) const {
    for (const QString& statement : statements)
        exec(statement);
}

QStringList TestCatalog::rows(const QString& sql, const QVariantList& params) const {
    return recordsetRows(modDA::getRs(modDA::kCatalog, testSql(sql), params));
}

QStringList TestCatalog::columns(const QString& table) const {
    // From the catalog's description of the table: a result's column names lose their
    // double quotes on SQLite.
    const QSqlRecord record = modDA::getConnection(modDA::kCatalog).record(table);
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

bool TestCatalog::exists(const QString& name) const {
    return !modDA::getRs(modDA::kCatalog, "SELECT name FROM sysobjects WHERE name = ?", {name})
                .eof();
}

} // namespace corvelix::test
