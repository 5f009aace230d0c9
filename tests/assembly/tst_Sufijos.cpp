#include "assembly/utiles_sufijos.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

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
