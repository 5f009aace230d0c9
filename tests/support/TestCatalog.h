#pragma once

#include "support/CatalogFixture.h"

#include <QStringList>
#include <QTest>
#include <QVariantList>

#include <memory>

namespace corvelix::test {

// The engines a catalog test runs on: a temporary SQLite catalog always, and a SQL Server
// catalog as well when CORVELIX_TEST_SERVER holds an ODBC connection string to an empty
// scratch database.
enum class Engine { Sqlite, Server };
QList<Engine> catalogEngines();
QString engineName(Engine engine);

// In a _data function: the "engine" column, then one row per engine named "<engine>: name".
void addEngineColumn();
QTestData& engineRow(Engine engine, const QString& name);
// The whole table of a test that needs nothing but the engine: one row per engine.
void addEngineRows();

// A catalog of one test on one engine, with the schema and `seedSql` (statements separated
// as splitSqlScript does, in SQL both engines accept), reached through the data layer
// (CORVELIX_KITSQL points to it). Settings, the data folder and the clock are those of a
// CatalogFixture. On the server the test's tables and the program's procedures are created
// from resources/sql/catalog_sqlserver.sql and dropped again when it goes away; a database
// that already holds a catalog is refused.
class TestCatalog {
public:
    explicit TestCatalog(Engine engine = Engine::Sqlite, const QString& seedSql = {});
    ~TestCatalog();
    TestCatalog(const TestCatalog&) = delete;
    TestCatalog& operator=(const TestCatalog&) = delete;

    [[nodiscard]] Engine engine() const { return engine_; }
    [[nodiscard]] const CatalogFixture& fixture() const { return *fixture_; }

    // Runs statements through execSQL; a failure raises the data layer's VbError.
    void exec(const QString& sql, const QVariantList& params = {}) const;
    void seed(const QStringList& statements) const;
    // Every row of a query (see recordsetRows).
    [[nodiscard]] QStringList rows(const QString& sql, const QVariantList& params = {}) const;
    // Column names of a table, in order.
    [[nodiscard]] QStringList columns(const QString& table) const;
    // Whether sysobjects lists a table or view of that name.
    [[nodiscard]] bool exists(const QString& name) const;

private:
    void createServerSchema();
    void dropServerSchema();

    Engine engine_;
    std::unique_ptr<CatalogFixture> fixture_;
    QByteArray serverCatalog_;
};

} // namespace corvelix::test

Q_DECLARE_METATYPE(corvelix::test::Engine)
