#include "data/modDA.h"
#include "shell/frmListado.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace corvelix;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

// Valid today (the clock is pinned to 2026-12-10) unless named otherwise.
const QString kSeed = QStringLiteral(R"(
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('BK-RES256', 'BIENES DE CAPITAL', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('ACE18', 'PREFERENCIA ACE 18 LIBRE', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('VENCIDA', 'LIBRE VENCIDA', '2000-01-01 00:00:00', '2026-12-09 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('DESC10', 'DESCUENTO 10% O''BRIEN', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO VEN (CVEN, LVENLBL, DVENEFF, DVENFIN) VALUES ('DESC1X', 'DESCUENTO 10X O BRIEN', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('NAC', 'NACIONAL');
INSERT INTO lst (CODLISTA, DESCLISTA) VALUES ('ACE18', NULL);
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('MARCA', 'MARCA', 'I', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('COD_A', 'CON GUION', 'I', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('CODXA', 'SIN GUION', 'I', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO ZCP (CZCP, LZCPDESC, IZCPIG, DZCPINI, DZCPFIN) VALUES ('GLOBAL', 'SOLO GLOBAL', 'G', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO DOC (CDOC, LDOCDESC, DDOCINI, DDOCFIN) VALUES ('CERT', 'CERTIFICADO', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO DOC (CDOC, LDOCDESC, DDOCINI, DDOCFIN) VALUES ('FACT', 'FACTURA [A]', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('USADO', 'USADO');
INSERT INTO EST (CESTCOD, LDESCRI) VALUES ('NUEVO', 'NUEVO SIN USO');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('310', 'PARAGUAY', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('203', 'BRASIL', '2099-12-31 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('499', 'YUGOSLAVIA', '2003-02-04 00:00:00');
INSERT INTO PAY (CPAY, LPAYABR, DPAYFIN) VALUES ('212', 'ARGELIA', '2099-12-31 00:00:00');
INSERT INTO PRV (CPRV, LPRV, DPRVFIN) VALUES ('02', 'CATAMARCA', '2099-12-31 00:00:00');
INSERT INTO PRV (CPRV, LPRV, DPRVFIN) VALUES ('01', 'BUENOS AIRES', '2099-12-31 00:00:00');
)");

void seedLocal() {
    modDA::execSQL(modDA::kLocal,
                   testSql(QStringLiteral(
                       "INSERT INTO INFOADICIONAL (ID, VALOR) VALUES ('SIMI-DESC', 'MERCADERIA "
                       "NUEVA'), ('MARCA', 'ACME'), ('SIN_VALOR', NULL), ('SINXVALOR', 'x')")));
}

QTreeWidget& lista(QDialog& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstDatos"));
}

QStringList rows(QDialog& frm) {
    QStringList result;
    QTreeWidget& list = lista(frm);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        result << list.topLevelItem(i)->text(0) + QLatin1Char('|') + list.topLevelItem(i)->text(1);
    return result;
}

QString selected(QDialog& frm) {
    QTreeWidgetItem* item = lista(frm).currentItem();
    return item != nullptr && item->isSelected() ? item->text(0) : QString();
}

} // namespace

class tst_frmListado : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        resetProcessStatics();
        fixture = std::make_unique<CatalogFixture>(kSeed);
        seedLocal();
    }
    void cleanupTest() override { fixture.reset(); }
private slots:

    void design() {
        frmListado frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Listado"));
        QVERIFY(frm.findChild<QLineEdit*>(QStringLiteral("txtTexto")));
        auto* filtro = frm.findChild<QPushButton*>(QStringLiteral("cmdFiltro"));
        QVERIFY(filtro->text().isEmpty() && !filtro->icon().isNull());
        QVERIFY(!filtro->autoDefault() && !filtro->isDefault());
        QCOMPARE(frm.findChild<QLabel*>(QStringLiteral("lbFiltrar"))->text(),
                 QStringLiteral("<- Click para filtrar"));
        QTreeWidget& list = lista(frm);
        QCOMPARE(list.headerItem()->text(0), QStringLiteral("Clave"));
        QCOMPARE(list.headerItem()->text(1), QStringLiteral("Valor"));
    }

    // Each list, sorted by code, the first row selected; Enter hands back its code.
    void lists_data() {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("valor"); // m_ValorDefecto afterwards
        const QString untouched = QStringLiteral("anterior");
        QTest::newRow("1 advantages")
            << 1
            << QStringList{"ACE18|PREFERENCIA ACE 18 LIBRE", "BK-RES256|BIENES DE CAPITAL",
                           "DESC10|DESCUENTO 10% O'BRIEN", "DESC1X|DESCUENTO 10X O BRIEN"}
            << untouched;
        QTest::newRow("2 lists") << 2 << QStringList{"ACE18|", "NAC|NACIONAL"} << untouched;
        QTest::newRow("3 information codes")
            << 3 << QStringList{"COD_A|CON GUION", "CODXA|SIN GUION", "MARCA|MARCA"} << untouched;
        QTest::newRow("4 documents")
            << 4 << QStringList{"CERT|CERTIFICADO", "FACT|FACTURA [A]"} << untouched;
        QTest::newRow("5 states") << 5 << QStringList{"NUEVO|NUEVO SIN USO", "USADO|USADO"}
                                  << untouched;
        QTest::newRow("6 countries")
            << 6 << QStringList{"203|BRASIL", "212|ARGELIA", "310|PARAGUAY"} << untouched;
        QTest::newRow("7 provinces")
            << 7 << QStringList{"01|BUENOS AIRES", "02|CATAMARCA"} << untouched;
        QTest::newRow("50 ready-made information")
            << 50
            << QStringList{"MARCA|ACME", "SIMI-DESC|MERCADERIA NUEVA", "SIN_VALOR|", "SINXVALOR|x"}
            << QStringLiteral("ACME");
    }
    void lists() {
        QFETCH(int, tabla);
        QFETCH(QStringList, expected);
        QFETCH(QString, valor);
        frmListado::m_ValorDefecto = QStringLiteral("anterior");
        QStringList shown;
        QString first;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            shown = rows(dialog);
            first = selected(dialog);
            QTest::keyClick(&lista(dialog), Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        });
        frmListado frm;
        frm.m_Tabla = tabla;
        frm.m_Salida = QStringLiteral("viejo");
        QCOMPARE(ui().exec(frm), int(QDialog::Accepted));
        QCOMPARE(shown, expected);
        QCOMPARE(first, expected.first().section(QLatin1Char('|'), 0, 0));
        QCOMPARE(frm.m_Salida, first);
        QCOMPARE(frmListado::m_ValorDefecto.get(), valor);
        QCOMPARE(lista(frm).columnWidth(0), 160);
        QCOMPARE(lista(frm).columnWidth(1), 373);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // The filter is plain text: a quote becomes a blank, "%", "_" and "[" match themselves.
    void filter_data() {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("description, any case")
            << 1 << QStringLiteral("libre") << QStringList{"ACE18"};
        QTest::newRow("code") << 1 << QStringLiteral("res2") << QStringList{"BK-RES256"};
        QTest::newRow("quote becomes blank")
            << 1 << QStringLiteral("O'BRIEN") << QStringList{"DESC1X"};
        QTest::newRow("percent") << 1 << QStringLiteral("10%") << QStringList{"DESC10"};
        QTest::newRow("underscore") << 3 << QStringLiteral("D_A") << QStringList{"COD_A"};
        QTest::newRow("bracket") << 4 << QStringLiteral("[A]") << QStringList{"FACT"};
        QTest::newRow("no match") << 4 << QStringLiteral("zzz") << QStringList{};
        QTest::newRow("50 on ID") << 50 << QStringLiteral("N_V") << QStringList{"SIN_VALOR"};
        QTest::newRow("50 not on VALOR") << 50 << QStringLiteral("ACME") << QStringList{};
        QTest::newRow("countries ignore it")
            << 6 << QStringLiteral("zzz") << QStringList{"203", "212", "310"};
        QTest::newRow("lists ignore it")
            << 2 << QStringLiteral("NAC") << QStringList{"ACE18", "NAC"};
    }
    void filter() {
        QFETCH(int, tabla);
        QFETCH(QString, texto);
        QFETCH(QStringList, codes);
        QStringList shown;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtTexto"))->setText(texto);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdFiltro"))->click();
            for (const QString& row : rows(dialog))
                shown << row.section(QLatin1Char('|'), 0, 0);
        });
        frmListado frm;
        frm.m_Tabla = tabla;
        ui().exec(frm);
        QCOMPARE(shown, codes);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void emptyFilterWarns_data() {
        QTest::addColumn<QString>("texto");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
    }
    void emptyFilterWarns() {
        QFETCH(QString, texto);
        QStringList before;
        QStringList after;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            before = rows(dialog);
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
            dialog.findChild<QLineEdit*>(QStringLiteral("txtTexto"))->setText(texto);
            dialog.findChild<QPushButton*>(QStringLiteral("cmdFiltro"))->click();
            QCoreApplication::processEvents();
            after = rows(dialog);
        });
        frmListado frm;
        frm.m_Tabla = 7;
        ui().exec(frm);
        QCOMPARE(after, before);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("Debes ingresar algo de texto para buscar!"));
        QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
    }

    // Esc from the text, from the list, or the close box: nothing handed back.
    void leaving_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc in text") << QStringLiteral("text");
        QTest::newRow("Esc in list") << QStringLiteral("list");
        QTest::newRow("close box") << QStringLiteral("close");
    }
    void leaving() {
        QFETCH(QString, how);
        frmListado::m_ValorDefecto = QStringLiteral("anterior");
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            if (how == QLatin1String("text"))
                QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("txtTexto")),
                                Qt::Key_Escape);
            else if (how == QLatin1String("list"))
                QTest::keyClick(&lista(dialog), Qt::Key_Escape);
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
        });
        frmListado frm;
        frm.m_Tabla = 50;
        frm.m_Salida = QStringLiteral("viejo");
        QCOMPARE(ui().exec(frm), int(QDialog::Rejected));
        QCOMPARE(frm.m_Salida, QString());
        QCOMPARE(frmListado::m_ValorDefecto.get(), QStringLiteral("anterior"));
    }

    // Typing finds the first code that starts with the text; Up and Down move; Enter accepts.
    void typingAndMoving() {
        QStringList seen;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("txtTexto"));
            QTest::keyClicks(text, QStringLiteral("21"));
            seen << selected(dialog);
            text->setText(QStringLiteral("9"));
            seen << selected(dialog); // no match: the selection stays
            QTest::keyClick(text, Qt::Key_Down);
            seen << selected(dialog);
            QTest::keyClick(text, Qt::Key_Down); // last row: stays
            seen << selected(dialog);
            QTest::keyClick(text, Qt::Key_Up);
            QTest::keyClick(text, Qt::Key_Up);
            QTest::keyClick(text, Qt::Key_Up); // first row: stays
            seen << selected(dialog);
            QCOMPARE(text->text(), QStringLiteral("9")); // the keys were swallowed
            QTest::keyClick(text, Qt::Key_Down);
            QTest::keyClick(text, Qt::Key_Return);
        });
        frmListado frm;
        frm.m_Tabla = 6;
        ui().exec(frm);
        QCOMPARE(seen, (QStringList{"212", "212", "310", "310", "203"}));
        QCOMPARE(frm.m_Salida, QStringLiteral("212"));
    }

    // A header click flips the one sort direction and sorts by that column.
    void columnSort() {
        QList<QStringList> orders;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            QHeaderView* header = lista(dialog).header();
            const auto click = [&](int column) {
                emit header->sectionClicked(column);
                QStringList codes;
                for (const QString& row : rows(dialog))
                    codes << row.section(QLatin1Char('|'), 0, 0);
                orders << codes;
            };
            click(1);
            click(1);
            click(0);
        });
        frmListado frm;
        frm.m_Tabla = 6;
        ui().exec(frm);
        // PARAGUAY, BRASIL, ARGELIA: descending, since the load sorted ascending.
        QCOMPARE(orders.value(0), (QStringList{"310", "203", "212"}));
        QCOMPARE(orders.value(1), (QStringList{"212", "203", "310"}));
        QCOMPARE(orders.value(2), (QStringList{"310", "212", "203"}));
    }

    void unknownList() {
        bool stayedOpen = false;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"),
                                     [&](QDialog& dialog) { stayedOpen = dialog.isVisible(); });
        frmListado frm;
        frm.m_Tabla = 9;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        ui().exec(frm);
        QVERIFY(stayedOpen);
        QVERIFY(rows(frm).isEmpty());
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("parametro invalido: 9\n\nCorvelix.frmListado."
                                               "cargarListado.::Corvelix.frmListado.getSQLbyTabla "
                                               "(0)::getSQL linea 40"));
        QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
        QCOMPARE(boxes[0].icon, MsgIcon::None);
    }

    // Loaded once per showing: a box does not reload it, the next showing does.
    void loadedOncePerShowing() {
        int showings = 0;
        QStringList afterBox;
        QStringList secondShowing;
        ScriptedUi::current().onForm(QStringLiteral("frmListado"), [&](QDialog& dialog) {
            ++showings;
            if (showings == 1) {
                auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("txtTexto"));
                text->setText(QStringLiteral("res"));
                dialog.findChild<QPushButton*>(QStringLiteral("cmdFiltro"))->click();
                text->clear();
                ScriptedUi::current().answerBoxes({MsgResult::Ok});
                dialog.findChild<QPushButton*>(QStringLiteral("cmdFiltro"))->click(); // a box
                QCoreApplication::processEvents();
                afterBox = rows(dialog);
                QTest::keyClick(&lista(dialog), Qt::Key_Escape);
            } else {
                secondShowing = rows(dialog);
            }
        });
        frmListado frm;
        frm.m_Tabla = 1;
        ui().exec(frm);
        ui().exec(frm);
        QCOMPARE(afterBox, QStringList{"BK-RES256|BIENES DE CAPITAL"});
        QCOMPARE(secondShowing.size(), 4);
    }
};

CORVELIX_TEST(tst_frmListado)
#include "tst_frmListado.moc"
