#include "support/CatalogFixture.h"

#include "data/demo_catalog.h"
#include "data/modDA.h"
#include "data/schema.h"
#include "data/sqlite_functions.h"
#include "support/test_main.h"

#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>

#include <stdexcept>

namespace corvelix::test {

namespace {

void buildCatalog(const QString& path, const QString& seedSql) {
    const QString name = QStringLiteral("corvelix_fixture_build");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        modDA::registerSqliteFunctions(db);
        modDA::createCatalogSchema(db);
        for (const QString& statement : modDA::splitSqlScript(seedSql)) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                throw std::runtime_error(
                    (query.lastError().text() + QStringLiteral(" in: ") + statement).toStdString());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

void CatalogFixture::loadDemoSeed() const {
    const QString name = QStringLiteral("corvelix_fixture_demo");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(catalogPath());
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        modDA::runSqlScript(db, QStringLiteral(":/demo/seed.sql"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QDateTime CatalogFixture::pinnedNow() {
    return {QDate(2026, 12, 10), QTime(10, 0, 0)};
}

CatalogFixture::CatalogFixture(const QString& seedSql)
    : savedHome_(qgetenv("CORVELIX_HOME")), savedCatalog_(qgetenv("CORVELIX_KITSQL")) {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    modDA::resetConnectionsForTests();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       dir_.filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       dir_.filePath(QStringLiteral("system")));
    qputenv("CORVELIX_HOME", dir_.filePath(QStringLiteral("home")).toUtf8());
    modDA::setClock([] { return pinnedNow(); });
    buildCatalog(catalogPath(), seedSql);
    qputenv("CORVELIX_KITSQL", catalogPath().toUtf8());
}

CatalogFixture::~CatalogFixture() {
    modDA::resetConnectionsForTests();
    modDA::setClock({});
    useSandboxSettings();
    const auto restore = [](const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    restore("CORVELIX_HOME", savedHome_);
    restore("CORVELIX_KITSQL", savedCatalog_);
}

} // namespace corvelix::test
