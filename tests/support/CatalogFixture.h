#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

namespace corvelix::test {

// A fresh world for one catalog test: a temporary folder that holds the settings stores (user
// and machine-wide), the program's data folder (CORVELIX_HOME) and a SQLite catalog built from
// the schema plus `seedSql` (CORVELIX_KITSQL points to it). GETDATE() answers pinnedNow().
// Cached connections are dropped when it is built and when it goes away; the settings stores
// then point back into the test process's sandbox.
class CatalogFixture {
public:
    explicit CatalogFixture(const QString& seedSql = {});
    ~CatalogFixture();
    CatalogFixture(const CatalogFixture&) = delete;
    CatalogFixture& operator=(const CatalogFixture&) = delete;

    // Adds the demo catalog's seed (code tables and sample declarations) to the catalog.
    void loadDemoSeed() const;

    // 2026-12-10 10:00:00
    static QDateTime pinnedNow();

    [[nodiscard]] QString folder() const { return dir_.path(); }
    [[nodiscard]] QString catalogPath() const { return dir_.filePath(QStringLiteral("kitsql.db")); }

private:
    QTemporaryDir dir_;
    QByteArray savedHome_;
    QByteArray savedCatalog_;
};

} // namespace corvelix::test
