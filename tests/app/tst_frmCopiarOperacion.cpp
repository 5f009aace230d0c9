#include "app/frmCopiarOperacion.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QCheckBox>
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

const QString kOrigen = QStringLiteral("26001IC04000001A");
const QString kPlain = QStringLiteral("26001IC04000002B");
const QString kSimi = QStringLiteral("26001SIMI000003C");
const QString kIda = QStringLiteral("26001IDA4000004D");
const QString kLower = QStringLiteral("26001IC04sira05E");

// The origin has one item drawn from a SIMI, complementary information and an invoice; every
// destination has an item, information and an invoice of its own.
const QString kSeed = QStringLiteral(R"(
INSERT INTO DDT (IDDT, CDDTAGR, DDDTOFICIA, IEXT) VALUES
 ('26001IC04000001A', 'AGENTE UNO', '2026-03-15 00:00:00', 'ORIGEN'),
 ('26001IC04000002B', 'AGENTE DOS', '2026-03-16 14:30:00', 'D1'),
 ('26001SIMI000003C', NULL, NULL, 'D2'),
 ('26001IDA4000004D', 'AGENTE TRES', '2026-03-18 00:00:00', 'D3'),
 ('26001IC04sira05E', 'AGENTE CUATRO', '2026-03-19 00:00:00', 'D4');
INSERT INTO ART (IDDT, NART, NARTEXT, NARTAPU, IDDTAPU, MARTFOB) VALUES
 ('26001IC04000001A', '0001', '0001', '0007', '25001SIMI000099Z', 100);
INSERT INTO SBT (IDDT, NART, ISBT, ISBTREF) VALUES ('26001IC04000001A', '0001', '0000', '0003');
INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES ('26001IC04000001A', '0001', 'MARCA', 'D', 'ACME');
INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) VALUES ('26001IC04000001A', '0000', 'FACTURACOMERCIAL', 'S', '00001-00000001');
)");

void seedDestinations() {
    for (const QString& d : {kPlain, kSimi, kIda, kLower}) {
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("INSERT INTO ART (IDDT, NART, NARTEXT, MARTFOB) "
                                              "VALUES ('%1', '0009', '0009', 9)")
                                   .arg(d)));
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) "
                                              "VALUES ('%1', '0009', 'VIEJA', 'D', 'X')")
                                   .arg(d)));
        modDA::execSQL(modDA::kCatalog,
                       testSql(QStringLiteral("INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, "
                                              "LDVDREFDOC) VALUES ('%1', '0000', "
                                              "'FACTURACOMERCIAL', 'S', '99999-99999999')")
                                   .arg(d)));
    }
}

QStringList rows(const QString& sql, const QString& despacho) {
    modDA::Recordset rs = modDA::getRs(modDA::kCatalog, testSql(sql), {despacho});
    QStringList result;
    while (!rs.eof()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << (rs.field(i).isNull() ? QStringLiteral("<null>") : rs.field(i).toString());
        result << cells.join(QLatin1Char('|'));
        rs.moveNext();
    }
    return result;
}

QStringList items(const QString& d) {
    return rows(
        QStringLiteral("SELECT NART, NARTAPU, IDDTAPU FROM ART WHERE IDDT = ? ORDER BY NART"), d);
}
QStringList subitems(const QString& d) {
    return rows(QStringLiteral("SELECT NART, ISBT, ISBTREF FROM SBT WHERE IDDT = ? ORDER BY NART"),
                d);
}
QStringList infoCompl(const QString& d) {
    return rows(QStringLiteral("SELECT NART, CCPL FROM CPL WHERE ICPL = ? ORDER BY NART"), d);
}
QStringList documents(const QString& d) {
    return rows(QStringLiteral("SELECT LDVDREFDOC FROM DVD WHERE IDVD = ?"), d);
}

QTreeWidget& lista(QDialog& frm) {
    return *frm.findChild<QTreeWidget*>(QStringLiteral("lstDestino"));
}

void choose(QDialog& frm, const QString& destino) {
    QTreeWidget& list = lista(frm);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(0) == destino)
            list.setCurrentItem(list.topLevelItem(i));
}

void copyTo(QDialog& frm, const QString& destino) {
    choose(frm, destino);
    frm.findChild<QPushButton*>(QStringLiteral("cmdCopiar"))->click();
}

QString confirmation(const QString& destino) {
    return QStringLiteral("Confirma copiar los datos del despacho ") + kOrigen +
           QStringLiteral(" al despacho ") + destino + QStringLiteral("?");
}

} // namespace

class tst_frmCopiarOperacion : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture;

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        fixture = std::make_unique<CatalogFixture>(kSeed);
        seedDestinations();
    }
    void cleanupTest() override { fixture.reset(); }
