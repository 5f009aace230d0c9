#include "ListTabsHost.h"

#include "data/modDA.h"
#include "item_editor/frmFOB2InfoAd.h"
#include "item_editor/frmSufijos2InfoAd.h"
#include "runtime/Ui.h"
#include "support/CatalogSnapshot.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using corvelix::MsgResult;
using corvelix::VbError;
using corvelix::test::answerItemPicker;
using corvelix::test::boxes;
using corvelix::test::CatalogFixture;
using corvelix::test::catalogRows;
using corvelix::test::catalogSnapshot;
using corvelix::test::kListTabsDespacho;
using corvelix::test::kListTabsSeed;
using corvelix::test::LoopbackHttpServer;
using corvelix::test::ScriptedUi;

namespace {

const QString D = kListTabsDespacho;

QStringList cpl(const QString& codigo) {
    return catalogRows(QStringLiteral("SELECT NART, MCPL, ICPLDIF FROM CPL WHERE ICPL = ? AND "
                                      "CCPL = ? ORDER BY NART"),
                       {D, codigo});
}

QStringList marcas() {
    return catalogRows(QStringLiteral("SELECT NART, CARTETA FROM ART WHERE IDDT = ? ORDER BY NART"),
                       {D});
}

} // namespace

class tst_TransferenciasInfoAd : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(kListTabsSeed); }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    // The rate is read under the user's locale; what is not a positive number writes nothing.
    void fobRate_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("result"); // the box, or item 0002's value
        const QString noNumber =
            QStringLiteral("48|Debe ingresar un valor numerico en Tipo de Cambio.");
        const QString notPositive =
            QStringLiteral("48|El Tipo de Cambio debe ser un numero mayor a 0.");
        QTest::newRow("es_AR abc") << "es_AR"
                                   << "abc" << noNumber;
        QTest::newRow("es_AR -1") << "es_AR"
                                  << "-1" << notPositive;
        QTest::newRow("es_AR 0") << "es_AR"
                                 << "0" << notPositive;
        QTest::newRow("es_AR 1.234,5") << "es_AR"
                                       << "1.234,5"
                                       << "0002|12345,00|D";
        QTest::newRow("es_AR 1,234.5") << "es_AR"
                                       << "1,234.5" << noNumber;
        // The keyboard's point under a comma locale is no group mark: not 105, not 8725.
        QTest::newRow("es_AR 1.05") << "es_AR"
                                    << "1.05" << noNumber;
        QTest::newRow("es_AR 872.5") << "es_AR"
                                     << "872.5" << noNumber;
        QTest::newRow("en_US 1,05") << "en_US"
                                    << "1,05" << noNumber;
        QTest::newRow("en_US abc") << "en_US"
                                   << "abc" << noNumber;
        QTest::newRow("en_US -1") << "en_US"
                                  << "-1" << notPositive;
        QTest::newRow("en_US 0") << "en_US"
                                 << "0" << notPositive;
        QTest::newRow("en_US 1.234,5") << "en_US"
                                       << "1.234,5" << noNumber;
        QTest::newRow("en_US 1,234.5") << "en_US"
                                       << "1,234.5"
                                       << "0002|12345.00|D";
        // A rate that takes the amount beyond what the catalog holds.
        QTest::newRow("es_AR 1E+13") << "es_AR"
                                     << "1E+13" << "Desbordamiento";
    }
    void fobRate() {
        QFETCH(QString, locale);
        QFETCH(QString, rate);
        QFETCH(QString, result);
        QLocale::setDefault(QLocale(locale));
        frmFOB2InfoAd frm;
        frm.m_Despacho = D;
        frm.txtTipoPase->setText(rate);
        frm.txtInfoAdicional->setText(QStringLiteral(" FOBX "));
        const QStringList before = catalogSnapshot();
        if (result == QLatin1String("Desbordamiento")) {
            answerItemPicker(QStringLiteral("'0002'"));
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            frm.cmdProcesar->click();
            QCOMPARE(boxes().size(), 1);
            QVERIFY2(boxes().first().contains(result), qPrintable(boxes().first()));
            QCOMPARE(catalogSnapshot(), before);
        } else if (result.startsWith(QLatin1String("0002"))) {
            answerItemPicker(QStringLiteral("'0002'"));
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            frm.cmdProcesar->click();
            QCOMPARE(boxes(), QStringList{"64|Proceso terminado"});
            QCOMPARE(cpl(QStringLiteral("FOBX")), QStringList{result});
            QCOMPARE(frm.lbItem->text(), QStringLiteral("procesando item 0002 ...."));
        } else {
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            frm.cmdProcesar->click();
            QCOMPARE(boxes(), QStringList{result});
            QCOMPARE(catalogSnapshot(), before);
        }
        QVERIFY(frm.cmdProcesar->isEnabled() && frm.cmdCancelar->isEnabled() &&
                frm.cmdInfoAdic->isEnabled());
        QVERIFY(!ScriptedUi::current().busy);
    }

    // The showing proposes the declaration's currency and its rate from the service; every
    // picked item then gets its FOB at that rate, replacing an old value.
    void fobFromTheService() {
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        LoopbackHttpServer server;
        server.route(QStringLiteral("/api/DivisasNoJSON?codsim=DOL"),
                     {200, "DOL|Dolar|x|1234.5|", {}, false});
        qputenv("CORVELIX_RATE_SERVER", server.baseUrl().toUtf8());
        modDA::execSQL(modDA::kCatalog,
                       testSql("INSERT INTO CPL (ICPL, NART, CCPL, MCPL, ICPLDIF) VALUES "
                               "('26001IC04000123A', '0003', 'FOBX', 'old', 'S')"));
        ScriptedUi::current().onForm(QStringLiteral("frmFOB2InfoAd"), [](QDialog& d) {
            auto& frm = static_cast<frmFOB2InfoAd&>(d);
            QCOMPARE(frm.lbDespacho->text(), D);
            QCOMPARE(frm.txtMoneda->text(), QStringLiteral("DOL"));
            QCOMPARE(frm.txtTipoPase->text(), QStringLiteral("1234,500000"));
            frm.txtInfoAdicional->setText(QStringLiteral("FOBX"));
            answerItemPicker(QStringLiteral("TODO"));
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            frm.cmdProcesar->click();
        });
        frmFOB2InfoAd frm;
        frm.m_Despacho = D;
        corvelix::ui().exec(frm);
        qunsetenv("CORVELIX_RATE_SERVER");
        QCOMPARE(cpl(QStringLiteral("FOBX")),
                 (QStringList{"0001|1524072,96|D", "0002|12345,00|D", "0003|617,25|D"}));
        QCOMPARE(marcas(), (QStringList{"0001|I", "0002|I", "0003|I"}));
        QCOMPARE(boxes(), QStringList{"64|Proceso terminado"});
    }

    void fobRefusesBlankCodeAndEmptyPick() {
        frmFOB2InfoAd frm;
        frm.m_Despacho = D;
        // A rate as loading gives it (the design text "1,000000" is written for a comma locale).
        frm.txtTipoPase->setText(QStringLiteral("1"));
        frm.txtInfoAdicional->setText(QStringLiteral("   "));
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
        frm.cmdProcesar->click();
        frm.txtInfoAdicional->setText(QStringLiteral("X"));
        answerItemPicker(QString());
        frm.cmdProcesar->click();
        QCOMPARE(boxes(), (QStringList{"48|Debe seleccionar una información adicional",
                                       "48|Debe seleccionar como minimo un item"}));
        QCOMPARE(cpl(QStringLiteral("X")), QStringList());
    }

    void extraerValorSufijo_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<QString>("sufijo");
        QTest::addColumn<QString>("valor");
        QTest::newRow("value") << "AA(x)-AB(123)-"
                               << "AB"
                               << "123";
        QTest::newRow("empty value") << "AB()-"
                                     << "AB"
                                     << "";
        QTest::newRow("absent") << "AA(x)-"
                                << "AB"
                                << "";
        QTest::newRow("letter case counts") << "ab(1)-"
                                            << "AB"
                                            << "";
        QTest::newRow("first entry") << "AB(1)-AB(2)-"
                                     << "AB"
                                     << "1";
    }
    void extraerValorSufijo() {
        QFETCH(QString, sufijos);
        QFETCH(QString, sufijo);
        QFETCH(QString, valor);
        QCOMPARE(frmSufijos2InfoAd::extraerValorSufijo(sufijos, sufijo), valor);
    }

    // Rows by item and subitem: subitem "0001" wins over the item's own row.
    void suffixTransfer() {
        frmSufijos2InfoAd frm;
        frm.m_Despacho = D;
        frm.txtSufijo->setText(QStringLiteral(" ab "));
        frm.txtInfoAdicional->setText(QStringLiteral("SUF"));
        answerItemPicker(QStringLiteral("TODO"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok, MsgResult::Ok});
        frm.cmdProcesar->click();
        QCOMPARE(frm.txtSufijo->text(), QStringLiteral("AB"));
        QCOMPARE(boxes(),
                 (QStringList{"64|Los siguientes item's tienen mas de un subitems, solo se envió "
                              "el valor del subitem 0001: \r\n\r\nListado de items: \r\n0002,",
                              "64|Proceso terminado"}));
        QCOMPARE(cpl(QStringLiteral("SUF")), (QStringList{"0001|one|D", "0002|sub1|D"}));
        // 0003 (an empty value) is marked all the same.
        QCOMPARE(marcas(), (QStringList{"0001|I", "0002|I", "0003|I"}));
    }

    void suffixCodeRefused_data() {
        QTest::addColumn<QString>("sufijo");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("one") << "A";
        QTest::newRow("four") << "ABCD";
    }
    void suffixCodeRefused() {
        QFETCH(QString, sufijo);
        frmSufijos2InfoAd frm;
        frm.m_Despacho = D;
        frm.txtSufijo->setText(sufijo);
        frm.txtInfoAdicional->setText(QStringLiteral("SUF"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.cmdProcesar->click();
        QCOMPARE(boxes(), QStringList{"48|Debe ingresar un codigo de sufijo válido."});
        QCOMPARE(cpl(QStringLiteral("SUF")), QStringList());
    }

    // An entry not closed by ")-" refuses the whole transfer: nothing written, nothing marked.
    void suffixMalformedWritesNothing() {
        modDA::execSQL(modDA::kCatalog,
                       testSql("UPDATE SBT SET CSBTSVL = 'AB(open' WHERE NART = '0003'"));
        const QStringList before = catalogSnapshot();
        frmSufijos2InfoAd frm;
        frm.m_Despacho = D;
        frm.txtSufijo->setText(QStringLiteral("AB"));
        frm.txtInfoAdicional->setText(QStringLiteral("SUF"));
        answerItemPicker(QStringLiteral("TODO"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.cmdProcesar->click();
        QCOMPARE(catalogSnapshot(), before);
        QVERIFY2(boxes().value(0).startsWith(QStringLiteral(
                     "48|Llamada a procedimiento o argumento no válidos\n\nCorvelix."
                     "frmSufijos2InfoAd.cmdProcesar_Click (0)::Corvelix.frmSufijos2InfoAd."
                     "extraerValorSufijo (31)::")),
                 qPrintable(boxes().value(0)));
        QVERIFY(frm.cmdProcesar->isEnabled());
    }

    // The code box of both dialogs takes any text; it is stored trimmed.
    void anyCodeText_data() {
        QTest::addColumn<QString>("codigo");
        QTest::newRow("quotes") << "O'X \"q\"";
        QTest::newRow("semicolon") << "A;B; --";
        QTest::newRow("percent") << "%_%";
        QTest::newRow("300 characters") << QString(300, QLatin1Char('c'));
        QTest::newRow("non-Latin") << "Ωμέγα 漢字";
    }
    void anyCodeText() {
        QFETCH(QString, codigo);
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        frmFOB2InfoAd fob;
        fob.m_Despacho = D;
        fob.txtTipoPase->setText(QStringLiteral("2"));
        fob.txtInfoAdicional->setText(QStringLiteral(" ") + codigo + QStringLiteral(" "));
        answerItemPicker(QStringLiteral("'0003'"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        fob.cmdProcesar->click();
        QCOMPARE(cpl(codigo.trimmed()), QStringList{"0003|1,00|D"});

        frmSufijos2InfoAd suf;
        suf.m_Despacho = D;
        suf.txtSufijo->setText(QStringLiteral("AB"));
        suf.txtInfoAdicional->setText(codigo);
        answerItemPicker(QStringLiteral("'0001'"));
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        suf.cmdProcesar->click();
        QCOMPARE(cpl(codigo.trimmed()), (QStringList{"0001|one|D", "0003|1,00|D"}));
    }
};

CORVELIX_TEST(tst_TransferenciasInfoAd)
#include "tst_TransferenciasInfoAd.moc"
