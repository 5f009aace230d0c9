#include "app/frmmasOpciones.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace corvelix;
using corvelix::test::ScriptedUi;

class tst_frmmasOpciones : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override { ScriptedUi::current().reset(); }
private slots:

    void design() {
        frmmasOpciones frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Mas Opciones - Velquen"));
        QStringList labels;
        for (auto* label : frm.findChildren<QLabel*>(QStringLiteral("Label")))
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("[ESC] - Para salir")));
        QVERIFY(labels.contains(QStringLiteral("Contáctese con nosotros para más información ")));
        QVERIFY(labels.contains(QStringLiteral("Tenemos mas soluciones")));
        QCOMPARE(labels.size(), 4);
        QVERIFY(frmmasOpciones::sitioWeb().startsWith(QLatin1String("https://")));
    }

    // Every button opens the same site and the panel stays; Esc closes it.
    void buttons_data() {
        QTest::addColumn<QString>("button");
        for (const char* name : {"cmdCierre", "cmdSaldoTemporales", "cmdEnvioPDF", "cmdSaldo",
                                 "cmdBultos", "cmdRatificacion", "cmdTirrarAvisoDeCarga"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void buttons() {
        QFETCH(QString, button);
        bool stayed = false;
        ScriptedUi::current().onForm(QStringLiteral("frmmasOpciones"), [&](QDialog& dialog) {
            auto* b = dialog.findChild<QPushButton*>(button);
            QVERIFY(b != nullptr);
            QVERIFY(!b->text().isEmpty() && !b->autoDefault() && !b->isDefault());
            b->click();
            stayed = dialog.isVisible();
            QTest::keyClick(b, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        frmmasOpciones frm;
        ui().exec(frm);
        QVERIFY(stayed);
        QCOMPARE(ScriptedUi::current().openedUrls, QList<QUrl>{QUrl(frmmasOpciones::sitioWeb())});
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }
};

CORVELIX_TEST(tst_frmmasOpciones)
#include "tst_frmmasOpciones.moc"
