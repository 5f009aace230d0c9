#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

namespace {

QString resource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// One catalog script read back: per table its columns in order ("NAME kind"), and its
// indexes ("NAME ON TABLE (COLUMNS)"). `kinds` maps the script's types to common words.
struct Schema {
    QMap<QString, QStringList> tables;
    QStringList indexes;
    // Index name -> its table and its key columns (INCLUDE left out).
    QMap<QString, QPair<QString, QStringList>> indexKeys;
};

// Bytes a server column of the script's type takes in an index key; -1 when it cannot be one.
int keyBytes(const QString& script, const QString& table, const QString& column) {
    const QRegularExpression definition(
        QStringLiteral("CREATE TABLE dbo\\.%1 \\((?:.*?\\n)*?\\s+%2\\s+(\\w+)(?:\\((\\w+)\\))?")
            .arg(table, column));
    const auto match = definition.match(script);
    if (!match.hasMatch())
        return -1;
    const QString type = match.captured(1);
    if (type == QLatin1String("varchar"))
        return match.captured(2) == QLatin1String("max") ? -1 : match.captured(2).toInt();
    if (type == QLatin1String("int"))
        return 4;
    if (type == QLatin1String("float") || type == QLatin1String("datetime"))
        return 8;
    return -1;
}

Schema readSchema(const QString& script, const QList<QPair<QString, QString>>& kinds) {
    Schema schema;
    static const QRegularExpression table(
        QStringLiteral("^CREATE TABLE (?:dbo\\.)?(\\w+) \\((.*?)\\n\\);"),
        QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(QStringLiteral("^\\s+(\\w+)\\s+(.*?),?$"));
    for (auto it = table.globalMatch(script); it.hasNext();) {
        const auto match = it.next();
        QStringList columns;
        for (const QString& line : match.captured(2).split(QLatin1Char('\n'))) {
            const auto c = column.match(line);
            if (!c.hasMatch() || c.captured(1) == QLatin1String("PRIMARY"))
                continue;
            QString kind = QStringLiteral("?");
            for (const auto& [type, word] : kinds) {
                if (c.captured(2).startsWith(type)) {
                    kind = word;
                    break;
                }
            }
            const bool key = c.captured(2).contains(QLatin1String("PRIMARY KEY"));
            const bool required = c.captured(2).contains(QLatin1String("NOT NULL"));
            columns << c.captured(1) + QLatin1Char(' ') + kind +
                           (required ? QStringLiteral(" not null") : QString()) +
                           (key ? QStringLiteral(" key") : QString());
        }
        schema.tables.insert(match.captured(1), columns);
    }
    // Columns a server index carries outside its key (INCLUDE) count with its columns.
    static const QRegularExpression index(
        QStringLiteral(
            "^CREATE INDEX (\\w+) ON (?:dbo\\.)?(\\w+) \\((.*?)\\)(?: INCLUDE \\((.*?)\\))?;"),
        QRegularExpression::MultilineOption);
    for (auto it = index.globalMatch(script); it.hasNext();) {
        const auto match = it.next();
        QStringList columns = match.captured(3).split(QStringLiteral(", "));
        if (!match.captured(4).isEmpty())
            columns += match.captured(4).split(QStringLiteral(", "));
        columns.sort();
        schema.indexes << match.captured(1) + QStringLiteral(" ON ") + match.captured(2) +
                              QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                              QLatin1Char(')');
        schema.indexKeys.insert(match.captured(1),
                                {match.captured(2), match.captured(3).split(QStringLiteral(", "))});
    }
    return schema;
}

} // namespace

// The server's version of the catalog (for the tests that run against a server) holds the
// same tables, columns and indexes as the SQLite one, in the matching types.
class tst_ServerSchema : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { corvelix::test::ScriptedUi::current().reset(); }
private slots:

    void sameTablesColumnsAndIndexes() {
        const QString sqliteScript = resource(QStringLiteral(":/sql/catalog_sqlite.sql"));
        const QString serverScript = resource(QStringLiteral(":/sql/catalog_sqlserver.sql"));
        QVERIFY(!sqliteScript.isEmpty());
        QVERIFY(!serverScript.isEmpty());
        const Schema sqlite = readSchema(sqliteScript, {{"TEXT COLLATE NOCASE", "text"},
                                                        {"TEXT", "date"},
                                                        {"REAL", "number"},
                                                        {"INTEGER", "whole"}});
        const Schema server = readSchema(
            serverScript,
            {{"varchar", "text"}, {"datetime", "date"}, {"float", "number"}, {"int", "whole"}});
        // Read to its end: the first table and the last.
        QVERIFY(sqlite.tables.contains(QStringLiteral("DDT")));
        QVERIFY(sqlite.tables.contains(QStringLiteral("JRD")));
        QCOMPARE(server.tables.keys(), sqlite.tables.keys());
        for (auto it = sqlite.tables.cbegin(); it != sqlite.tables.cend(); ++it)
            QCOMPARE(server.tables.value(it.key()), it.value());
        QCOMPARE(server.indexes, sqlite.indexes);
        // Each batch of the server script is sent alone; the item deletion is one of them.
        QVERIFY(serverScript.contains(QStringLiteral("\nGO\nCREATE PROCEDURE dbo.sp_delete_ART")));
    }

    // A server refuses a row whose nonclustered index key passes 1,700 bytes: no key of the
    // server's catalog can reach that.
    void serverIndexKeysFit() {
        const QString serverScript = resource(QStringLiteral(":/sql/catalog_sqlserver.sql"));
        const Schema server = readSchema(serverScript, {});
        QVERIFY(server.indexKeys.contains(QStringLiteral("DVD_REF")));
        for (auto it = server.indexKeys.cbegin(); it != server.indexKeys.cend(); ++it) {
            int bytes = 0;
            for (const QString& column : it.value().second) {
                const int b = keyBytes(serverScript, it.value().first, column);
                QVERIFY2(b > 0, qPrintable(it.key() + QLatin1Char(' ') + column));
                bytes += b;
            }
            QVERIFY2(bytes <= 1700, qPrintable(it.key() + QStringLiteral(": %1 bytes").arg(bytes)));
        }
    }
};

CORVELIX_TEST(tst_ServerSchema)
#include "tst_ServerSchema.moc"
