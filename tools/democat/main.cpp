// democat: builds a demo declaration catalog (SQLite file) to run the program on.
//
//   democat <file> [--force] [--large N] [--declarations N]
//
// The catalog is built in a temporary file beside <file> and renamed over it at the end, so an
// existing catalog is replaced whole or not at all.

#include "data/demo_catalog.h"
#include "runtime/VbError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextStream>

#include <filesystem>
#include <system_error>

namespace {

int usage(QTextStream& err) {
    err << "uso: democat <archivo> [--force] [--large N] [--declarations N]\n"
        << "  crea un catalogo de demostracion; --force reemplaza un archivo existente;\n"
        << "  --large N agrega una declaracion de N items con 4 subitems cada uno;\n"
        << "  --declarations N agrega N declaraciones sinteticas (solo cabecera)\n";
    return 2;
}

qlonglong count(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + table) && q.next())
        return q.value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString path;
    bool force = false;
    int large = 0;
    int declarations = 0;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--large")) {
            bool ok = false;
            large = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
            if (!ok || large <= 0)
                return usage(err);
            ++i;
        } else if (a == QLatin1String("--declarations")) {
            bool ok = false;
            declarations = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
            if (!ok || declarations <= 0)
                return usage(err);
            ++i;
        } else if (a.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            return usage(err);
        } else {
            path = a;
        }
    }
    if (path.isEmpty())
        return usage(err);

    if (QFile::exists(path) && !force) {
        err << "democat: " << path << " ya existe (use --force para reemplazarlo)\n";
        return 1;
    }
    // Built beside the target, so the final rename stays on one file system.
    const QString building = [&] {
        QTemporaryFile name(path + QStringLiteral(".XXXXXX"));
        name.setAutoRemove(false);
        if (!name.open())
            return QString();
        const QString taken = name.fileName();
        name.close();
        QFile::remove(taken);
        return taken;
    }();
    if (building.isEmpty()) {
        err << "democat: no se puede crear un archivo junto a " << path << "\n";
        return 1;
    }
    const auto removeFiles = [](const QString& file) {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(file + suffix);
    };

    QElapsedTimer timer;
    timer.start();
    int status = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("democat"));
        db.setDatabaseName(building);
        if (!db.open()) {
            err << "democat: " << db.lastError().text() << "\n";
            status = 1;
        } else {
            try {
                QSqlQuery pragma(db);
                pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
                pragma.finish();
                modDA::buildDemoCatalog(db, large);
                modDA::addDemoDeclarations(db, declarations);
                out << "Catalogo creado: " << path << "\n";
                for (const char* table : {"DDT", "ART", "SBT", "CPL", "SRG", "DVD", "CCM", "DCN",
                                          "LQA", "LIT", "BUL", "TPR", "CIB", "DIB", "DCM"})
                    out << "  " << table << ": " << count(db, QString::fromLatin1(table))
                        << " filas\n";
                if (declarations > 0)
                    out << "Declaraciones sinteticas: " << declarations << "\n";
                if (large > 0)
                    out << "Declaracion grande " << modDA::kLargeDeclaration << ": " << large
                        << " items, " << large * modDA::kLargeSubitems << " subitems\n";
                out << "Tiempo: " << timer.elapsed() << " ms\n";
            } catch (const corvelix::VbError& e) {
                err << "democat: " << e.description << "\n";
                status = 1;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("democat"));
    if (status != 0) {
        // A half-built catalog is worse than none; the old one stays as it was.
        removeFiles(building);
        return status;
    }
    // Closed, the new file is whole without its -wal. The old file's -wal and -shm go first:
    // left beside the new file they would be read as part of it.
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    std::error_code error;
    std::filesystem::rename(building.toStdString(), path.toStdString(), error);
    if (error) {
        err << "democat: no se puede reemplazar " << path << ": "
            << QString::fromLocal8Bit(error.message().c_str()) << "\n";
        removeFiles(building);
        return 1;
    }
    return 0;
}
