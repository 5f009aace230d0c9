#include "shell/utiles.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QTest>

class tst_utiles : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void validarFormato_data() {
        QTest::addColumn<QString>("factura");
        QTest::addColumn<bool>("valida");
        QTest::newRow("5-8 digits") << "00012-00001234" << true;
        QTest::newRow("2-2 digits") << "12-34" << false;
        QTest::newRow("13 digits, no hyphen") << "0001200001234" << false;
        QTest::newRow("third part ignored") << "00012-00001234-5" << true;
        QTest::newRow("letters count too") << "ABCDE-FGHIJKLM" << true;
        QTest::newRow("second part short") << "00012-0000123" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("hyphen only") << "-" << false;
    }

    void validarFormato() {
        QFETCH(QString, factura);
        QFETCH(bool, valida);
        QCOMPARE(utiles::validarFormato(factura), valida);
    }

    void limpiarNombreArchivo_data() {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("limpio");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("plain") << "Despacho 123.xls"
                               << "Despacho 123.xls";
        QTest::newRow("reserved characters") << "a\\b/c:d*e?f<g>h|i"
                                             << "a_b_c_d_e_f_g_h_i";
        QTest::newRow("trimmed, accented letter, slash") << "  Año 2024/01  "
                                                         << "A_o 2024_01";
        QTest::newRow("curly brackets and tilde") << "{x}~"
                                                  << "_x__";
        QTest::newRow("range ends kept") << " z"
                                         << "z";
        QTest::newRow("tab is not trimmed") << "\tx"
                                            << "_x";
        QTest::newRow("outside the code page") << "a中€"
                                               << "a__";
        QTest::newRow("only blanks") << "   "
                                     << "";
    }

    void limpiarNombreArchivo() {
        QFETCH(QString, nombre);
        QFETCH(QString, limpio);
        QCOMPARE(utiles::limpiarNombreArchivo(nombre), limpio);
    }
};

CORVELIX_TEST(tst_utiles)
#include "tst_utiles.moc"
