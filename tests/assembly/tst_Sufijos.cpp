#include "assembly/frmSufijos.h"
#include "assembly/utiles_sufijos.h"
#include "data/modDA.h"
#include "runtime/Ui.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using utiles::SufijoLeido;

namespace QTest {
template <> char* toString(const SufijoLeido& s) {
    return qstrdup(qPrintable(QStringLiteral("{%1|%2}").arg(s.Sufijo, s.Valor)));
}
} // namespace QTest

using Pairs = QList<QPair<QString, QString>>;

class tst_Sufijos : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void reads_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<QList<SufijoLeido>>("records");

        QTest::newRow("one value") << "AA(123)-" << QList<SufijoLeido>{{"AA", "123"}, {"", ""}};
        QTest::newRow("mixed entries")
            << "AA(X1)-BBBB-ZC(000012)-"
            << QList<SufijoLeido>{{"AA", "X1"}, {"BBBB", ""}, {"ZC", "000012"}, {"", ""}};
        QTest::newRow("empty value") << "AA()-" << QList<SufijoLeido>{{"AA", ""}, {"", ""}};
        QTest::newRow("unclosed value") << "AA(12" << QList<SufijoLeido>{{"AA", "12"}};
        QTest::newRow("no code") << "(12)-" << QList<SufijoLeido>{{"", "12"}, {"", ""}};
        QTest::newRow("leading blank stays in the code")
            << " AA(1)-" << QList<SufijoLeido>{{" AA", "1"}, {"", ""}};
        QTest::newRow("not closed")
            << "AA(1)-BBBB" << QList<SufijoLeido>{{"AA", "1"}, {"BBBB", ""}};
        QTest::newRow("blank text is not empty") << " " << QList<SufijoLeido>{{" ", ""}};
        QTest::newRow("value holding hyphens")
            << "AA(LAKEPRO)-AB(LP-088)-ZC(-000012)-"
            << QList<SufijoLeido>{{"AA", "LAKEPRO"}, {"AB", "LP-088"}, {"ZC", "-000012"}, {"", ""}};
        QTest::newRow("hyphen in a last value not closed")
            << "AA(X1)-AB(LP-088)" << QList<SufijoLeido>{{"AA", "X1"}, {"AB", "LP-088"}};
        QTest::newRow("value without its ) ends at the hyphen")
            << "AA(12-BB(3)-" << QList<SufijoLeido>{{"AA", "12"}, {"BB", "3"}, {"", ""}};
        QTest::newRow("empty pieces")
            << "AA(1)--BBBB-" << QList<SufijoLeido>{{"AA", "1"}, {"", ""}, {"BBBB", ""}, {"", ""}};
        QTest::newRow("four characters then a hyphenated value")
            << "BBBB-AB(A-B)-" << QList<SufijoLeido>{{"BBBB", ""}, {"AB", "A-B"}, {"", ""}};
    }

    void reads() {
        QFETCH(QString, sufijos);
        QFETCH(QList<SufijoLeido>, records);
        QList<SufijoLeido> resultado{{"viejo", "dato"}};
        utiles::getArrayFromSufijos(sufijos, resultado);
        QCOMPARE(resultado, records);
    }

    void emptyTextLeavesTheArrayAsItWas() {
        QList<SufijoLeido> lleno{{"AA", "1"}, {"", ""}};
        utiles::getArrayFromSufijos(QString(), lleno);
        QCOMPARE(lleno, (QList<SufijoLeido>{{"AA", "1"}, {"", ""}}));
        QList<SufijoLeido> vacio;
        utiles::getArrayFromSufijos(QString(), vacio);
        QVERIFY(vacio.isEmpty());
    }

    void pieces_data() {
        QTest::addColumn<QString>("parte");
        QTest::addColumn<QString>("sufijo");
        QTest::addColumn<QString>("valor");
        QTest::newRow("value") << "AA(12)"
                               << "AA"
                               << "12";
        QTest::newRow("closed value") << "AA(12)-"
                                      << "AA"
                                      << "12";
        QTest::newRow("four characters") << "BBBB"
                                         << "BBBB"
                                         << "";
        QTest::newRow("hyphens removed from a bare code") << "BB-BB-"
                                                          << "BBBB"
                                                          << "";
        QTest::newRow("inner parentheses") << "AA(1)2)"
                                           << "AA"
                                           << "12";
        QTest::newRow("second opening kept") << "AA(1(2)"
                                             << "AA"
                                             << "1(2";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void pieces() {
        QFETCH(QString, parte);
        QFETCH(QString, sufijo);
        QFETCH(QString, valor);
        QCOMPARE(utiles::getSufijo(parte), sufijo);
        QCOMPARE(utiles::getValue(parte), valor);
    }

    // The demo catalog's own strings through the editor: cancelling every value dialog and
    // saving gives the string back byte for byte; a new value for the first code changes that
    // value and nothing else.
    void editorKeepsDemoStrings_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<bool>("cambiar");
        corvelix::test::CatalogFixture fixture;
        fixture.loadDemoSeed();
        const modDA::Recordset rs = modDA::getRs(
            modDA::kCatalog,
            testSql("SELECT DISTINCT CSBTSVL FROM SBT WHERE CSBTSVL LIKE '__(%' ORDER BY 1"));
        QVERIFY(rs.recordCount() > 20);
        for (const QVariantList& fila : rs.rows()) {
            const QString texto = fila.value(0).toString();
            QTest::addRow("%s unchanged", qPrintable(texto)) << texto << false;
            QTest::addRow("%s first value", qPrintable(texto)) << texto << true;
        }
    }

    void editorKeepsDemoStrings() {
        QFETCH(QString, sufijos);
        QFETCH(bool, cambiar);
        auto& seam = corvelix::test::ScriptedUi::current();
        int dialogos = 0;
        seam.onForm(QStringLiteral("frmSufijoValor"), [&](QDialog& dialog) {
            auto* caja = dialog.findChild<QLineEdit*>(QStringLiteral("txtValorSufijo"));
            if (cambiar && dialogos++ == 0) {
                caja->setText(QStringLiteral("nuevo"));
                QTest::keyClick(caja, Qt::Key_Return);
            } else {
                QTest::keyClick(caja, Qt::Key_Escape);
            }
        });
        seam.onForm(QStringLiteral("frmSufijos"), [](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdGuardar"))->click();
        });
        frmSufijos editor;
        editor.m_Sufijos = sufijos;
        corvelix::ui().exec(editor);
        const QString esperado = cambiar ? sufijos.left(3) + QStringLiteral("NUEVO") +
                                               sufijos.mid(sufijos.indexOf(QStringLiteral(")-")))
                                         : sufijos;
        QCOMPARE(editor.m_Sufijos, esperado);
    }

    void builds_data() {
        QTest::addColumn<Pairs>("pares");
        QTest::addColumn<QString>("sufijos");
        QTest::newRow("other lengths leave no trace")
            << Pairs{{"AA", "X1"}, {"BBBB", "Y2"}, {"C", "Y3"}, {"", ""}} << "AA(X1)-BBBB-";
        QTest::newRow("nothing usable") << Pairs{{"ABC", "1"}, {" AA", "2"}} << "";
        QTest::newRow("none") << Pairs{} << "";
        QTest::newRow("order kept") << Pairs{{"ZC", "000012"}, {"AA", ""}} << "ZC(000012)-AA()-";
    }

    void builds() {
        QFETCH(Pairs, pares);
        QFETCH(QString, sufijos);
        QCOMPARE(utiles::armarSufijos(pares), sufijos);
    }

    void realEntries_data() {
        QTest::addColumn<QString>("sufijos");
        QTest::addColumn<QList<SufijoLeido>>("reales");
        QTest::addColumn<QString>("rebuilt");
        QTest::newRow("closed") << "AA(X1)-BBBB-" << QList<SufijoLeido>{{"AA", "X1"}, {"BBBB", ""}}
                                << "AA(X1)-BBBB-";
        QTest::newRow("last entry not closed")
            << "AA(X1)-ZC(000012)" << QList<SufijoLeido>{{"AA", "X1"}, {"ZC", "000012"}}
            << "AA(X1)-ZC(000012)-";
        QTest::newRow("single unclosed four-character code")
            << "BBBB" << QList<SufijoLeido>{{"BBBB", ""}} << "BBBB-";
        QTest::newRow("empty") << "" << QList<SufijoLeido>{} << "";
    }

    // Reading and building again keeps every entry; an unclosed last one comes back closed.
    void realEntries() {
        QFETCH(QString, sufijos);
        QFETCH(QList<SufijoLeido>, reales);
        QFETCH(QString, rebuilt);
        const auto leidos = utiles::sufijosReales(sufijos);
        QCOMPARE(leidos, reales);
        QCOMPARE(utiles::armarSufijos(leidos), rebuilt);
    }
};

CORVELIX_TEST(tst_Sufijos)
#include "tst_Sufijos.moc"
