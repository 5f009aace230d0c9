#include "shell/frmInputText.h"
#include "support/FormUnderFailure.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using corvelix::ui;
using corvelix::test::ScriptedUi;

class tst_frmInputText : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void design() {
        frmInputText frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Ingresar"));
        auto* aceptar = frm.findChild<QPushButton*>(QStringLiteral("cmdAceptar"));
        auto* cancelar = frm.findChild<QPushButton*>(QStringLiteral("cmdCancelar"));
        QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
        QCOMPARE(cancelar->text(), QStringLiteral("Cancelar"));
        QVERIFY(aceptar->isDefault());
        QVERIFY(!cancelar->isDefault() && !cancelar->autoDefault());
        QVERIFY(frm.findChild<QLineEdit*>(QStringLiteral("txtValor"))->text().isEmpty());
        QVERIFY(frm.findChild<QLabel*>(QStringLiteral("lbTexto"))->text().isEmpty());
    }

    // How the user leaves the box, and what the caller reads afterwards.
    void answer_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("defecto");
        QTest::addColumn<QString>("typed"); // null: leave the proposed value
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("shownValue");
        QTest::addColumn<QString>("resultado");
        QTest::addColumn<bool>("membersCleared");

        const QString prompt = QStringLiteral("Ingrese password para resetear perfil");
        QTest::newRow("Enter keeps blanks around")
            << prompt << QString() << QStringLiteral("  Clave 1 ") << QStringLiteral("enter")
            << QString() << QStringLiteral("  Clave 1 ") << true;
        QTest::newRow("Aceptar with the proposed value")
            << prompt << QStringLiteral(" 12,5 ") << QString() << QStringLiteral("aceptar")
            << QStringLiteral(" 12,5 ") << QStringLiteral(" 12,5 ") << true;
        QTest::newRow("blank proposal not shown")
            << prompt << QStringLiteral("   ") << QString() << QStringLiteral("aceptar")
            << QString() << QString() << true;
        QTest::newRow("Cancelar") << prompt << QStringLiteral("valor") << QStringLiteral("otro")
                                  << QStringLiteral("cancelar") << QStringLiteral("valor")
                                  << QString() << true;
        QTest::newRow("Enter on the focused Cancelar")
            << prompt << QStringLiteral("valor") << QStringLiteral("otro")
            << QStringLiteral("enter on cancelar") << QStringLiteral("valor") << QString() << true;
        QTest::newRow("Esc") << prompt << QString() << QStringLiteral("otro")
                             << QStringLiteral("esc") << QString() << QString() << true;
        QTest::newRow("close box")
            << prompt << QStringLiteral("valor") << QStringLiteral("otro")
            << QStringLiteral("close") << QStringLiteral("valor") << QString() << false;
    }

    void answer() {
        QFETCH(QString, texto);
        QFETCH(QString, defecto);
        QFETCH(QString, typed);
        QFETCH(QString, how);
        QFETCH(QString, shownValue);
        QFETCH(QString, resultado);
        QFETCH(bool, membersCleared);

        QString shownPrompt;
        QString shown;
        ScriptedUi::current().onForm(QStringLiteral("frmInputText"), [&](QDialog& dialog) {
            auto* value = dialog.findChild<QLineEdit*>(QStringLiteral("txtValor"));
            shownPrompt = dialog.findChild<QLabel*>(QStringLiteral("lbTexto"))->text();
            shown = value->text();
            if (!typed.isNull())
                value->setText(typed);
            auto* cancelar = dialog.findChild<QPushButton*>(QStringLiteral("cmdCancelar"));
            if (how == QLatin1String("enter"))
                QTest::keyClick(value, Qt::Key_Return);
            else if (how == QLatin1String("enter on cancelar")) {
                cancelar->setFocus();
                QTest::keyClick(cancelar, Qt::Key_Return);
            } else if (how == QLatin1String("esc"))
                QTest::keyClick(value, Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                dialog.close();
            else
                dialog
                    .findChild<QPushButton*>(how == QLatin1String("aceptar")
                                                 ? QStringLiteral("cmdAceptar")
                                                 : QStringLiteral("cmdCancelar"))
                    ->click();
            QVERIFY(!dialog.isVisible());
        });

        frmInputText frm;
        frm.m_Texto = texto;
        frm.m_Valor_Defecto = defecto;
        frm.m_Resultado = QStringLiteral("stale");
        ui().exec(frm);
        QCOMPARE(shownPrompt, texto);
        QCOMPARE(shown, shownValue);
        QCOMPARE(frm.m_Resultado, resultado);
        QCOMPARE(frm.m_Texto.isEmpty(), membersCleared);
        QCOMPARE(frm.m_Valor_Defecto.isEmpty(), membersCleared || defecto.isEmpty());
    }

    // Each showing is prepared once, and anew after the box closed in any way.
    void preparedOncePerShowing() {
        frmInputText frm;
        int showings = 0;
        ScriptedUi::current().onForm(QStringLiteral("frmInputText"), [&](QDialog& dialog) {
            ++showings;
            auto* value = dialog.findChild<QLineEdit*>(QStringLiteral("txtValor"));
            QCOMPARE(value->text(), QStringLiteral("propuesto"));
            value->setText(QStringLiteral("escrito"));
            frm.Form_Activate(); // activated again while shown: the typed text stays
            QCOMPARE(value->text(), QStringLiteral("escrito"));
            dialog.close();
        });
        frm.m_Texto = QStringLiteral("Valor");
        frm.m_Valor_Defecto = QStringLiteral("propuesto");
        ui().exec(frm);
        ui().exec(frm); // the close box kept the members, so the proposal shows again
        QCOMPARE(showings, 2);
        QVERIFY(frm.m_Resultado.isEmpty());
    }

    // Every button and key with the data layer failing: a box at most, never a broken form.
    void everyActionWithFailingData() {
        frmInputText form;
        corvelix::test::pressEverythingWithFailingData(form);
    }
};

CORVELIX_TEST(tst_frmInputText)
#include "tst_frmInputText.moc"