private slots:

    void design() {
        frmCopiarOperacion frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Copiar"));
        QCOMPARE(frm.findChild<QLabel*>(QStringLiteral("lbdesde"))->text(),
                 QStringLiteral("Origen"));
        QCOMPARE(frm.findChild<QCheckBox*>(QStringLiteral("chkInfoAd"))->text(),
                 QStringLiteral("Información Adicional"));
        QCOMPARE(frm.findChild<QCheckBox*>(QStringLiteral("chkDocumentos"))->text(),
                 QStringLiteral("Documentos"));
        for (const char* name : {"cmdCopiar", "cmdCancelar"}) {
            auto* b = frm.findChild<QPushButton*>(QLatin1String(name));
            QVERIFY(!b->autoDefault() && !b->isDefault());
        }
        QCOMPARE(frm.findChild<QPushButton*>(QStringLiteral("cmdCopiar"))->text(),
                 QStringLiteral("Copiar"));
        QCOMPARE(frm.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->text(),
                 QStringLiteral("Cancelar"));
        QTreeWidget& list = lista(frm);
        QCOMPARE(list.headerItem()->text(0), QStringLiteral("Despacho"));
        QCOMPARE(list.headerItem()->text(1), QStringLiteral("Despachante"));
        QCOMPARE(list.headerItem()->text(2), QStringLiteral("Fecha"));
    }

    // Every declaration, SIMI ones included, highest number first; the origin is shown.
    void loaded() {
        QStringList shown;
        QString desde;
        QString selected;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            desde = dialog.findChild<QLineEdit*>(QStringLiteral("txtDesde"))->text();
            QTreeWidget& list = lista(dialog);
            for (int i = 0; i < list.topLevelItemCount(); ++i) {
                QTreeWidgetItem* row = list.topLevelItem(i);
                shown << row->text(0) + QLatin1Char('|') + row->text(1) + QLatin1Char('|') +
                             row->text(2);
            }
            selected = list.currentItem() != nullptr ? list.currentItem()->text(0) : QString();
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        QCOMPARE(desde, kOrigen);
        QCOMPARE(shown,
                 (QStringList{"26001SIMI000003C||", "26001IDA4000004D|AGENTE TRES|18/03/2026",
                              "26001IC04sira05E|AGENTE CUATRO|19/03/2026",
                              "26001IC04000002B|AGENTE DOS|16/03/2026 14:30:00",
                              "26001IC04000001A|AGENTE UNO|15/03/2026"}));
        QCOMPARE(selected, kSimi);
    }

    void copy_data() {
        QTest::addColumn<QString>("destino");
        QTest::addColumn<bool>("infoAd");
        QTest::addColumn<bool>("docs");
        QTest::addColumn<bool>("linksCleared");
        QTest::newRow("plain, nothing optional") << kPlain << false << false << false;
        QTest::newRow("SIMI with information") << kSimi << true << false << true;
        QTest::newRow("IDA with documents") << kIda << false << true << true;
        QTest::newRow("lower-case sira, both") << kLower << true << true << false;
    }
    void copy() {
        QFETCH(QString, destino);
        QFETCH(bool, infoAd);
        QFETCH(bool, docs);
        QFETCH(bool, linksCleared);
        bool stayed = false;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("chkInfoAd"))->setChecked(infoAd);
            dialog.findChild<QCheckBox*>(QStringLiteral("chkDocumentos"))->setChecked(docs);
            ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
            copyTo(dialog, destino);
            stayed = dialog.isVisible();
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        QVERIFY(stayed);

        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, confirmation(destino));
        QCOMPARE(boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(boxes[0].icon, MsgIcon::Question);
        QCOMPARE(boxes[0].defaultButton, MsgDefault::Second);
        QCOMPARE(boxes[1].text, QStringLiteral("Fin del proceso"));
        QCOMPARE(boxes[1].icon, MsgIcon::Information);
        QVERIFY(!ScriptedUi::current().busy);

        QCOMPARE(items(destino), linksCleared ? QStringList{"0001|<null>|<null>"}
                                              : QStringList{"0001|0007|25001SIMI000099Z"});
        QCOMPARE(subitems(destino),
                 linksCleared ? QStringList{"0001|0000|<null>"} : QStringList{"0001|0000|0003"});
        QCOMPARE(infoCompl(destino),
                 infoAd ? QStringList{"0001|MARCA"} : QStringList{"0009|VIEJA"});
        QCOMPARE(documents(destino),
                 docs ? QStringList{"00001-00000001"} : QStringList{"99999-99999999"});
        // The origin keeps its links.
        QCOMPARE(items(kOrigen), QStringList{"0001|0007|25001SIMI000099Z"});
    }

    // The origin itself, or a No: nothing copied and the dialog stays.
    void refused_data() {
        QTest::addColumn<QString>("destino");
        QTest::addColumn<QString>("message");
        QTest::addColumn<MsgIcon>("icon");
        QTest::newRow("origin itself")
            << kOrigen << QStringLiteral("Despacho origen y despacho destino deben ser distintos")
            << MsgIcon::Exclamation;
        QTest::newRow("answered No") << kPlain << confirmation(kPlain) << MsgIcon::Question;
    }
    void refused() {
        QFETCH(QString, destino);
        QFETCH(QString, message);
        QFETCH(MsgIcon, icon);
        bool stayed = false;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            ScriptedUi::current().answerBoxes({destino == kOrigen ? MsgResult::Ok : MsgResult::No});
            copyTo(dialog, destino);
            stayed = dialog.isVisible();
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        QVERIFY(stayed);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, message);
        QCOMPARE(boxes[0].icon, icon);
        QVERIFY(!ScriptedUi::current().busy);
        QCOMPARE(items(kPlain), QStringList{"0009|<null>|<null>"});
        QCOMPARE(items(kOrigen), QStringList{"0001|0007|25001SIMI000099Z"});
    }

    void twoCopiesInARow() {
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            ScriptedUi::current().answerBoxes(
                {MsgResult::Yes, MsgResult::Ok, MsgResult::Yes, MsgResult::Ok});
            copyTo(dialog, kPlain);
            copyTo(dialog, kSimi);
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        QCOMPARE(ScriptedUi::current().boxes.size(), 4);
        QCOMPARE(items(kPlain), QStringList{"0001|0007|25001SIMI000099Z"});
        QCOMPARE(items(kSimi), QStringList{"0001|<null>|<null>"});
    }

    // A failure at any step, the dialog's own SIMI step included, leaves the destination as it
    // was.
    void failureRollsBack_data() {
        QTest::addColumn<QString>("destino");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("documents insert")
            << kPlain
            << QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON DVD BEGIN SELECT RAISE(ABORT, "
                              "'fallo de prueba'); END");
        QTest::newRow("SIMI links")
            << kSimi
            << QStringLiteral("CREATE TRIGGER t BEFORE UPDATE OF ISBTREF ON SBT BEGIN SELECT "
                              "RAISE(ABORT, 'fallo de prueba'); END");
    }
    void failureRollsBack() {
        QFETCH(QString, destino);
        QFETCH(QString, trigger);
        modDA::execSQL(modDA::kCatalog, testSql(trigger));
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            dialog.findChild<QCheckBox*>(QStringLiteral("chkInfoAd"))->setChecked(true);
            dialog.findChild<QCheckBox*>(QStringLiteral("chkDocumentos"))->setChecked(true);
            ScriptedUi::current().answerBoxes({MsgResult::Yes, MsgResult::Ok});
            copyTo(dialog, destino);
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        const auto& boxes = ScriptedUi::current().boxes;
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[1].text.startsWith(QLatin1String("fallo de prueba")),
                 qPrintable(boxes[1].text));
        QVERIFY2(
            boxes[1].text.contains(QLatin1String("\n\nCorvelix.frmCopiarOperacion.Copiar (0)::")),
            qPrintable(boxes[1].text));
        QCOMPARE(boxes[1].icon, MsgIcon::Exclamation);
        QVERIFY(!ScriptedUi::current().busy);
        QCOMPARE(items(destino), QStringList{"0009|<null>|<null>"});
        QCOMPARE(infoCompl(destino), QStringList{"0009|VIEJA"});
        QCOMPARE(documents(destino), QStringList{"99999-99999999"});
    }

    void cancel() {
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
            QVERIFY(!dialog.isVisible());
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        QVERIFY(frm.m_Operacion_Origen.isEmpty());
    }

    // However a showing ended (close box included), the next one loads anew.
    void activatedEveryShowing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close box") << QStringLiteral("close");
        QTest::newRow("Esc") << QStringLiteral("esc");
        QTest::newRow("Cancelar") << QStringLiteral("cancelar");
    }
    void activatedEveryShowing() {
        QFETCH(QString, how);
        QStringList shownOrigins;
        QList<int> rowCounts;
        ScriptedUi::current().onForm(QStringLiteral("frmCopiarOperacion"), [&](QDialog& dialog) {
            shownOrigins << dialog.findChild<QLineEdit*>(QStringLiteral("txtDesde"))->text();
            rowCounts << lista(dialog).topLevelItemCount();
            if (how == QLatin1String("close"))
                dialog.close();
            else if (how == QLatin1String("esc"))
                QTest::keyClick(&lista(dialog), Qt::Key_Escape);
            else
                dialog.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
            QVERIFY(!dialog.isVisible());
        });
        frmCopiarOperacion frm;
        frm.m_Operacion_Origen = kOrigen;
        ui().exec(frm);
        modDA::execSQL(modDA::kCatalog, testSql(QStringLiteral(
                                            "INSERT INTO DDT (IDDT) VALUES ('26001IC04000009Z')")));
        frm.m_Operacion_Origen = kPlain;
        ui().exec(frm);
        QCOMPARE(shownOrigins, (QStringList{kOrigen, kPlain}));
        QCOMPARE(rowCounts, (QList<int>{5, 6}));
    }
};

CORVELIX_TEST(tst_frmCopiarOperacion)
#include "tst_frmCopiarOperacion.moc"
