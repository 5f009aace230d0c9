#include "shell/ModMaria.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>

using corvelix::test::ScriptedUi;
using corvelix::test::TestDisplay;
using corvelix::test::TestWindow;

namespace {

const QString kNumero = QStringLiteral("24010IC04000001A");

TestWindow cliente(const QString& title) {
    return {title, QString(), false};
}

} // namespace

class tst_ModMaria : public corvelix::test::TestCase {
    Q_OBJECT

    TestDisplay display_;

    void needServer() {
        if (!display_.server())
            CORVELIX_WITHOUT_DISPLAY(QStringLiteral("Xvfb could not be started: ") +
                                     display_.why());
    }

protected:
    void initTest() override {
        if (display_.server())
            qputenv("DISPLAY", display_.server()->name());
    }
    void cleanupTest() override {
        if (display_.server())
            display_.server()->closeAll();
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

private slots:
    void initTestCase() { display_.start(); }
    void cleanupTestCase() { display_.stop(); }

    void openDeclaration_data() {
        QTest::addColumn<QList<TestWindow>>("windows"); // bottom-most first
        QTest::addColumn<QString>("despacho");
        QTest::addColumn<bool>("open");
        const QString client = QStringLiteral("SIM Version 4.1.2 - Usuario: ana - ");

        QTest::newRow("no windows") << QList<TestWindow>{} << kNumero << false;
        QTest::newRow("no windows, empty number") << QList<TestWindow>{} << QString() << false;
        QTest::newRow("client shows it")
            << QList<TestWindow>{cliente(client + kNumero)} << kNumero << true;
        QTest::newRow("client shows another")
            << QList<TestWindow>{cliente(client + QStringLiteral("24010IC04000002B"))} << kNumero
            << false;
        QTest::newRow("fragment in lower case")
            << QList<TestWindow>{cliente(QStringLiteral("sim version 4 - ") + kNumero)} << kNumero
            << true;
        QTest::newRow("number in other case")
            << QList<TestWindow>{cliente(client + kNumero.toLower())} << kNumero << false;
        QTest::newRow("empty number with a client")
            << QList<TestWindow>{cliente(client)} << QString() << true;
        QTest::newRow("number but no fragment")
            << QList<TestWindow>{cliente(QStringLiteral("Planilla ") + kNumero)} << kNumero
            << false;
        QTest::newRow("only the topmost client counts")
            << QList<TestWindow>{cliente(client + kNumero),
                                 cliente(client + QStringLiteral("24010IC04000002B"))}
            << kNumero << false;
        QTest::newRow("the topmost client shows it")
            << QList<TestWindow>{cliente(client + QStringLiteral("24010IC04000002B")),
                                 cliente(client + kNumero)}
            << kNumero << true;
        QTest::newRow("other windows above do not count")
            << QList<TestWindow>{cliente(client + kNumero),
                                 cliente(QStringLiteral("Correo - ") + kNumero)}
            << kNumero << true;
        QTest::newRow("fragment ending at character 260")
            << QList<TestWindow>{cliente(QString(251, QLatin1Char('x')) +
                                         QStringLiteral("SIM Versi") + kNumero)}
            << kNumero << false;
        QTest::newRow("fragment within 259 characters, number past it")
            << QList<TestWindow>{cliente(QString(250, QLatin1Char('x')) + client +
                                         QString(300, QLatin1Char('y')) + kNumero)}
            << kNumero << true;
        QTest::newRow("fragment ending at character 259")
            << QList<TestWindow>{cliente(QString(250, QLatin1Char('x')) +
                                         QStringLiteral("SIM Versi") + kNumero)}
            << kNumero << true;
        QTest::newRow("title only in WM_NAME")
            << QList<TestWindow>{{QString(), client + kNumero, false}} << kNumero << true;
        QTest::newRow("_NET_WM_NAME before WM_NAME")
            << QList<TestWindow>{{client + QStringLiteral("24010IC04000002B"), client + kNumero,
                                  false}}
            << kNumero << false;
        QTest::newRow("UTF-8 title")
            << QList<TestWindow>{cliente(QStringLiteral("SIM Versión 4 — ") + kNumero)} << kNumero
            << true;
        QTest::newRow("client inside a frame")
            << QList<TestWindow>{{client + kNumero, QString(), true}} << kNumero << true;
    }

    void openDeclaration() {
        needServer();
        QFETCH(QList<TestWindow>, windows);
        QFETCH(QString, despacho);
        QFETCH(bool, open);
        display_.server()->open(windows);
        QCOMPARE(ModMaria::ProvisorioAbierto(despacho), open);
    }

    void stackingOrderDecides() {
        needServer();
        const QString client = QStringLiteral("SIM Version 4 - ");
        display_.server()->open(
            {cliente(client + kNumero), cliente(client + QStringLiteral("24010IC04000002B"))});
        QVERIFY(!ModMaria::ProvisorioAbierto(kNumero));
        display_.server()->raise(0);
        QVERIFY(ModMaria::ProvisorioAbierto(kNumero));
    }

    void noDisplay_data() {
        QTest::addColumn<QByteArray>("display");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("no server there") << QByteArrayLiteral(":987");
    }

    void noDisplay() {
        QFETCH(QByteArray, display);
        if (display_.server())
            display_.server()->open({cliente(QStringLiteral("SIM Version 4 - ") + kNumero)});
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
        QVERIFY(!ModMaria::ProvisorioAbierto(kNumero));
        QVERIFY(!ModMaria::ProvisorioAbierto(QString()));
    }

    void buttonsFollowTheClient_data() {
        QTest::addColumn<bool>("clientShowsIt");
        QTest::newRow("open") << true;
        QTest::newRow("not open") << false;
    }

    void buttonsFollowTheClient() {
        needServer();
        QFETCH(bool, clientShowsIt);
        display_.server()->open({cliente(QStringLiteral("SIM Version 4 - ") +
                                         (clientShowsIt ? kNumero : QStringLiteral("otro")))});
        QWidget form;
        auto* aceptar = new QPushButton(QStringLiteral("Aceptar"), &form);
        auto* inner = new QWidget(&form);
        auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), inner);
        auto* text = new QLineEdit(&form);
        // A form the window keeps as its child is a window of its own.
        auto* childForm = new QDialog(&form);
        auto* ajeno = new QPushButton(QStringLiteral("Aceptar"), childForm);
        aceptar->setEnabled(clientShowsIt);
        cancelar->setEnabled(clientShowsIt);
        ajeno->setEnabled(clientShowsIt);
        text->setEnabled(false);

        ModMaria::bloqueoProvisorio(form, kNumero);
        QCOMPARE(aceptar->isEnabled(), !clientShowsIt);
        QCOMPARE(cancelar->isEnabled(), !clientShowsIt);
        QVERIFY(!text->isEnabled()); // other controls are not touched
        QCOMPARE(ajeno->isEnabled(), clientShowsIt);
    }
};

CORVELIX_TEST(tst_ModMaria)
#include "tst_ModMaria.moc"
