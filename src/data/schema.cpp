#include "data/schema.h"

#include "runtime/VbError.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace modDA {

namespace {

const QString kSource = QStringLiteral("Corvelix");

[[noreturn]] void fail(const QSqlError& error) {
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    throw corvelix::VbError(numeric ? code : corvelix::kErrInternal, kSource,
                            error.text().trimmed());
}

} // namespace

QStringList splitSqlScript(const QString& script) {
    QStringList statements;
    QString current;
    QChar quote; // the quote character we are inside, or null
    const auto lines = script.split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.endsWith(QLatin1Char('\r')) ? rawLine.chopped(1) : rawLine;
        QString kept;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar(); // a doubled quote reopens on the next character
                kept += c;
                continue;
            }
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                quote = c;
            } else if (c == QLatin1Char('-') && i + 1 < line.size() &&
                       line.at(i + 1) == QLatin1Char('-')) {
                break; // comment to the end of the line
            }
            kept += c;
        }
        if (!current.isEmpty())
            current += QLatin1Char('\n');
        current += kept;
        const QString trimmed = kept.trimmed();
        if (quote.isNull() && trimmed.endsWith(QLatin1Char(';'))) {
            QString statement = current.trimmed();
            statement.chop(1);
            statement = statement.trimmed();
            if (!statement.isEmpty())
                statements << statement;
            current.clear();
        }
    }
    const QString rest = current.trimmed();
    if (!rest.isEmpty())
        statements << rest;
    return statements;
}

void runSqlScript(QSqlDatabase& db, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw corvelix::VbError(corvelix::kErrInternal, kSource,
                                QStringLiteral("No se puede leer ") + path);
    const QStringList statements = splitSqlScript(QString::fromUtf8(file.readAll()));

    if (!db.transaction())
        fail(db.lastError());
    QSqlQuery query(db);
    for (const QString& statement : statements) {
        if (!query.exec(statement)) {
            const QSqlError error = query.lastError();
            query.finish();
            db.rollback();
            fail(error);
        }
    }
    query.finish();
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        fail(error);
    }
}

void createCatalogSchema(QSqlDatabase& db) {
    runSqlScript(db, QStringLiteral(":/sql/catalog_sqlite.sql"));
}

void createLocalSchema(QSqlDatabase& db) {
    runSqlScript(db, QStringLiteral(":/sql/local_sqlite.sql"));
}

} // namespace modDA
