#include "data/schema.h"
#include "runtime/VbError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using corvelix::VbError;
using corvelix::test::ScriptedUi;

namespace {

// An in-memory SQLite database that lives as long as the object.
class MemoryDb {
public:
    explicit MemoryDb(const QString& name) : name_(name) {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
    }
    ~MemoryDb() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_); }

private:
    QString name_;
};

QVariantList column(QSqlDatabase db, const QString& sql, const QVariantList& params = {}) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (const auto& p : params)
        q.addBindValue(p);
    if (!q.exec())
        qWarning() << q.lastError().text();
    QVariantList out;
    while (q.next())
        out << q.value(0);
    return out;
}

bool exec(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    return q.exec(sql);
}

// Declared type of a column, empty when the column does not exist.
QString declaredType(QSqlDatabase db, const QString& table, const QString& col) {
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (q.next()) {
        if (q.value(1).toString().compare(col, Qt::CaseInsensitive) == 0)
            return q.value(2).toString().toUpper();
    }
    return {};
}

} // namespace

class tst_Schema : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void splitsScripts_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("comments dropped")
            << "-- header\nCREATE TABLE a (x); -- trailing\n\n-- only comment\n"
            << QStringList{"CREATE TABLE a (x)"};
        QTest::newRow("statement over several lines")
            << "CREATE TABLE a (\n  x TEXT,\n  y REAL\n);\nCREATE INDEX i ON a (x);"
            << QStringList{"CREATE TABLE a (\n  x TEXT,\n  y REAL\n)", "CREATE INDEX i ON a (x)"};
        QTest::newRow("semicolon inside quotes")
            << "INSERT INTO a VALUES ('x;\n-- not a comment;\n');\nINSERT INTO a VALUES ('y');"
            << QStringList{"INSERT INTO a VALUES ('x;\n-- not a comment;\n')",
                           "INSERT INTO a VALUES ('y')"};
        QTest::newRow("doubled quote and dashes in text")
            << "INSERT INTO a VALUES ('O''Brien -- x;');\r\nINSERT INTO a VALUES (1);\r\n"
            << QStringList{"INSERT INTO a VALUES ('O''Brien -- x;')", "INSERT INTO a VALUES (1)"};
        QTest::newRow("last statement without semicolon")
            << "CREATE TABLE a (x);\nCREATE TABLE b (y)"
            << QStringList{"CREATE TABLE a (x)", "CREATE TABLE b (y)"};
    }
    void splitsScripts() {
        QFETCH(QString, script);
        QFETCH(QStringList, statements);
        QCOMPARE(modDA::splitSqlScript(script), statements);
    }

    void failingScriptAppliesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.sql"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("CREATE TABLE uno (x TEXT);\nINSERT INTO uno VALUES ('a');\n"
                "INSERT INTO nada VALUES (1);\n");
        f.close();

        MemoryDb mem(QStringLiteral("schema_bad"));
        auto db = mem.db();
        try {
            modDA::runSqlScript(db, path);
            QFAIL("no error");
        } catch (const VbError& e) {
            QVERIFY2(e.description.contains(QStringLiteral("nada")), qPrintable(e.description));
        }
        QVERIFY(!db.tables().contains(QStringLiteral("uno")));
        // The connection is usable afterwards, with no transaction left open.
        QVERIFY(db.transaction());
        QVERIFY(db.commit());
    }

    void missingScriptFails() {
        MemoryDb mem(QStringLiteral("schema_missing"));
        auto db = mem.db();
        QVERIFY_THROWS_EXCEPTION(VbError,
                                 modDA::runSqlScript(db, QStringLiteral(":/sql/none.sql")));
    }

    void catalogHasEveryTable() {
        MemoryDb mem(QStringLiteral("schema_tables"));
        auto db = mem.db();
        modDA::createCatalogSchema(db);
        const QStringList tables{"DDT", "ART", "SBT", "CPL", "SRG", "DVD", "CCM", "DCN",
                                 "LQA", "LIT", "DCM", "BUL", "TPR", "CIB", "DIB", "VEN",
                                 "lst", "ZCP", "DOC", "EST", "PAY", "PRV", "STA", "INC",
                                 "UMM", "TAX", "PTR", "NEB", "JRD"};
        for (const QString& t : tables) {
            // The object lookup the program makes, in another letter case.
            const auto found = column(
                db, QStringLiteral("SELECT type FROM sysobjects WHERE name= ?"), {t.toLower()});
            QVERIFY2(found == QVariantList{QStringLiteral("U")}, qPrintable(t));
        }
        QVERIFY(column(db, QStringLiteral("SELECT name FROM sysobjects WHERE name= ?"),
                       {QStringLiteral("CPLPIVOT")})
                    .isEmpty());
        QCOMPARE(column(db, QStringLiteral("SELECT type FROM sysobjects WHERE name= ?"),
                        {QStringLiteral("SYSOBJECTS")}),
                 QVariantList{QStringLiteral("V")});
    }

    void columnsTheStatementsUse_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("col");
        QTest::addColumn<QString>("type");
        const struct {
            const char *table, *col, *type;
        } rows[] = {
            {"DDT", "IDDT", "TEXT"},          {"DDT", "IEXT", "TEXT"},
            {"DDT", "MDDTFOB", "REAL"},       {"DDT", "CDDTSTUBUL", "TEXT"},
            {"DDT", "DDDTOFICIA", "TEXT"},    {"DDT", "NDDTIMMIOE", "TEXT"},
            {"DDT", "CDDTPAIDST", "TEXT"},    {"DDT", "QDDTBULTOS", "REAL"},
            {"DDT", "ROTDDT", "TEXT"},        {"DDT", "CDDTETAAUX", "TEXT"},
            {"DDT", "IBNF", "TEXT"},          {"ART", "NART", "TEXT"},
            {"ART", "Lista", "TEXT"},         {"ART", "QARTKGRNET", "REAL"},
            {"ART", "MARTUNITAR", "REAL"},    {"ART", "MARTFOBDOL", "REAL"},
            {"ART", "CARTUNDE", "TEXT"},      {"ART", "QARTDE", "REAL"},
            {"ART", "NARTAPU", "TEXT"},       {"ART", "CARTCRC", "TEXT"},
            {"ART", "DARTIMPONI", "TEXT"},    {"SBT", "ISBT", "TEXT"},
            {"SBT", "CSBTSVL", "TEXT"},       {"SBT", "MSBTFOBDOL", "REAL"},
            {"SBT", "IEXT", "TEXT"},          {"CPL", "MCPL", "TEXT"},
            {"CPL", "ICPLDIF", "TEXT"},       {"SRG", "CSRG", "TEXT"},
            {"DVD", "CDVDPRSDOC", "TEXT"},    {"DVD", "LDVDREFDOC", "TEXT"},
            {"CCM", "NART", "INTEGER"},       {"CCM", "DESARROLLO", "INTEGER"},
            {"CCM", "MCCM", "TEXT"},          {"CCM", "CCCMNART", "TEXT"},
            {"DCN", "NDCNART", "INTEGER"},    {"DCN", "NDCNARTAPU", "INTEGER"},
            {"DCN", "NDCNSBTAPU", "INTEGER"}, {"DCN", "NDCNORDEN", "INTEGER"},
            {"DCN", "NDCNVER", "INTEGER"},    {"DCN", "CDCNRESOL", "TEXT"},
            {"DCN", "QDCNAPU", "REAL"},       {"DCN", "QETI", "REAL"},
            {"DCN", "DDCNETA", "TEXT"},       {"LQA", "CLQA_", "TEXT"},
            {"LQA", "QLQACOEFIC", "REAL"},    {"LQA", "MLQABOC", "REAL"},
            {"LIT", "MLIT", "REAL"},          {"DCM", "CIDCM", "TEXT"},
            {"DCM", "QDCMUNTEST", "REAL"},    {"BUL", "QBULUMMBRT", "REAL"},
            {"TPR", "MTPRCOTIZ", "REAL"},     {"CIB", "CCIBINSCON", "TEXT"},
            {"DIB", "QDIBCOEFIC", "REAL"},    {"ZCP", "IZCPIG", "TEXT"},
            {"PTR", "CTPT", "TEXT"},          {"NEB", "TNEBNATEMB", "TEXT"},
            {"JRD", "QJRDALILOC", "REAL"},    {"JRD", "CJRDTAX", "TEXT"},
            {"UMM", "DUMMEFF", "TEXT"},       {"STA", "DSTAFIN", "TEXT"},
            {"lst", "DESCLISTA", "TEXT"},     {"EST", "LDESCRI", "TEXT"},
        };
        for (const auto& r : rows)
            QTest::addRow("%s.%s", r.table, r.col) << r.table << r.col << r.type;
    }
    void columnsTheStatementsUse() {
        QFETCH(QString, table);
        QFETCH(QString, col);
        QFETCH(QString, type);
        MemoryDb mem(QStringLiteral("schema_columns"));
        auto db = mem.db();
        modDA::createCatalogSchema(db);
        QCOMPARE(declaredType(db, table, col), type);
    }

    void textComparesWithoutLetterCase() {
        MemoryDb mem(QStringLiteral("schema_nocase"));
        auto db = mem.db();
        modDA::createCatalogSchema(db);
        QVERIFY(exec(db, "INSERT INTO DDT (IDDT, IEXT) VALUES ('26001IC04000123A', 'Ref-abc')"));
        QVERIFY(exec(db, "INSERT INTO CPL (ICPL, NART, CCPL, MCPL) "
                         "VALUES ('26001IC04000123A', '0001', 'Marca', 'Acme')"));
        QCOMPARE(column(db, "SELECT IDDT FROM DDT WHERE IDDT = ?", {"26001ic04000123a"}).size(), 1);
        QCOMPARE(column(db, "SELECT IDDT FROM DDT WHERE IEXT = ?", {"REF-ABC"}).size(), 1);
        QCOMPARE(column(db, "SELECT MCPL FROM CPL WHERE CCPL = ? AND MCPL = ?", {"MARCA", "ACME"})
                     .size(),
                 1);
        // Item numbers stay texts: '0001' is not the number 1.
        QVERIFY(exec(db, "INSERT INTO ART (IDDT, NART) VALUES ('X', '0001')"));
        QCOMPARE(column(db, "SELECT NART FROM ART WHERE IDDT = 'X'"), QVariantList{"0001"});
    }

    void keysRejectOnlyRealDuplicates_data() {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<bool>("repeatAccepted");
        QTest::newRow("header") << "INSERT INTO DDT (IDDT) VALUES ('A')" << false;
        QTest::newRow("item") << "INSERT INTO ART (IDDT, NART) VALUES ('A', '0001')" << false;
        QTest::newRow("subitem")
            << "INSERT INTO SBT (IDDT, NART, ISBT) VALUES ('A', '0001', '0000')" << false;
        QTest::newRow("invoice") << "INSERT INTO DVD (IDVD, NART, CDVDDOC, LDVDREFDOC) "
                                    "VALUES ('A', '0000', 'FACTURACOMERCIAL', '00001-00012345')"
                                 << true;
        QTest::newRow("liquidation line")
            << "INSERT INTO LQA (ILIQ, NART, CLQATAX, MLQA) VALUES ('A', '0001', '010', 5)" << true;
    }
    void keysRejectOnlyRealDuplicates() {
        QFETCH(QString, insert);
        QFETCH(bool, repeatAccepted);
        MemoryDb mem(QStringLiteral("schema_keys"));
        auto db = mem.db();
        modDA::createCatalogSchema(db);
        QVERIFY(exec(db, insert));
        QCOMPARE(exec(db, insert), repeatAccepted);
    }

    void localFileTables() {
        MemoryDb mem(QStringLiteral("schema_local"));
        auto db = mem.db();
        modDA::createLocalSchema(db);
        // The sheet load's full insert and the fill-up's short one.
        QVERIFY(exec(db, "insert into SIMIGlobalItem (NumeroOperacion, Item, Subitem, Cantidad, "
                         "Fob, Lista, CCTexto, Certificado_Origen, KGNeto, Procesado, "
                         "DeclaradaUnidad, DeclaradaCantidad, EstadisticaUnidad, "
                         "EstadisticaCantidad, PaisOrigen) values ('26001SIMI000001X', 0003, 0, "
                         "12.5, 100.00, 'L1', 'CC', 'CO-1', -01.00, 0, '07', 12.5, '07', 12.5, "
                         "'221')"));
        QVERIFY(exec(db, "insert into SIMIGlobalItem (NumeroOperacion, Item, Subitem, Cantidad, "
                         "Fob) values ('26001SIMI000001X',7,'0',0,0)"));
        QCOMPARE(column(db, "select item from SIMIGlobalItem where NumeroOperacion = "
                            "'26001simi000001x' order by item desc"),
                 (QVariantList{7, 3}));
        QVERIFY(exec(db, "update SIMIGlobalItem set procesado = 1 where Cantidad = 0 and Fob = 0"));
        QCOMPARE(column(db, "select count(*) from SIMIGlobalItem where procesado = 0"),
                 QVariantList{1});
        QVERIFY(exec(db, "INSERT INTO INFOADICIONAL (ID, VALOR) VALUES ('P1', 'NO')"));
        QCOMPARE(column(db, "SELECT VALOR FROM INFOADICIONAL where id like '%p%'"),
                 QVariantList{"NO"});
    }
};

CORVELIX_TEST(tst_Schema)
#include "tst_Schema.moc"
