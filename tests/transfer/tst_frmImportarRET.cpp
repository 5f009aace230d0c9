#include "runtime/Ui.h"
#include "runtime/VbError.h"
#include "data/modDA.h"
#include "support/CatalogFixture.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "transfer/frmImportarRET.h"
#include "transfer/frmRET2TXT.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kSeed = QStringLiteral(R"(
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('IC04', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('IDA4', '2000-01-01 00:00:00', '2099-12-31 00:00:00');
INSERT INTO STA (ISTA, DSTAEFF, DSTAFIN) VALUES ('DJAI', '2012-02-01 00:00:00', '2015-06-30 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('FOB', 'FREE ON BOARD', '2099-12-31 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('CIF', 'COST INSURANCE FREIGHT', '2099-12-31 00:00:00');
INSERT INTO INC (CINC, LINC, DINCFIN) VALUES ('DAF', 'DELIVERED AT FRONTIER', '2015-06-30 00:00:00');
)");

QString muestra(const QString& nombre) {
    return QStringLiteral(CORVELIX_RET_DATA "/") + nombre;
}

template <class T> T* hijo(QWidget& w, const char* name) {
    auto* found = w.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("control %s not found", name);
    return found;
}

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the confirmation window did in one showing.
struct Confirmacion {
    QStringList mostrado; // the five controls as shown
    QStringList subregimenes;
    QStringList condiciones;
};

} // namespace

class tst_frmImportarRET : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> catalog_;
    QTemporaryDir dir_;

    // Fills the confirmation window as given (null: leave) and presses `boton`.
    void responderConfirmacion(Confirmacion& visto, const QStringList& escribir,
                               const char* boton = "cmdConfirmar") {
        ScriptedUi::current().onForm(
            QStringLiteral("frmRET2TXT"), [&visto, escribir, boton](QDialog& d) {
                QList<QWidget*> controles = {
                    hijo<QLineEdit>(d, "txtCUITDespachante"),
                    hijo<QLineEdit>(d, "txtCUITImportador"), hijo<QLineEdit>(d, "txtAduana"),
                    hijo<QComboBox>(d, "cboSubReg"), hijo<QComboBox>(d, "cboCondicionVenta")};
                visto = {};
                for (int i = 0; i < controles.size(); ++i) {
                    auto* box = qobject_cast<QLineEdit*>(controles[i]);
                    auto* combo = qobject_cast<QComboBox*>(controles[i]);
                    visto.mostrado << (box != nullptr ? box->text() : combo->currentText());
                    if (i < escribir.size() && !escribir[i].isNull()) {
                        if (box != nullptr)
                            box->setText(escribir[i]);
                        else
                            combo->setEditText(escribir[i]);
                    }
                }
                for (int i = 0; i < hijo<QComboBox>(d, "cboSubReg")->count(); ++i)
                    visto.subregimenes << hijo<QComboBox>(d, "cboSubReg")->itemText(i);
                for (int i = 0; i < hijo<QComboBox>(d, "cboCondicionVenta")->count(); ++i)
                    visto.condiciones << hijo<QComboBox>(d, "cboCondicionVenta")->itemText(i);
                hijo<QPushButton>(d, boton)->click();
            });
    }

    static void elegir(frmImportarRET& frm, const QString& c, const QString& i) {
        hijo<QLineEdit>(frm, "txtArchivoRet")->setText(c);
        hijo<QLineEdit>(frm, "txtArchivoRET_I")->setText(i);
    }

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        catalog_ = std::make_unique<CatalogFixture>(kSeed);
    }
    void cleanupTest() override { catalog_.reset(); }
