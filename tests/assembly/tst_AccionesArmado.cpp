#include "assembly/frmArmadoITEM.h"
#include "assembly/frmSetSufijos.h"
#include "assembly/frmSufijoValor.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "support/CatalogFixture.h"
#include "support/LockingProgram.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using corvelix::FlexGrid;
using corvelix::MsgButtons;
using corvelix::MsgDefault;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::LockingProgram;
using corvelix::test::ScriptedUi;

namespace {

const QString kA = QStringLiteral("77001IC04000001A");
const QString kB = QStringLiteral("77002IC04000002B");

// Declaration A: item 0001 with five subitem rows, item 0002 with two (its subitems cannot be
// deleted), item 0003 with three. Declaration B: one item with a TAB in its list and in its
// suffixes, for the exports.
const QString kSeed = QStringLiteral(R"sql(
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('77001IC04000001A', 'REF-A', 39);
INSERT INTO DDT (IDDT, IEXT, MDDTFOB) VALUES ('77002IC04000002B', 'REF-B', 1234.5);
INSERT INTO DDT (IDDT, IEXT) VALUES ('77003IC04000003C', 'REF-C');
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, MARTUNITAR, MARTFOB) VALUES
 ('77001IC04000001A', '0001', '0001', '1111.11.11.111A', '07', 10, '07', 10, 2, 20),
 ('77001IC04000001A', '0002', '0002', '1111.11.11.111A', '07', 5, '07', 5, 2, 10),
 ('77001IC04000001A', '0003', '0003', '2222.22.22.222B', '07', 3, '07', 3, 3, 9);
INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES
 ('77001IC04000001A', '0001', '0000', 'AA(MARCA1)-AB(M1)-', 2, 2, 2, 4),
 ('77001IC04000001A', '0001', '0001', 'AA(X)-', 2, 2, 2, 4),
 ('77001IC04000001A', '0001', '0002', 'AA(Y)-ZC(000001)-', 2, 2, 2, 4),
 ('77001IC04000001A', '0001', '0003', 'XX(A_B)-', 2, 2, 2, 4),
 ('77001IC04000001A', '0001', '0004', 'XX(AXB)-BBBB-', 2, 2, 2, 4),
 ('77001IC04000001A', '0002', '0000', 'AA(Q)-', 5, 5, 2, 10),
 ('77001IC04000001A', '0002', '0001', 'AA(R)-', 0, 0, 0, 0),
 ('77001IC04000001A', '0003', '0000', 'AA(S)-', 1, 1, 3, 3),
 ('77001IC04000001A', '0003', '0001', '', 1, 1, 3, 3),
 ('77001IC04000001A', '0003', '0002', 'AB(T)-', 1, 1, 3, 3);
INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, MARTUNITAR, MARTFOB, MARTFLE, MARTASS) VALUES
 ('77002IC04000002B', '0001', '0001', '3333.33.33.333C', 'L' || char(9) || '1', '200', '07', 1234.5, '07', 1234.5, 10.5, 1, 1234.5, 1, 0.5);
INSERT INTO SBT (IDDT, NART, ISBT, IEXT, CSBTSVL, QSBTUNTDCL, QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES
 ('77002IC04000002B', '0001', '0000', 'COD-1', 'AA(X' || char(9) || 'YÑ)-', 0, 0, 0, 0);
INSERT INTO SRG (ISRG, NART, CSRG) VALUES
 ('77002IC04000002B', '0001', 'ACE18'),
 ('77002IC04000002B', '0001', 'BK');
)sql");

FlexGrid& grilla(frmArmadoITEM& frm) {
    return *frm.findChild<FlexGrid*>(QStringLiteral("grdITEMS"));
}

void tecla(frmArmadoITEM& frm, int key) {
    QTest::keyClick(grilla(frm).bodyView(), Qt::Key(key));
}

QAction& entrada(frmArmadoITEM& frm, const char* name) {
    return *frm.findChild<QAction*>(QLatin1String(name));
}

void abrir(const QString& despacho, const std::function<void(frmArmadoITEM&)>& body) {
    bool corrio = false;
    ScriptedUi::current().onForm(QStringLiteral("frmArmadoITEM"), [&](QDialog& dialog) {
        corrio = true;
        body(static_cast<frmArmadoITEM&>(dialog));
    });
    frmArmadoITEM frm;
    frm.m_Operacion = despacho;
    frm.m_IdentificadorPropio = QStringLiteral("REF");
    ui().exec(frm);
    QVERIFY(corrio);
}

QStringList columna(const QString& sql) {
    QStringList out;
    const modDA::Recordset rs = modDA::getRs(modDA::kCatalog, testSql(sql));
    for (const QVariantList& row : rs.rows())
        out << row.value(0).toString();
    return out;
}

QString valor(const QString& sql) {
    return columna(sql).value(0);
}

// Every subitem row of A as "item/subitem=suffixes", and the three item totals.
QString estadoA() {
    return columna(QStringLiteral("SELECT NART || '/' || ISBT || '=' || CSBTSVL FROM SBT WHERE "
                                  "IDDT = '77001IC04000001A' ORDER BY NART, ISBT"))
               .join(QLatin1Char(' ')) +
           QStringLiteral(" | ") +
           columna(QStringLiteral("SELECT NART || ':' || QARTUNTDCL || ':' || MARTFOB FROM ART "
                                  "WHERE IDDT = '77001IC04000001A' ORDER BY NART"))
               .join(QLatin1Char(' ')) +
           QStringLiteral(" | ") +
           valor(QStringLiteral("SELECT MDDTFOB FROM DDT WHERE IDDT = '77001IC04000001A'"));
}

