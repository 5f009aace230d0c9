#include "data/Recordset.h"
#include "data/modDA.h"
#include "data/procedures_sqlite.h"
#include "data/store.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using corvelix::VbError;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

// A server catalog as far as the install loop sees it: the procedures it already has, and a
// log of every statement sent to it.
struct FakeServer {
    QSet<QString> existing; // names as the catalog stores them
    QStringList reads;
    QStringList writes;
    QString failOn; // a script containing this text fails

    modDA::detail::CatalogRead reader() {
        return [this](const modDA::Sql& sql, const QVariantList& params) {
            reads << sql.text() + QStringLiteral(" <- ") + params.value(0).toString();
            QList<QVariantList> rows;
            for (const QString& name : existing) {
                // sysobjects compares names without letter case
                if (name.compare(params.value(0).toString(), Qt::CaseInsensitive) == 0)
                    rows << QVariantList{name};
            }
            return modDA::Recordset({QStringLiteral("name")}, rows);
        };
    }
    modDA::detail::CatalogWrite writer() {
        return [this](const modDA::Sql& statement) {
            const QString& sql = statement.text();
            if (!failOn.isEmpty() && sql.contains(failOn))
                throw VbError(-2147217900, QStringLiteral("QODBC"), QStringLiteral("boom"));
            writes << sql;
            return 0;
        };
    }
};

QString script(const QString& name) {
    return modDA::detail::procedureScript(name).text();
}

QStringList allSix() {
    QStringList names;
    for (const modDA::ProcedureSignature& p : modDA::programProcedures())
        names << p.name;
    return names;
}

} // namespace

class tst_UpdateStore : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    // Each script creates its own procedure with the parameters callers pass, in one batch.
    void scriptsCreateTheirProcedure_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : allSix())
            QTest::newRow(qPrintable(name)) << name;
    }
    void scriptsCreateTheirProcedure() {
        QFETCH(QString, name);
        const QString text = script(name);
        QVERIFY2(text.startsWith(QStringLiteral("CREATE PROCEDURE dbo.") + name + "\n"),
                 qPrintable(text.left(60)));
        const modDA::ProcedureSignature* signature = modDA::findProcedure(name);
        QVERIFY(signature);
        for (const QString& parameter : signature->parameters)
            QVERIFY2(text.contains(parameter + " varchar("), qPrintable(parameter));
        // no batch separator: the whole text is one statement
        QVERIFY(!text.contains(QRegularExpression(QStringLiteral("^\\s*GO\\s*$"),
                                                  QRegularExpression::MultilineOption |
                                                      QRegularExpression::CaseInsensitiveOption)));
        // single-byte text
        QVERIFY(std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 128; }));
    }

    // The lists are joined through XML, which refuses every control character but tab, LF and
    // CR: each list script leaves out exactly those, NUL included, in one REPLACE apiece,
    // under a binary collation (under others the server does not find CHAR(0)).
    void listScriptsLeaveOutWhatXmlRefuses_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"setItemVentajas", "SETITEMINFOAD", "SETITEMDOCS"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void listScriptsLeaveOutWhatXmlRefuses() {
        QFETCH(QString, name);
        const QString text = script(name);
        static const QRegularExpression removal(QStringLiteral("CHAR\\((\\d+)\\), ''\\)"));
        QList<int> removed;
        for (auto it = removal.globalMatch(text); it.hasNext();)
            removed << it.next().captured(1).toInt();
        QList<int> refused;
        for (int c = 0; c < 0x20; ++c) {
            if (c != '\t' && c != '\n' && c != '\r')
                refused << c;
        }
        QCOMPARE(removed, refused);
        QCOMPARE(text.count(QStringLiteral("REPLACE(")), removed.size());
        static const QRegularExpression binary(
            QStringLiteral("REPLACE\\(\\s*\\([^()]*(\\([^()]*\\)[^()]*)*\\) COLLATE "
                           "Latin1_General_BIN,\\s*CHAR\\(0\\)"));
        QVERIFY2(text.contains(binary), qPrintable(text));
    }

    void installsOnlyWhatIsMissing_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("installed");

        QTest::newRow("all present: six reads and nothing else") << allSix() << QStringList{};
        QStringList withoutSrg = allSix();
        withoutSrg.removeAll(QStringLiteral("GETSRGPIVOT"));
        QTest::newRow("only GETSRGPIVOT missing") << withoutSrg << QStringList{"GETSRGPIVOT"};
        QTest::newRow("names stored in another letter case count as present")
            << QStringList{"SETITEMVENTAJAS", "setiteminfoad", "SetItemDocs",
                           "getcplpivot",     "GetSrgPivot",   "getdvdpivot"}
            << QStringList{};
        QTest::newRow("empty catalog: all six in order") << QStringList{} << allSix();
    }
    void installsOnlyWhatIsMissing() {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, installed);

        FakeServer server;
        server.existing = QSet<QString>(existing.cbegin(), existing.cend());
        modDA::detail::installMissingProcedures(server.reader(), server.writer());

        QStringList expectedReads;
        for (const QString& name : allSix())
            expectedReads << QStringLiteral("SELECT name FROM sysobjects WHERE name= ? <- ") + name;
        QCOMPARE(server.reads, expectedReads);
        QStringList expectedWrites;
        for (const QString& name : installed)
            expectedWrites << script(name);
        QCOMPARE(server.writes, expectedWrites);
    }

    // A failing script stops the install: it and the ones after it stay missing.
    void failingScriptStopsTheInstall() {
        FakeServer server;
        server.failOn = QStringLiteral("dbo.SETITEMDOCS");
        try {
            modDA::detail::installMissingProcedures(server.reader(), server.writer());
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description, QStringLiteral("boom"));
        }
        QCOMPARE(server.writes, (QStringList{script("setItemVentajas"), script("SETITEMINFOAD")}));
        QCOMPARE(server.reads.size(), 3);
    }
    // SQLite catalogs have the procedures built in: nothing is installed, nothing fails.
    void sqliteCatalogNeedsNothing() {
        CatalogFixture fixture;
        const auto objects = [] {
            modDA::Recordset rs =
                modDA::getRs(modDA::kCatalog, "SELECT name FROM sqlite_master ORDER BY name");
            QStringList names;
            for (; !rs.eof(); rs.moveNext())
                names << rs.text(QStringLiteral("name"));
            return names;
        };
        const QStringList before = objects();
        modDA::updateStore();
        QCOMPARE(objects(), before);
        modDA::runProcedure(QStringLiteral("GETSRGPIVOT"), {QStringLiteral("26001IC04000001A")});
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }
};

CORVELIX_TEST(tst_UpdateStore)
#include "tst_UpdateStore.moc"