private slots:

    void design() {
        frmImportarRET frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Corvelix"));
        QCOMPARE(hijo<QLabel>(frm, "lbTitulo")->text(), QStringLiteral("Convertir RET a TXT"));
        QCOMPARE(hijo<QPushButton>(frm, "cmdImportar")->text(), QStringLiteral("Generar"));
        QCOMPARE(hijo<QPushButton>(frm, "cmdCerrar")->text(), QStringLiteral("Cerrar"));
        QCOMPARE(hijo<QCheckBox>(frm, "chkOmitirCPLCaratula")->text(),
                 QStringLiteral("Omitir Información Complementaria Caratula"));
        QCOMPARE(hijo<QCheckBox>(frm, "chkOmitirInformacionComplementariaItem")->text(),
                 QStringLiteral("Omitir Informacion Complementaria Item"));
        for (QPushButton* b : frm.findChildren<QPushButton*>())
            QVERIFY(!b->autoDefault() && !b->isDefault());
    }

    // The "..." buttons: the open dialog with its filter; a cancelled one leaves the path.
    void chooseFiles() {
        frmImportarRET frm;
        auto& seam = ScriptedUi::current();
        seam.answerOpenDialog(QStringLiteral("/datos/C1.ret"));
        hijo<QPushButton>(frm, "cmdSeleccionar")->click();
        seam.answerOpenDialog(QString());
        hijo<QPushButton>(frm, "cmdSeleccionar")->click();
        seam.answerOpenDialog(QStringLiteral("/datos/I1.ret"));
        hijo<QPushButton>(frm, "cmdSeleccionarI")->click();
        QCOMPARE(hijo<QLineEdit>(frm, "txtArchivoRet")->text(), QStringLiteral("/datos/C1.ret"));
        QCOMPARE(hijo<QLineEdit>(frm, "txtArchivoRET_I")->text(), QStringLiteral("/datos/I1.ret"));
        QCOMPARE(seam.fileDialogs.size(), 3);
        QCOMPARE(seam.fileDialogs[0].request.title, QStringLiteral("Importar archivo RET"));
        QCOMPARE(seam.fileDialogs[0].request.filters,
                 (QList<corvelix::FileFilter>{{"Archivos RET (c*.*)", "c*.*"}}));
        QCOMPARE(seam.fileDialogs[2].request.filters,
                 (QList<corvelix::FileFilter>{{"Archivos RET (i*.*)", "i*.*"}}));
    }

    void missingPaths_data() {
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("i");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("no header") << ""
                                   << "I.ret"
                                   << "debe seleccionar el archivo C*.ret";
        QTest::newRow("no items") << "C.ret"
                                  << ""
                                  << "debe seleccionar el archivo I*.ret";
    }
    void missingPaths() {
        QFETCH(QString, c);
        QFETCH(QString, i);
        QFETCH(QString, mensaje);
        frmImportarRET frm;
        ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        elegir(frm, c, i);
        hijo<QPushButton>(frm, "cmdImportar")->click();
        auto& seam = ScriptedUi::current();
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, mensaje);
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(seam.shownForms.isEmpty());
    }

    // The whole road: confirmation shows the header's values and the valid codes, the save
    // dialog proposes the cleaned reference, ".txt" is added, the file is the expected one.
    void plainPairWritesFile() {
        Confirmacion visto;
        responderConfirmacion(visto, {});
        auto& seam = ScriptedUi::current();
        const QString ruta = dir_.filePath(QStringLiteral("Año 2026/transfer"));
        QVERIFY(QDir().mkpath(QFileInfo(ruta).path()));
        seam.answerSaveDialog(ruta);
        frmImportarRET frm;
        frm.setObjectName(QStringLiteral("frmImportarRET"));
        elegir(frm, muestra(QStringLiteral("Cplano.ret")), muestra(QStringLiteral("Iplano.ret")));
        ScriptedUi::current().onForm(QStringLiteral("frmImportarRET"), [](QDialog& d) {
            hijo<QPushButton>(d, "cmdImportar")->click();
        });
        ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        QCOMPARE(ui().exec(frm), int(QDialog::Accepted));

        QCOMPARE(visto.mostrado, (QStringList{"20123456789", "30712345678", "001", "IC04", "FOB"}));
        QCOMPARE(visto.subregimenes, (QStringList{"IC04", "IDA4"}));
        QCOMPARE(visto.condiciones, (QStringList{"CIF", "FOB"}));
        QCOMPARE(seam.fileDialogs.size(), 1);
        QCOMPARE(seam.fileDialogs[0].request.title, QStringLiteral("Guardar archivo"));
        QCOMPARE(seam.fileDialogs[0].request.proposedName, QStringLiteral("REF_2026_01.txt"));
        QCOMPARE(seam.fileDialogs[0].request.filters,
                 (QList<corvelix::FileFilter>{{"Archivo Transferencia (*.txt)", "*.txt"}}));
        QCOMPARE(leer(ruta + QStringLiteral(".txt")), leer(muestra(QStringLiteral("plano.txt"))));
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("Se generó el archivo de transferencia en \n") +
                                         ruta + QStringLiteral(".txt"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Information);
        QVERIFY(!seam.busy);
    }

    // Values changed in the confirmation go to the file; an empty sale condition keeps the
    // header's; the omit boxes leave complementary information out.
    void confirmedValuesAndOmitBoxes() {
        Confirmacion visto;
        responderConfirmacion(visto, {" 20999999999 ", "30000000001", "073", "IC05", ""});
        const QString ruta = dir_.filePath(QStringLiteral("cambios.TXT"));
        ScriptedUi::current().answerSaveDialog(ruta);
        frmImportarRET frm;
        elegir(frm, muestra(QStringLiteral("Cplano.ret")), muestra(QStringLiteral("Iplano.ret")));
        ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        hijo<QCheckBox>(frm, "chkOmitirCPLCaratula")->setChecked(true);
        hijo<QCheckBox>(frm, "chkOmitirInformacionComplementariaItem")->setChecked(true);
        hijo<QPushButton>(frm, "cmdImportar")->click();
        const QByteArray bytes = leer(ruta); // ".TXT" kept as typed
        QVERIFY(bytes.startsWith("[DDT]\r\nNDDTIMMIOE=30000000001\r\nCDDTAGR= 20999999999 \r\n"
                                 "CDDTBUR=073\r\n"));
        QVERIFY(bytes.contains("CDDTINCOTE=FOB\r\nCDDTIVA=S\r\nISTA=IC05\r\n"));
        QVERIFY(!bytes.contains("[CPL]"));
        QVERIFY(bytes.contains("[DVD]"));
    }

    // Stops that write nothing and leave the dialog open.
    void stops_data() {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<bool>("guardar");
        QTest::newRow("confirmation cancelled") << "cmdCancelar" << true;
        QTest::newRow("save dialog cancelled") << "cmdConfirmar" << false;
    }
    void stops() {
        QFETCH(QString, boton);
        QFETCH(bool, guardar);
        Confirmacion visto;
        const QByteArray name = boton.toLatin1();
        responderConfirmacion(visto, {}, name.constData());
        auto& seam = ScriptedUi::current();
        // Cancelling the confirmation ends before the save dialog.
        if (!guardar)
            seam.answerSaveDialog(QString());
        frmImportarRET frm;
        elegir(frm, muestra(QStringLiteral("Cplano.ret")), muestra(QStringLiteral("Iplano.ret")));
        hijo<QPushButton>(frm, "cmdImportar")->click();
        QVERIFY(seam.boxes.isEmpty());
        QCOMPARE(seam.fileDialogs.size(), guardar ? 0 : 1);
        QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("no.txt"))));
        QCOMPARE(frm.result(), 0);
    }

    // A broken file: one box with the reason, the file's name and the chain; nothing written,
    // no confirmation asked, the dialog usable again.
    void brokenFiles_data() {
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("i");
        QTest::addColumn<QString>("cadena");
        QTest::addColumn<QString>("archivo");
        QTest::newRow("malformed header")
            << "Cmalformado.ret"
            << "Iplano.ret"
            << "Corvelix.frmImportarRET.cmdImportar_Click (0)::Corvelix.modRET.getCaratula "
               "(0)::XML Parser"
            << "Cmalformado.ret";
        QTest::newRow("malformed items")
            << "Cplano.ret"
            << "Imalformado.ret"
            << "Corvelix.frmImportarRET.cmdImportar_Click (0)::Corvelix.modRET.getitems (0)::XML "
               "Parser"
            << "Imalformado.ret";
        QTest::newRow("items file as header")
            << "Iplano.ret"
            << "Iplano.ret"
            << "Corvelix.frmImportarRET.cmdImportar_Click (0)::Corvelix.modRET.getCaratula "
               "(0)::Corvelix"
            << "Iplano.ret";
        QTest::newRow("missing file")
            << "Cno existe.ret"
            << "Iplano.ret"
            << "Corvelix.frmImportarRET.cmdImportar_Click (0)::Corvelix.modRET.AbrirArchivoXML "
               "(40)::Corvelix"
            << "Cno existe.ret";
    }
    void brokenFiles() {
        QFETCH(QString, c);
        QFETCH(QString, i);
        QFETCH(QString, cadena);
        QFETCH(QString, archivo);
        auto& seam = ScriptedUi::current();
        frmImportarRET frm;
        ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        elegir(frm, muestra(c), muestra(i));
        hijo<QPushButton>(frm, "cmdImportar")->click();
        QCOMPARE(seam.boxes.size(), 1);
        const QString texto = seam.boxes[0].text;
        QVERIFY2(texto.endsWith(QStringLiteral("\n\n") + cadena), qPrintable(texto));
        QVERIFY2(texto.contains(QDir::toNativeSeparators(muestra(archivo))), qPrintable(texto));
        QCOMPARE(seam.boxes[0].buttons, corvelix::MsgButtons::Ok);
        QVERIFY(seam.shownForms.isEmpty());
        QVERIFY(seam.fileDialogs.isEmpty());
        QVERIFY(!seam.busy);
        QVERIFY(hijo<QPushButton>(frm, "cmdImportar")->isEnabled());
    }

    // The confirmation's checks, on the window alone.
    void confirmationChecks_data() {
        QTest::addColumn<QString>("despachante");
        QTest::addColumn<QString>("importador");
        QTest::addColumn<QString>("subreg");
        QTest::addColumn<QString>("condicion");
        QTest::addColumn<QString>("mensaje");
        const QString ok = QStringLiteral("20123456789");
        QTest::newRow("short broker") << "2012345678" << ok << "IC04"
                                      << ""
                                      << "CUIT Despachante inválido.";
        QTest::newRow("empty broker") << ""
                                      << ""
                                      << "IC04"
                                      << ""
                                      << "CUIT Despachante inválido.";
        QTest::newRow("long importer") << ok << "201234567890"
                                       << "IC04"
                                       << ""
                                       << "CUIT Importador inválido.";
        QTest::newRow("IDA4 without condition")
            << ok << ok << "IDA4"
            << ""
            << "para IDA4 debe seleccionar una condicion de venta";
        QTest::newRow("blanks around and letters") << "  ABCDEFGHIJK " << ok << "IC04"
                                                   << ""
                                                   << "";
        QTest::newRow("lower-case ida4") << ok << ok << "ida4"
                                         << ""
                                         << "";
        QTest::newRow("IDA4 with condition") << ok << ok << "IDA4"
                                             << "CIF"
                                             << "";
    }
    void confirmationChecks() {
        QFETCH(QString, despachante);
        QFETCH(QString, importador);
        QFETCH(QString, subreg);
        QFETCH(QString, condicion);
        QFETCH(QString, mensaje);
        Confirmacion visto;
        responderConfirmacion(visto, {despachante, importador, QString(), subreg, condicion});
        if (!mensaje.isEmpty())
            ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        frmRET2TXT frm;
        frm.m_Aduana = QStringLiteral("001");
        ui().exec(frm);
        auto& seam = ScriptedUi::current();
        QCOMPARE(frm.m_Acepto, mensaje.isEmpty());
        if (mensaje.isEmpty()) {
            QVERIFY(seam.boxes.isEmpty());
            QCOMPARE(frm.m_CUITDespachante, despachante);
            QCOMPARE(frm.m_SubReg, subreg);
            QCOMPARE(frm.m_CondVenta, condicion);
            QCOMPARE(frm.m_Aduana, QStringLiteral("001"));
        } else {
            QCOMPARE(seam.boxes.size(), 1);
            QCOMPARE(seam.boxes[0].text, mensaje);
            QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        }
    }

    // The code lists cannot be read: description, " - " and number; the window stays.
    void listsUnreadable() {
        // A catalog without the sub-regime table: the lists cannot be read.
        modDA::execSQL(modDA::kCatalog, "DROP TABLE STA");
        bool abierto = false;
        ScriptedUi::current().onForm(QStringLiteral("frmRET2TXT"), [&](QDialog& d) {
            abierto = d.isVisible();
            QCOMPARE(hijo<QLineEdit>(d, "txtCUITDespachante")->text(), QString());
        });
        ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        frmRET2TXT frm;
        frm.m_CUITDespachante = QStringLiteral("20123456789");
        ui().exec(frm);
        auto& seam = ScriptedUi::current();
        QVERIFY(abierto);
        QCOMPARE(seam.boxes.size(), 1);
        QVERIFY2(seam.boxes[0].text.endsWith(QStringLiteral(" - ") +
                                             QString::number(corvelix::kErrChained)),
                 qPrintable(seam.boxes[0].text));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(!frm.m_Acepto);
    }
};

CORVELIX_TEST(tst_frmImportarRET)
#include "tst_frmImportarRET.moc"