void esperaCaja(const QString& texto, MsgIcon icon, int index = 0) {
    const auto& boxes = ScriptedUi::current().boxes;
    QVERIFY2(boxes.size() > index, qPrintable(texto));
    QVERIFY2(boxes.at(index).text.startsWith(texto), qPrintable(boxes.at(index).text));
    QCOMPARE(boxes.at(index).icon, icon);
}

} // namespace

class tst_AccionesArmado : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        fixture_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override {
        fixture_.reset();
        QLocale::setDefault(QLocale::c());
    }

private slots:
    // Rows 1 ("0000", the totals) and 2 (item 0001), selected either way: the totals row is
    // never passed to the deletion, item 0001 goes with its subitems, the header follows.
    void deleteItems_data() {
        QTest::addColumn<bool>("haciaArriba");
        QTest::newRow("down") << false;
        QTest::newRow("up") << true;
    }
    void deleteItems() {
        QFETCH(bool, haciaArriba);
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("0000"));
            QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("0001"));
            if (haciaArriba)
                grid.select(2, 0, 1, grid.cols() - 1);
            else
                grid.select(1, 0, 2, grid.cols() - 1);
            seam.answerBoxes({MsgResult::Yes});
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("Confirma eliminar los item's seleccionados?"));
            QCOMPARE(seam.boxes.at(0).buttons, MsgButtons::YesNo);
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Question);
            QCOMPARE(seam.boxes.at(0).defaultButton, MsgDefault::First);
            QCOMPARE(columna(QStringLiteral("SELECT NART FROM ART WHERE IDDT = '77001IC04000001A' "
                                            "ORDER BY NART")),
                     QStringList({"0002", "0003"}));
            QCOMPARE(valor(QStringLiteral("SELECT count(*) FROM SBT WHERE IDDT = "
                                          "'77001IC04000001A' AND NART = '0001'")),
                     QStringLiteral("0"));
            QCOMPARE(valor(QStringLiteral("SELECT MDDTFOB FROM DDT WHERE IDDT = "
                                          "'77001IC04000001A'")),
                     QStringLiteral("19"));
            // Reloaded: the totals row and the two items left.
            QCOMPARE(grid.rows(), 4);
            QVERIFY(!seam.busy);
        });
    }

    void deleteItemsAnsweredNo() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            const QString antes = estadoA();
            grid.select(2, 0, 3, grid.cols() - 1);
            grid.setTextMatrix(4, 1, QStringLiteral("sin recargar"));
            seam.answerBoxes({MsgResult::No});
            entrada(frm, "mnuEliminarItem").trigger();
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(estadoA(), antes);
            QCOMPARE(grid.textMatrix(4, 1), QStringLiteral("sin recargar"));
            // The totals row alone asks nothing and deletes nothing.
            grid.select(1, 0, 1, grid.cols() - 1);
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(estadoA(), antes);
        });
    }

    // The third of three items fails in the catalog: none is deleted, the header keeps its
    // totals and the grid is read again.
    void deleteItemsFailurePartWay() {
        ScriptedUi& seam = ScriptedUi::current();
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("CREATE TRIGGER falla BEFORE DELETE ON ART WHEN "
                                              "old.NART = '0003' BEGIN SELECT RAISE(ABORT, "
                                              "'falla inyectada'); END")));
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            const QString antes = estadoA();
            grid.select(2, 0, 4, grid.cols() - 1);
            grid.setTextMatrix(2, 1, QStringLiteral("sin recargar"));
            seam.answerBoxes({MsgResult::Yes, MsgResult::Ok});
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 2);
            QVERIFY2(seam.boxes.at(1).text.contains(QStringLiteral("falla inyectada")),
                     qPrintable(seam.boxes.at(1).text));
            QVERIFY(seam.boxes.at(1).text.contains(
                QStringLiteral("Corvelix.frmArmadoITEM.eliminarITEMS")));
            QCOMPARE(estadoA(), antes);
            QCOMPARE(grid.rows(), 5);
            QVERIFY(grid.textMatrix(2, 1) != QStringLiteral("sin recargar"));
            QVERIFY(!seam.busy);
            QVERIFY(frm.isVisible());
        });
    }

    // Another program holds the catalog's write lock past the wait: one box says so, nothing
    // is deleted, and the grid is read again whole, without writing (the lock still stands).
    void deleteItemsWhileAnotherProgramWrites() {
        ScriptedUi& seam = ScriptedUi::current();
        modDA::setLockWaitForTests(300);
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            const QString antes = estadoA();
            LockingProgram otro(fixture_->catalogPath());
            QVERIFY(otro.holding());
            grid.select(2, 0, 3, grid.cols() - 1);
            grid.setTextMatrix(2, 1, QStringLiteral("sin recargar"));
            seam.answerBoxes({MsgResult::Yes, MsgResult::Ok});
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 2);
            QVERIFY2(seam.boxes.at(1).text.startsWith(
                         QStringLiteral("otro programa está usando el catálogo; intente de nuevo")),
                     qPrintable(seam.boxes.at(1).text));
            QVERIFY(seam.boxes.at(1).text.contains(
                QStringLiteral("Corvelix.frmArmadoITEM.eliminarITEMS")));
            QCOMPARE(grid.rows(), 5);
            QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("0001"));
            QCOMPARE(otro.commit(), QString());
            QCOMPARE(estadoA(), antes);
            QVERIFY(!seam.busy);
        });
    }

    // Subitems 0002 and 0003 of item 0001 go; the former 0004 becomes 0002; the item and the
    // header are recomputed.
    void deleteSubitems() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            QCOMPARE(grid.textMatrix(3, 4), QStringLiteral("0002"));
            grid.select(4, 0, 3, grid.cols() - 1);
            seam.answerBoxes({MsgResult::Yes});
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("Confirma eliminar los subitem's seleccionados?"));
            QCOMPARE(seam.boxes.at(0).icon, MsgIcon::Question);
            QCOMPARE(estadoA(),
                     QStringLiteral("0001/0000=AA(MARCA1)-AB(M1)- 0001/0001=AA(X)- "
                                    "0001/0002=XX(AXB)-BBBB- 0002/0000=AA(Q)- 0002/0001=AA(R)- "
                                    "0003/0000=AA(S)- 0003/0001= 0003/0002=AB(T)- | 0001:6.0:12.0 "
                                    "0002:5.0:10.0 0003:3.0:9.0 | 31"));
            QCOMPARE(grid.rows(), 9);
        });
    }

    // The item's own row is skipped with a notice; the subitem beside it goes.
    void deleteSubitemsSkipsItemRow() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            QCOMPARE(grid.textMatrix(8, 1) + grid.textMatrix(8, 4), QStringLiteral("00030000"));
            grid.select(8, 0, 9, grid.cols() - 1);
            seam.answerBoxes({MsgResult::Ok, MsgResult::Yes});
            tecla(frm, Qt::Key_Delete);
            esperaCaja(QStringLiteral("El renglon del item (subitem 0000) no se elimina."),
                       MsgIcon::Information);
            QCOMPARE(seam.boxes.size(), 2);
            QCOMPARE(columna(QStringLiteral("SELECT ISBT || '=' || CSBTSVL FROM SBT WHERE IDDT = "
                                            "'77001IC04000001A' AND NART = '0003' ORDER BY ISBT")),
                     QStringList({"0000=AA(S)-", "0001=AB(T)-"}));
        });
    }

    // A refusal on the second item undoes the deletion already made on the first; the grid
    // is read again.
    void deleteSubitemsRefusedPartWay() {
        ScriptedUi& seam = ScriptedUi::current();
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            const QString antes = estadoA();
            // 0001/0004, 0002/0000 (skipped), 0002/0001 (refused: the item has two rows).
            grid.select(5, 0, 7, grid.cols() - 1);
            grid.setTextMatrix(1, 6, QStringLiteral("sin recargar"));
            seam.answerBoxes({MsgResult::Ok, MsgResult::Yes, MsgResult::Ok});
            tecla(frm, Qt::Key_Delete);
            QCOMPARE(seam.boxes.size(), 3);
            esperaCaja(
                QStringLiteral("El sistema puede eliminar cuando hay mas de 2 subitems en el "
                               "item, "),
                MsgIcon::Exclamation, 2);
            QVERIFY(seam.boxes.at(2).text.endsWith(QStringLiteral("funcionalidad no soportada")));
            QCOMPARE(estadoA(), antes);
            QCOMPARE(grid.rows(), 11);
            QCOMPARE(grid.textMatrix(1, 6), QStringLiteral("AA(MARCA1)-AB(M1)-"));
            QVERIFY(!seam.busy);
        });
    }

    // "%" and "_" in the search text are characters, not patterns.
    void searchPatternCharacters() {
        ScriptedUi::current().onForm(QStringLiteral("frmBusquedaArticulo"), [](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtArticulo"))
                ->setText(QStringLiteral("A_B"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdBuscar"))->click();
        });
        abrir(kA, [](frmArmadoITEM& frm) {
            tecla(frm, Qt::Key_F2);
            tecla(frm, Qt::Key_F6);
            QCOMPARE(grilla(frm).rows(), 2);
            QCOMPARE(grilla(frm).textMatrix(1, 6), QStringLiteral("XX(A_B)-"));
        });
    }

    // --- NCM replacement

    void replaceNcm() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmCambiarNCM"), [](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Cambiar NCM"));
            auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("cboNCMActual"));
            auto* nuevo = dialog.findChild<QLineEdit*>(QStringLiteral("txtNCMNuevo"));
            QCOMPARE(combo->count(), 2);
            QCOMPARE(combo->itemText(0), QStringLiteral("1111.11.11.111A"));
            combo->setCurrentIndex(0);
            QCOMPARE(nuevo->text(), QStringLiteral("1111.11.11.111A"));
            nuevo->setText(QStringLiteral("  1111.11.11.111z "));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdReemplazar"))->click();
            QCOMPARE(nuevo->text(), QStringLiteral("1111.11.11.111Z"));
            QVERIFY(!dialog.isVisible());
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            seam.answerBoxes({MsgResult::Yes, MsgResult::Ok});
            entrada(frm, "mnuReemplazarncm").trigger();
            QCOMPARE(seam.boxes.size(), 2);
            QCOMPARE(seam.boxes.at(0).text,
                     QStringLiteral("Confirma reemplazar la NCM 1111.11.11.111A por "
                                    "1111.11.11.111Z"));
            QCOMPARE(seam.boxes.at(0).defaultButton, MsgDefault::Second);
            QCOMPARE(seam.boxes.at(1).text, QStringLiteral("Se reemplazo 2 item(s)"));
            QCOMPARE(seam.boxes.at(1).icon, MsgIcon::Information);
            QCOMPARE(
                columna(QStringLiteral(
                    "SELECT NART || IESPNCE || IFNULL(CARTETA, '') || IFNULL(CARTSTUDEV, '') FROM "
                    "ART WHERE IDDT = '77001IC04000001A' ORDER BY NART")),
                QStringList(
                    {"00011111.11.11.111ZII", "00021111.11.11.111ZII", "00032222.22.22.222B"}));
        });
    }

    // Every refusal keeps the dialog open and writes nothing; odd texts of 15 characters are
    // stored as typed (in capitals).
    void replaceNcmInput_data() {
        QTest::addColumn<QString>("nuevo");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QList<MsgResult>>("respuestas");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("guardado");
        const QList<MsgResult> ok{MsgResult::Ok};
        QTest::newRow("14 chars") << "1111.11.11.111" << 0 << ok << "Debe ingresar un NCM válido"
                                  << "";
        QTest::newRow("16 chars") << "1111.11.11.111AB" << 0 << ok << "Debe ingresar un NCM válido"
                                  << "";
        QTest::newRow("300 chars")
            << QString(300, QLatin1Char('9')) << 0 << ok << "Debe ingresar un NCM válido"
            << "";
        QTest::newRow("none chosen")
            << "1111.11.11.111Z" << -1 << ok << "Debe seleccionar el NCM a reemplazar"
            << "";
        QTest::newRow("equal") << "1111.11.11.111a" << 0 << ok << "Los NCM son iguales"
                               << "";
        QTest::newRow("simi question, No")
            << "9999.99.99.999A" << 0 << QList<MsgResult>{MsgResult::No}
            << "Si usted convirtio este provisorio de una SIMI solo debe cambiar los ultimos "
               "digitos.\n\nDesea continuar?"
            << "";
        QTest::newRow("quote, semicolon, percent, non-Latin")
            << QStringLiteral("1111.11.'%;Ñö漢X") << 0
            << QList<MsgResult>{MsgResult::Yes, MsgResult::Yes, MsgResult::Ok}
            << "Si usted convirtio" << QStringLiteral("1111.11.'%;ÑÖ漢X");
    }
    void replaceNcmInput() {
        QFETCH(QString, nuevo);
        QFETCH(int, indice);
        QFETCH(QList<MsgResult>, respuestas);
        QFETCH(QString, mensaje);
        QFETCH(QString, guardado);
        ScriptedUi& seam = ScriptedUi::current();
        bool abierto = true;
        seam.onForm(QStringLiteral("frmCambiarNCM"), [&](QDialog& dialog) {
            auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("cboNCMActual"));
            combo->setCurrentIndex(indice);
            dialog.findChild<QLineEdit*>(QStringLiteral("txtNCMNuevo"))->setText(nuevo);
            QTest::keyClick(&dialog, Qt::Key_Return);
            abierto = dialog.isVisible();
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            grilla(frm).setTextMatrix(2, 1, QStringLiteral("marca"));
            seam.answerBoxes(respuestas);
            entrada(frm, "mnuReemplazarncm").trigger();
            esperaCaja(mensaje, seam.boxes.at(0).buttons == MsgButtons::YesNo
                                    ? MsgIcon::Question
                                    : MsgIcon::Exclamation);
            const QStringList ncm = columna(QStringLiteral(
                "SELECT DISTINCT IESPNCE FROM ART WHERE IDDT = '77001IC04000001A' ORDER BY 1"));
            if (guardado.isEmpty()) {
                QVERIFY(abierto);
                QCOMPARE(ncm, QStringList({"1111.11.11.111A", "2222.22.22.222B"}));
                QCOMPARE(grilla(frm).textMatrix(2, 1), QStringLiteral("marca"));
            } else {
                QVERIFY(!abierto);
                QVERIFY(ncm.contains(guardado));
                QVERIFY(grilla(frm).textMatrix(2, 1) != QStringLiteral("marca"));
            }
            QVERIFY(frm.isVisible());
        });
    }

    // --- value suffixes

    // Enter on an article row walks the two codes; the first gets a new value, the second
    // dialog is cancelled; Guardar writes the new string, Cancelar writes the same string back,
    // and either marks the item.
    void suffixEditor_data() {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("cadena");
        QTest::newRow("Guardar") << "cmdGuardar"
                                 << "AA(NUEVO 1 X )-AB(M1)-";
        QTest::newRow("Cancelar") << "cmdCancelar"
                                  << "AA(MARCA1)-AB(M1)-";
    }
    void suffixEditor() {
        QFETCH(QString, boton);
        QFETCH(QString, cadena);
        ScriptedUi& seam = ScriptedUi::current();
        QStringList vistos;
        seam.onForm(QStringLiteral("frmSufijoValor"), [&](QDialog& dialog) {
            auto* caja = dialog.findChild<QLineEdit*>(QStringLiteral("txtValorSufijo"));
            vistos << dialog.findChild<QLabel*>(QStringLiteral("lbSufijos"))->text() + "=" +
                          caja->text();
            if (vistos.size() == 1) {
                caja->setText(QStringLiteral("nuevo-1(x)"));
                QTest::keyClick(caja, Qt::Key_Return);
            } else {
                QTest::keyClick(caja, Qt::Key_Escape);
            }
        });
        seam.onForm(QStringLiteral("frmSufijos"), [&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Sufijos"));
            auto* grid = dialog.findChild<FlexGrid*>(QStringLiteral("grdSufijos"));
            QCOMPARE(grid->rows(), 3);
            dialog.findChild<QPushButton*>(boton)->click();
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            grid.setCurrentCell(1, 0);
            tecla(frm, Qt::Key_Return);
            QCOMPARE(vistos, QStringList({"AA=MARCA1", "AB=M1"}));
            QCOMPARE(grid.textMatrix(1, 6), cadena);
            QCOMPARE(valor(QStringLiteral("SELECT CSBTSVL || ART.CARTETA FROM SBT JOIN ART ON "
                                          "SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART WHERE "
                                          "SBT.IDDT = '77001IC04000001A' AND SBT.NART = '0001' "
                                          "AND ISBT = '0000'")),
                     cadena + QStringLiteral("I"));
        });
        QVERIFY(seam.boxes.isEmpty());
    }

    // An empty string writes nothing, however the editor closes.
    void suffixEditorEmptyString() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmSufijos"), [](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdGuardar"))->click();
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            tecla(frm, Qt::Key_F2);
            grilla(frm).setCurrentCell(9, 0);
            QCOMPARE(grilla(frm).textMatrix(9, 6), QString());
            tecla(frm, Qt::Key_Return);
            QCOMPARE(valor(QStringLiteral("SELECT count(*) FROM ART WHERE CARTETA = 'I'")),
                     QStringLiteral("0"));
        });
        QCOMPARE(seam.shownForms.count(QStringLiteral("frmSufijoValor")), 0);
    }

    // The single-value dialog: texts as the format allows them, numbers for "Z" codes.
    void suffixValue_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("resultado");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("hyphen and parentheses") << "AA"
                                                << "a-b(x)"
                                                << "A B X "
                                                << "";
        QTest::newRow("quote and semicolon") << "AA"
                                             << "O'Brien; 50%"
                                             << "O BRIEN  50%"
                                             << "";
        QTest::newRow("300 chars")
            << "AA" << QString(300, QLatin1Char('x')) << QString(40, QLatin1Char('X')) << "";
        QTest::newRow("non-Latin")
            << "AA" << QStringLiteral("漢字ñé") << QStringLiteral("  Ñ ") << "";
        QTest::newRow("blanks") << "AA"
                                << "   "
                                << ""
                                << "Debe ingresar un valor";
        QTest::newRow("Z decimal comma") << "ZC"
                                         << "12,7"
                                         << "000012"
                                         << "";
        QTest::newRow("z seven digits") << "zc"
                                        << "1234567"
                                        << "1234567"
                                        << "";
        QTest::newRow("Z negative") << "ZC"
                                    << "-5"
                                    << ""
                                    << "El valor de sufijo no puede ser negativo";
        QTest::newRow("Z text") << "ZC"
                                << "12a"
                                << ""
                                << "Debe ingresa un valor numerico";
        QTest::newRow("Z percent") << "ZC"
                                   << "50%"
                                   << ""
                                   << "Debe ingresa un valor numerico";
    }
    void suffixValue() {
        QFETCH(QString, codigo);
        QFETCH(QString, texto);
        QFETCH(QString, resultado);
        QFETCH(QString, mensaje);
        ScriptedUi& seam = ScriptedUi::current();
        bool abierto = false;
        seam.onForm(QStringLiteral("frmSufijoValor"), [&](QDialog& dialog) {
            auto* caja = dialog.findChild<QLineEdit*>(QStringLiteral("txtValorSufijo"));
            QCOMPARE(caja->text(), QStringLiteral("VIEJO"));
            caja->setText(texto);
            QTest::keyClick(caja, Qt::Key_Return);
            abierto = dialog.isVisible();
        });
        if (!mensaje.isEmpty())
            seam.answerBoxes({MsgResult::Ok});
        frmSufijoValor dialogo;
        dialogo.m_Sufijo = codigo;
        dialogo.m_SufijoValor = QStringLiteral("VIEJO");
        ui().exec(dialogo);
        QCOMPARE(dialogo.m_Resulado, resultado);
        QCOMPARE(abierto, !mensaje.isEmpty());
        if (!mensaje.isEmpty()) {
            QCOMPARE(seam.boxes.size(), 1);
            esperaCaja(mensaje, MsgIcon::Exclamation);
        }
    }

    // "Establecer Sufijo" over the five rows of item 0001: only rows carrying the code change,
    // in one transaction, with no mark; refused values write nothing.
    void setSuffix_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("fila0002");
        QTest::newRow("plain") << "aa"
                               << " nuevo "
                               << ""
                               << "AA(nuevo)-ZC(000001)-";
        QTest::newRow("quote, semicolon, percent") << "aa"
                                                   << "O'B;50%"
                                                   << ""
                                                   << "AA(OB;50%)-ZC(000001)-";
        QTest::newRow("non-Latin")
            << "AA" << QStringLiteral("漢字Ñ") << "" << QStringLiteral("AA(漢字Ñ)-ZC(000001)-");
        QTest::newRow("300 chars") << "AA" << QString(300, QLatin1Char('v')) << ""
                                   << "AA(" + QString(300, QLatin1Char('v')) + ")-ZC(000001)-";
        QTest::newRow("Z number") << "zc"
                                  << "12,9"
                                  << ""
                                  << "AA(Y)-ZC(000012)-";
        QTest::newRow("code not carried") << "QQ"
                                          << "1"
                                          << ""
                                          << "AA(Y)-ZC(000001)-";
        QTest::newRow("parenthesis") << "AA"
                                     << "A(B"
                                     << "El valor de sufijo no puede contener"
                                     << "AA(Y)-ZC(000001)-";
        QTest::newRow("hyphen") << "AA"
                                << "A-B"
                                << "El valor de sufijo no puede contener"
                                << "AA(Y)-ZC(000001)-";
        QTest::newRow("Z negative") << "ZC"
                                    << "-3"
                                    << "El valor de sufijo no puede ser negativo"
                                    << "AA(Y)-ZC(000001)-";
        QTest::newRow("Z text") << "ZC"
                                << "abc"
                                << "El valor de sufijo tiene que ser numerico"
                                << "AA(Y)-ZC(000001)-";
        QTest::newRow("short code") << "A"
                                    << "X"
                                    << "Codigo de sufijo inválido"
                                    << "AA(Y)-ZC(000001)-";
        QTest::newRow("empty value") << "AA"
                                     << "  "
                                     << "El valor de sufijo no puede estar vacio"
                                     << "AA(Y)-ZC(000001)-";
    }
    void setSuffix() {
        QFETCH(QString, codigo);
        QFETCH(QString, texto);
        QFETCH(QString, mensaje);
        QFETCH(QString, fila0002);
        ScriptedUi& seam = ScriptedUi::current();
        bool abierto = false;
        seam.onForm(QStringLiteral("frmSetSufijos"), [&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Establecer Sufijo"));
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCodSufijo"))->setText(codigo);
            dialog.findChild<QLineEdit*>(QStringLiteral("txtSufijoValor"))->setText(texto);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdEstablcer"))->click();
            abierto = dialog.isVisible();
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            QVERIFY(entrada(frm, "mnuEstablecerSufijo").isEnabled());
            grid.select(5, 0, 1, grid.cols() - 1);
            seam.answerBoxes({mensaje.isEmpty() ? MsgResult::Yes : MsgResult::Ok});
            entrada(frm, "mnuEstablecerSufijo").trigger();
            QCOMPARE(SufijosSeleccionados.get().size(), 5);
            QCOMPARE(SufijosSeleccionados.get().at(0),
                     (SufijoSeleccionado{kA, "0001", "0000", "AA(MARCA1)-AB(M1)-"}));
            QCOMPARE(SufijosSeleccionados.get().at(4).ISBT, QStringLiteral("0004"));
            QCOMPARE(seam.boxes.size(), 1);
            if (mensaje.isEmpty()) {
                QVERIFY(seam.boxes.at(0).text.startsWith(
                    QStringLiteral("Confirmar establer el valor ")));
                QVERIFY(seam.boxes.at(0).text.endsWith(QStringLiteral(", en todos los ITEM's?")));
                QVERIFY(!abierto);
            } else {
                esperaCaja(mensaje, MsgIcon::Exclamation);
                QVERIFY(abierto);
            }
            QCOMPARE(valor(QStringLiteral("SELECT CSBTSVL FROM SBT WHERE IDDT = "
                                          "'77001IC04000001A' AND NART = '0001' AND ISBT = "
                                          "'0002'")),
                     fila0002);
            // Rows without the code keep their strings; nothing is marked.
            QCOMPARE(valor(QStringLiteral("SELECT CSBTSVL FROM SBT WHERE IDDT = "
                                          "'77001IC04000001A' AND NART = '0001' AND ISBT = "
                                          "'0004'")),
                     QStringLiteral("XX(AXB)-BBBB-"));
            QCOMPARE(valor(QStringLiteral("SELECT count(*) FROM ART WHERE CARTETA = 'I'")),
                     QStringLiteral("0"));
            // The grid is read again either way.
            QCOMPARE(grid.textMatrix(3, 6), fila0002);
        });
    }

    // --- subitem editor

    void subitemEditor() {
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmSubitemDetalle"), [](QDialog& dialog) {
            auto caja = [&](const char* name) {
                return dialog.findChild<QLineEdit*>(QLatin1String(name));
            };
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbTitulo"))->text(),
                     QStringLiteral("Item 0001 - SubItem 0001"));
            QCOMPARE(caja("txtCantidadDeclarada")->text(), QStringLiteral("02,00"));
            QCOMPARE(caja("txtPrecioUnitario")->text(), QStringLiteral("02,00000"));
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbFOBTotal"))->text(),
                     QStringLiteral("39,00"));
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbFobTotalItem"))->text(),
                     QStringLiteral("20,00"));
            caja("txtPrecioUnitario")->setText(QStringLiteral("2,5"));
            caja("txtCantidadDeclarada")->setText(QStringLiteral("4"));
            QCOMPARE(caja("txtFobTotal")->text(), QStringLiteral("10,00"));
            QCOMPARE(caja("txtPrecioUnitario")->text(), QStringLiteral("02,50000"));
            QCOMPARE(caja("txtCantidadEstadistica")->text(), QStringLiteral("4"));
            QTest::keyClick(&dialog, Qt::Key_F11);
            QVERIFY(!dialog.isVisible());
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            grid.setCurrentCell(2, 0);
            emit grid.dblClick();
            QCOMPARE(valor(QStringLiteral("SELECT QSBTUNTDCL || ':' || QSBTUNTEST || ':' || "
                                          "MSBTUNITAR || ':' || MSBTFOB FROM SBT WHERE ISBT = "
                                          "'0001' AND NART = '0001'")),
                     QStringLiteral("4.0:4.0:2.5:10.0"));
            // The item follows its subitems, the header its items; both are marked.
            QCOMPARE(valor(QStringLiteral("SELECT QARTUNTDCL || ':' || MARTFOB || CARTETA FROM "
                                          "ART WHERE NART = '0001' AND IDDT = "
                                          "'77001IC04000001A'")),
                     QStringLiteral("12.0:26.0I"));
            QCOMPARE(valor(QStringLiteral("SELECT MDDTFOB || CDDTSTUSGG FROM DDT WHERE IDDT = "
                                          "'77001IC04000001A'")),
                     QStringLiteral("45.0I"));
            QCOMPARE(grid.row(), 2);
            QCOMPARE(grid.textMatrix(2, 12), QStringLiteral("10,00"));
        });
        QVERIFY(seam.boxes.isEmpty());
    }

    // The FOB typed key by key recomputes the unit price and stays as typed (a zero quantity
    // keeps the unit price); F11 saves a subitem's row, or for the item's own row ("0000") the
    // item's values, and marks the item.
    void subitemEditorCoupling_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("subitem");
        QTest::addColumn<QString>("cantidad"); // typed first when not null
        QTest::addColumn<QString>("fob");
        QTest::addColumn<QStringList>("esperado"); // declared quantity, unit price, FOB
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("guardado");
        const QString sbt = QStringLiteral(
            "SELECT QSBTUNTDCL || ':' || QSBTUNTEST || ':' || MSBTUNITAR || ':' || MSBTFOB || "
            "ART.CARTETA FROM SBT JOIN ART ON SBT.IDDT = ART.IDDT AND SBT.NART = ART.NART WHERE "
            "SBT.IDDT = '77001IC04000001A' AND SBT.NART = '0001' AND ISBT = '0001'");
        const QString art = QStringLiteral(
            "SELECT QARTUNTDCL || ':' || QARTUNTEST || ':' || MARTUNITAR || ':' || MARTFOB || "
            "CARTETA FROM ART WHERE IDDT = '77001IC04000001A' AND NART = '0002'");
        QTest::newRow("es_AR, subitem")
            << "es_AR" << 2 << "0001" << QString() << "5" << QStringList{"02,00", "02,50000", "5"}
            << sbt << "2.0:2.0:2.5:5.0I";
        QTest::newRow("en_US, subitem")
            << "en_US" << 2 << "0001" << QString() << "12.5"
            << QStringList{"02.00", "06.25000", "12.5"} << sbt << "2.0:2.0:6.25:12.5I";
        QTest::newRow("zero quantity keeps the unit price")
            << "es_AR" << 2 << "0001"
            << "00,00"
            << "5" << QStringList{"00,00", "02,00000", "5"} << sbt << "0.0:0.0:2.0:5.0I";
        QTest::newRow("item's own row")
            << "es_AR" << 6 << "0000" << QString() << "12" << QStringList{"05,00", "02,40000", "12"}
            << art << "5.0:5.0:2.4:12.0I";
    }
    void subitemEditorCoupling() {
        QFETCH(QString, locale);
        QFETCH(int, fila);
        QFETCH(QString, subitem);
        QFETCH(QString, cantidad);
        QFETCH(QString, fob);
        QFETCH(QStringList, esperado);
        QFETCH(QString, consulta);
        QFETCH(QString, guardado);
        QLocale::setDefault(QLocale(locale));
        ScriptedUi& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmSubitemDetalle"), [&](QDialog& dialog) {
            auto caja = [&](const char* name) {
                return dialog.findChild<QLineEdit*>(QLatin1String(name));
            };
            if (!cantidad.isNull())
                caja("txtCantidadDeclarada")->setText(cantidad);
            caja("txtFobTotal")->clear();
            QTest::keyClicks(caja("txtFobTotal"), fob);
            QCOMPARE(QStringList({caja("txtCantidadDeclarada")->text(),
                                  caja("txtPrecioUnitario")->text(), caja("txtFobTotal")->text()}),
                     esperado);
            QTest::keyClick(&dialog, Qt::Key_F11);
            QVERIFY(!dialog.isVisible());
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            FlexGrid& grid = grilla(frm);
            tecla(frm, Qt::Key_F2);
            grid.setCurrentCell(fila, 0);
            QCOMPARE(grid.textMatrix(fila, 4), subitem);
            emit grid.dblClick();
            QCOMPARE(valor(consulta), guardado);
        });
        QVERIFY(seam.boxes.isEmpty());
    }

    // Every text box with odd input: refused with its message, nothing written, the editor
    // stays open and usable.
    void subitemEditorInput_data() {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("declared, quote") << "txtCantidadDeclarada"
                                         << "1'; DELETE"
                                         << "Cantidad Declarada tiene que tener un valor numerico";
        QTest::newRow("declared, 300 chars")
            << "txtCantidadDeclarada" << QString(300, QLatin1Char('9')) + "x"
            << "Cantidad Declarada tiene que tener un valor numerico";
        // The keyboard's point under a comma locale is no group mark (not 75).
        QTest::newRow("declared, keyboard point")
            << "txtCantidadDeclarada"
            << "7.5"
            << "Cantidad Declarada tiene que tener un valor numerico";
        QTest::newRow("statistical, semicolon")
            << "txtCantidadEstadistica"
            << "2;3"
            << "Cantidad Estadistica tiene que tener un valor numerico";
        QTest::newRow("statistical differs")
            << "txtCantidadEstadistica"
            << "3"
            << "Cantidad declarada debe ser igual Cantidad Estaditica";
        QTest::newRow("unit price, percent") << "txtPrecioUnitario"
                                             << "50%"
                                             << "Precio Unitario tiene que tener un valor numerico";
        QTest::newRow("FOB, non-Latin") << "txtFobTotal" << QStringLiteral("漢字")
                                        << "Fob Total tiene que tener un valor numerico";
        // Numbers the catalog cannot hold are refused before anything is written.
        QTest::newRow("declared, twenty nines")
            << "txtCantidadDeclarada" << QString(20, QLatin1Char('9')) << "Desbordamiento";
        QTest::newRow("unit price beyond five decimals' range") << "txtPrecioUnitario"
                                                                << "10000000000"
                                                                << "Desbordamiento";
        QTest::newRow("FOB, exponent") << "txtFobTotal"
                                       << "1E+13"
                                       << "Desbordamiento";
        // Just under the limit, past it once rounded to the box's decimals.
        QTest::newRow("declared, rounds to 1E+13") << "txtCantidadDeclarada"
                                                   << "9999999999999,996"
                                                   << "Desbordamiento";
        QTest::newRow("unit price, rounds to 1E+10") << "txtPrecioUnitario"
                                                     << "9999999999,999996"
                                                     << "Desbordamiento";
        QTest::newRow("FOB, rounds to 1E+13") << "txtFobTotal"
                                              << "9999999999999,996"
                                              << "Desbordamiento";
    }
    void subitemEditorInput() {
        QFETCH(QString, caja);
        QFETCH(QString, texto);
        QFETCH(QString, mensaje);
        ScriptedUi& seam = ScriptedUi::current();
        bool abierto = false;
        seam.onForm(QStringLiteral("frmSubitemDetalle"), [&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(caja)->setText(texto);
            QTest::keyClick(&dialog, Qt::Key_F11);
            abierto = dialog.isVisible();
        });
        abrir(kA, [&](frmArmadoITEM& frm) {
            const QString antes = estadoA();
            tecla(frm, Qt::Key_F2);
            grilla(frm).setCurrentCell(2, 0);
            seam.answerBoxes({MsgResult::Ok});
            emit grilla(frm).dblClick();
            QCOMPARE(seam.boxes.size(), 1);
            // The overflow comes from the error guard, which shows no icon.
            esperaCaja(mensaje, mensaje == QLatin1String("Desbordamiento") ? MsgIcon::None
                                                                           : MsgIcon::Exclamation);
            QVERIFY(abierto);
            QCOMPARE(estadoA(), antes);
        });
    }

    // --- exports

    void exportItems() {
        ScriptedUi& seam = ScriptedUi::current();
        QTemporaryDir dir;
        seam.answerSaveDialog(dir.filePath(QStringLiteral("items")));
        seam.answerBoxes({MsgResult::Ok});
        abrir(kB, [&](frmArmadoITEM& frm) { tecla(frm, Qt::Key_F11); });
        QCOMPARE(seam.fileDialogs.size(), 1);
        QCOMPARE(seam.fileDialogs.at(0).request.title, QStringLiteral("Guardar Reporte Items"));
        QCOMPARE(seam.fileDialogs.at(0).request.proposedName,
                 QStringLiteral("77002IC04000002B.xls"));
        const QString ruta = dir.filePath(QStringLiteral("items.xls"));
        QCOMPARE(seam.boxes.at(0).text, QStringLiteral("se genero el archivo ") + ruta);
        QFile file(ruta);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("Item\tNCM\tLista\tOrigen\tProceden\tUnidad\tCantidad\tEstadistica\t"
                            "Cantidasd Est\tKiloNeto\tFOB\tFLETE\tSEGURO\tAj Inc\tAj Ded\t"
                            "Ventajas\tInfo Ad.\tDocumentos\r\n"
                            "0001\t3333.33.33.333C\tL 1\t200\t\t07\t1.234,50\t07\t1.234,50\t"
                            "10,500\t1.234,50\t1,00\t0,50\t\t\tACE18 - BK\t\t\r\n\r\n"));
    }

    void exportArticles() {
        ScriptedUi& seam = ScriptedUi::current();
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("arts"));
        seam.answerSaveDialog(ruta);
        seam.answerBoxes({MsgResult::Ok});
        abrir(kB, [&](frmArmadoITEM& frm) {
            tecla(frm, Qt::Key_F2);
            tecla(frm, Qt::Key_F11);
        });
        QCOMPARE(seam.fileDialogs.at(0).request.title, QStringLiteral("Guardar Reporte Articulos"));
        QCOMPARE(seam.fileDialogs.at(0).request.proposedName,
                 QStringLiteral("77002IC04000002B articulos.xls"));
        QFile file(ruta);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("Despacho\tCodigo\tItem\tSubItem\tNCM\tSufijos\tUnidad\tCantidad\t"
                            "Estadistica\tCantidad Est\tUnitario\tTotal\r\n"
                            "77002IC04000002B\tCOD-1\t\"0001\"\t\"0000\"\t3333.33.33.333C\t"
                            "AA(X Y\xD1)-\t07\t1234,50\t07\t1234,50\t1,00000\t1234,50\r\n\r\n"));
    }

    // A folder that cannot be written: the writer's error in the export's box, no file.
    void exportFailures_data() {
        QTest::addColumn<int>("modoKey");
        QTest::addColumn<QString>("ubicacion");
        QTest::newRow("items") << int(Qt::Key_F1) << "Corvelix.frmArmadoITEM.ExportarEXCEL (";
        QTest::newRow("articles") << int(Qt::Key_F2)
                                  << "Corvelix.frmArmadoITEM.exportarExcelArticulos (";
    }
    void exportFailures() {
        QFETCH(int, modoKey);
        QFETCH(QString, ubicacion);
        ScriptedUi& seam = ScriptedUi::current();
        QTemporaryDir dir;
        // A folder that is a file: no user, root included, can write below it.
        QFile bloqueo(dir.filePath(QStringLiteral("carpeta")));
        QVERIFY(bloqueo.open(QIODevice::WriteOnly));
        bloqueo.close();
        const QString ruta = dir.filePath(QStringLiteral("carpeta/x.xls"));
        seam.answerSaveDialog(ruta);
        seam.answerBoxes({MsgResult::Ok});
        abrir(kB, [&](frmArmadoITEM& frm) {
            tecla(frm, modoKey);
            tecla(frm, Qt::Key_F11);
            QVERIFY(frm.isVisible());
        });
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY2(seam.boxes.at(0).text.contains(ubicacion), qPrintable(seam.boxes.at(0).text));
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"carpeta"}));
        QCOMPARE(bloqueo.size(), 0);
    }

    void exportWithoutItems() {
        ScriptedUi& seam = ScriptedUi::current();
        QTemporaryDir dir;
        seam.answerSaveDialog(dir.filePath(QStringLiteral("vacio.xls")));
        seam.answerBoxes({MsgResult::Ok});
        abrir(QStringLiteral("77003IC04000003C"),
              [&](frmArmadoITEM& frm) { tecla(frm, Qt::Key_F11); });
        esperaCaja(QStringLiteral("No hay registro para generar el reporte en excel"),
                   MsgIcon::Exclamation);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("vacio.xls"))));
    }

    // F11 in the liquidation mode writes the one-sheet liquidation workbook.
    void exportLiquidation() {
        ScriptedUi& seam = ScriptedUi::current();
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("liq.xls"));
        seam.answerSaveDialog(ruta);
        seam.answerBoxes({MsgResult::Ok});
        abrir(kB, [&](frmArmadoITEM& frm) {
            tecla(frm, Qt::Key_F4);
            tecla(frm, Qt::Key_F11);
        });
        QCOMPARE(seam.fileDialogs.size(), 1);
        QCOMPARE(seam.fileDialogs.at(0).request.title,
                 QStringLiteral("Exportar Liquidacion de 77002IC04000002B a Excel"));
        QCOMPARE(seam.fileDialogs.at(0).request.proposedName,
                 QStringLiteral("77002IC04000002B REF.xls"));
        esperaCaja(QStringLiteral("Se genero el archivo ") + ruta, MsgIcon::Information);
        QFile file(ruta);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray libro = file.readAll();
        QCOMPARE(libro.count("<Worksheet "), 1);
        QVERIFY(libro.contains("ss:Name=\"Liquidacion Items\""));
    }
};

CORVELIX_TEST(tst_AccionesArmado)
#include "tst_AccionesArmado.moc"
