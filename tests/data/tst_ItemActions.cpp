#include "data/declaration_reads.h"
#include "data/item_actions.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;

namespace {

const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT) VALUES ('77001IC04000001A');
INSERT INTO ART (IDDT, NART, IESPNCE) VALUES ('77001IC04000001A', '0001', '1111.11.11.111A');
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL) VALUES
 ('77001IC04000001A', '0001', '0000', 'AA(50%OFF)-'),
 ('77001IC04000001A', '0001', '0001', 'AA(50XOFF)-'),
 ('77001IC04000001A', '0001', '0002', 'AA(O''BRIEN)-'),
 ('77001IC04000001A', '0001', '0003', 'AA(C:\DIR)-'),
 ('77001IC04000001A', '0001', '0004', 'AA(C:XDIR)-'),
 ('77001IC04000001A', '0001', '0005', 'AA([AB])-'),
 ('77001IC04000001A', '0001', '0006', 'AA(B)-');
)sql");

} // namespace

// The article search text is looked for as typed; the new statements as the server gets them.
class tst_ItemActions : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void searchIsLiteral_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("subitems");
        QTest::newRow("percent") << "0%O" << QStringList{"0000"};
        QTest::newRow("quote") << "O'B" << QStringList{"0002"};
        QTest::newRow("backslash") << ":\\D" << QStringList{"0003"};
        QTest::newRow("bracket") << "[AB]" << QStringList{"0005"};
        QTest::newRow("letter case") << "o'b" << QStringList{"0002"};
    }
    void searchIsLiteral() {
        QFETCH(QString, texto);
        QFETCH(QStringList, subitems);
        CatalogFixture catalog(kSeed);
        modDA::Recordset rs =
            modDA::getArticulosByDespacho(QStringLiteral("77001IC04000001A"), texto);
        QStringList found;
        for (; !rs.eof(); rs.moveNext())
            found << rs.text(QStringLiteral("ISBT"));
        QCOMPARE(found, subitems);
    }

    void serverTexts() {
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        (void)modDA::reemplazarNCM(QStringLiteral("X"), QStringLiteral("A"), QStringLiteral("B"));
        (void)modDA::getNCMDespacho(QStringLiteral("X"));
        (void)modDA::getArticulosByDespacho(QStringLiteral("X"), QStringLiteral("5%"));
        const QStringList texts = capture.texts();
        QCOMPARE(texts.value(0), QStringLiteral("update ART set IESPNCE = ?, CARTETA = 'I', "
                                                "CARTSTUDEV = 'I' where IDDT = ? and IESPNCE = "
                                                "CAST(? AS nvarchar(max))"));
        QCOMPARE(
            texts.value(1),
            QStringLiteral("select DISTINCT IESPNCE from ART WHERE IDDT = ? order by IESPNCE"));
        QVERIFY(texts.value(2).endsWith(QStringLiteral(" and CSBTSVL like ? ESCAPE '\\'")));
        QCOMPARE(capture.statements().value(2).params.value(1).toString(),
                 QStringLiteral("%5\\%%"));
    }
};

CORVELIX_TEST(tst_ItemActions)
#include "tst_ItemActions.moc"
