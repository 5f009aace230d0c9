#include "app/frmActualizacion.h"
#include "app/mainModule.h"
#include "runtime/Paths.h"
#include "shell/Leer_HTML.h"
#include "support/LoopbackHttpServer.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using namespace corvelix;
using corvelix::test::LoopbackHttpServer;
using corvelix::test::ProgramExit;
using corvelix::test::ScriptedUi;

namespace {

const QString kPath = QStringLiteral("/sistemas/clientes/Brasmo.Corvelix/actualizacion.dat");
const QString kPackage = QStringLiteral("https://descargas.example/corvelix/setup-1430.exe");
const QString kUpToDate =
    QStringLiteral("La Aplicacion esta Actualizada, No hay Versiones Disponibles para Descargar.");
const QString kOffer = QStringLiteral(
    "Existe una Actualización Disponible. ¿Procede a Descargar e Instalar la Actualización?");
const QString kUnreadable = QStringLiteral("No se pudo leer la información de actualización.");

QStringList lines(frmActualizacion& frm) {
    QStringList result;
    auto* list = frm.findChild<QListWidget*>(QStringLiteral("ListaEstado"));
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

bool shown(frmActualizacion& frm, const char* button) {
    return !frm.findChild<QPushButton*>(QLatin1String(button))->isHidden();
}

QTimer& timer(frmActualizacion& frm) {
    return *frm.findChild<QTimer*>(QStringLiteral("Timer1"));
}

// Both update servers point at loopback servers of the test.
struct Servers {
    LoopbackHttpServer first;
    LoopbackHttpServer second;
    Servers() {
        qputenv("CORVELIX_UPDATE_SERVER1", first.baseUrl().toUtf8());
        qputenv("CORVELIX_UPDATE_SERVER2", second.baseUrl().toUtf8());
    }
    ~Servers() {
        qunsetenv("CORVELIX_UPDATE_SERVER1");
        qunsetenv("CORVELIX_UPDATE_SERVER2");
    }
    void answer(const QByteArray& first_, const QByteArray& second_ = {}) {
        first.route(kPath, {200, first_, {}, false});
        second.route(kPath, {200, second_, {}, false});
    }
};

} // namespace

class tst_frmActualizacion : public corvelix::test::TestCase {
    Q_OBJECT

protected:
    void initTest() override {
        ScriptedUi::current().reset();
        mainModule::VersionAplicacion = 1429;
    }
private slots:

    void design() {
        QWidget principal;
        principal.setObjectName(QStringLiteral("frmMain"));
        principal.move(100, 50);
        frmActualizacion frm;
        QCOMPARE(frm.windowTitle(), QStringLiteral("Actualizaciones del Sistema Brasmo Corvelix"));
        QCOMPARE(frm.pos(), QPoint(100 + 400, 50 + 200));
        QCOMPARE(lines(frm), QStringList{QStringLiteral("Consultando Version Actual.")});
        QCOMPARE(frm.findChild<QPushButton*>(QStringLiteral("cmdActualizar"))->text(),
                 QStringLiteral("Actualizar Ahora"));
        QCOMPARE(
            frm.findChild<QPushButton*>(QStringLiteral("cmdActualizarConUltimaDisponible"))->text(),
            QStringLiteral("Actualización Manual"));
        QCOMPARE(frm.findChild<QPushButton*>(QStringLiteral("cmdSalir"))->text(),
                 QStringLiteral("Salir"));
        for (auto* button : frm.findChildren<QPushButton*>())
            QVERIFY(!button->autoDefault() && !button->isDefault());
        QVERIFY(!shown(frm, "cmdActualizar"));
        QVERIFY(!shown(frm, "cmdActualizarConUltimaDisponible"));
        QVERIFY(shown(frm, "cmdSalir"));
        QVERIFY(timer(frm).isActive());
        QCOMPARE(timer(frm).interval(), 10);
    }

    // No animation file, or one that is no animation: an empty space and no box.
    void animationFile_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("not an animation") << true;
    }
    void animationFile() {
        QFETCH(bool, present);
        const QString folder = programFolder() + QStringLiteral("/Avis");
        QDir().mkpath(folder);
        const auto cleanup = qScopeGuard([&] { QDir(folder).removeRecursively(); });
        if (present) {
            QFile file(folder + QStringLiteral("/loading3.avi"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF\x10\0\0\0AVI LIST not really", 26);
        }
        frmActualizacion frm;
        auto* animation = frm.findChild<QLabel*>(QStringLiteral("Animation1"));
        QVERIFY(animation->movie() == nullptr);
        QVERIFY(animation->pixmap().isNull());
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    // The ticks: running version at 150, the check at 200, the end after 300.
    void ticks() {
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1429");
        frmActualizacion frm;
        timer(frm).stop();
        for (int i = 0; i < 149; ++i)
            frm.Timer1_Timer();
        QCOMPARE(lines(frm).size(), 1);
        frm.Timer1_Timer();
        QCOMPARE(lines(frm).last(), QStringLiteral("Aplicación : v.1429"));
        for (int i = 0; i < 49; ++i)
            frm.Timer1_Timer();
        QVERIFY(servers.first.requestedPaths.isEmpty());
        timer(frm).start();
        frm.Timer1_Timer(); // 200
        QCOMPARE(servers.first.requestedPaths, QStringList{kPath});
        QVERIFY(servers.second.requestedPaths.isEmpty());
        QCOMPARE(lines(frm).last(), kUpToDate);
        QVERIFY(timer(frm).isActive());
        for (int i = 0; i < 100; ++i)
            frm.Timer1_Timer();
        QVERIFY(timer(frm).isActive());
        QVERIFY(!frm.findChild<QLabel*>(QStringLiteral("Animation1"))->isHidden());
        frm.Timer1_Timer(); // 301
        QVERIFY(!timer(frm).isActive());
        QVERIFY(frm.findChild<QLabel*>(QStringLiteral("Animation1"))->isHidden());
        QCOMPARE(servers.first.requestedPaths.size(), 1);
    }

    void check_data() {
        QTest::addColumn<bool>("manual");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("actualizar");
        QTest::addColumn<bool>("manualShown");
        QTest::addColumn<QString>("package");

        const QByteArray pkg = kPackage.toUtf8();
        const QString url = QStringLiteral("URL :") + kPackage.right(19);
        const QStringList offer1430 = {
            url, QString(), QStringLiteral("Base de Datos Disponible : 1"),
            QStringLiteral("Aplicacion Disponible : v.1430 (Desactualizado)"), kOffer};
        QTest::newRow("same version") << false << "1</>" + pkg + "</>1429"
                                      << QStringList{url, kUpToDate} << false << true << kPackage;
        QTest::newRow("newer") << false << "1</>" + pkg + "</>1430" << offer1430 << true << false
                               << kPackage;
        QTest::newRow("older is offered too")
            << false << "1</>" + pkg + "</>1428"
            << QStringList{url, QString(), QStringLiteral("Base de Datos Disponible : 1"),
                           QStringLiteral("Aplicacion Disponible : v.1428 (Desactualizado)"),
                           kOffer}
            << true << false << kPackage;
        QTest::newRow("database 0 suppresses")
            << false << "0</>" + pkg + "</>1430" << QStringList{url, kUpToDate} << false << true
            << kPackage;
        QTest::newRow("database 2")
            << false << "2</>" + pkg + "</>1430"
            << QStringList{url, QString(), QStringLiteral("Base de Datos Disponible : 2"),
                           QStringLiteral("Aplicacion Disponible : v.1430 (Desactualizado)"),
                           kOffer}
            << true << false << kPackage;
        QTest::newRow("extra fields and blank lines")
            << false << "1</>" + pkg + "</>1430\r\n</>notas\r\n\r\n"
            << offer1430 << true << false << kPackage;
        QTest::newRow("manual, nothing newer")
            << true << "1</>" + pkg + "</>1429"
            << QStringList{url, QStringLiteral("Paquete:[") + kPackage.right(21) + "]"} << true
            << false << kPackage;
        QTest::newRow("manual, newer")
            << true << "1</>" + pkg + "</>1430" << offer1430 << true << false << kPackage;
        QTest::newRow("short package address")
            << false << QByteArray("1</>pkg.exe</>1429")
            << QStringList{QStringLiteral("URL :pkg.exe"), kUpToDate} << false << true
            << QStringLiteral("pkg.exe");
        // Answers without the three fields: one line, and the manual check offered.
        QTest::newRow("empty answer")
            << false << QByteArray() << QStringList{kUnreadable} << false << true << QString();
        QTest::newRow("two fields")
            << false << "1</>" + pkg << QStringList{kUnreadable} << false << true << QString();
        QTest::newRow("version not a number")
            << true << "1</>" + pkg + "</>nueva" << QStringList{kUnreadable} << false << true
            << QString();
    }
    void check() {
        QFETCH(bool, manual);
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, added);
        QFETCH(bool, actualizar);
        QFETCH(bool, manualShown);
        QFETCH(QString, package);
        Servers servers;
        // Only the server of the kind of check has the file.
        servers.answer(manual ? QByteArray("1</>wrong</>1430") : answer,
                       manual ? answer : QByteArray("1</>wrong</>1430"));
        frmActualizacion frm;
        frm.comprobarActualizacion(manual);
        QCOMPARE(lines(frm).mid(1), added);
        QCOMPARE(shown(frm, "cmdActualizar"), actualizar);
        QCOMPARE(shown(frm, "cmdActualizarConUltimaDisponible"), manualShown);
        QCOMPARE(frm.paquete(), package);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        // A file that could not be read ends the checking: the timer stops.
        QCOMPARE(timer(frm).isActive(), !package.isEmpty());
    }

    // Every way the automatic check can fail ends in the status line with the manual check
    // (the second server) offered, and that check still works.
    void failedCheck_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("box"); // "Error opening Web page" before the status line
        QTest::newRow("connection refused") << QStringLiteral("refused") << true;
        QTest::newRow("404") << QStringLiteral("404") << true;
        QTest::newRow("never answers") << QStringLiteral("silent") << true;
        QTest::newRow("answers, then trickles") << QStringLiteral("trickle") << true;
        QTest::newRow("short answer") << QStringLiteral("short") << true;
        QTest::newRow("garbled answer") << QStringLiteral("garbled") << false;
    }
    void failedCheck() {
        QFETCH(QString, how);
        QFETCH(bool, box);
        Servers servers;
        servers.second.route(kPath, {200, "1</>" + kPackage.toUtf8() + "</>1430", {}, false});
        const QByteArray answer = "1</>" + kPackage.toUtf8() + "</>1430";
        LoopbackHttpServer::Response first{200, answer, {}, false};
        if (how == QLatin1String("refused"))
            qputenv("CORVELIX_UPDATE_SERVER1",
                    QStringLiteral("http://127.0.0.1:%1")
                        .arg(LoopbackHttpServer::closedPort())
                        .toUtf8());
        else if (how == QLatin1String("silent"))
            first.silent = true;
        else if (how == QLatin1String("trickle"))
            first.trickleMs = 100; // far more often than the deadline, never done within it
        else if (how == QLatin1String("short"))
            first.announcedLength = answer.size() + 50;
        else if (how == QLatin1String("garbled"))
            first.body = "<html><body>\xff\xfe Servicio en mantenimiento</body></html>";
        if (how != QLatin1String("404"))
            servers.first.route(kPath, first);
        const int previous = Leer_HTML::setEsperaMaxima(1500);
        const auto restore = qScopeGuard([&] { Leer_HTML::setEsperaMaxima(previous); });

        frmActualizacion frm;
        if (box)
            ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.comprobarActualizacion(false);
        QCOMPARE(ScriptedUi::current().boxes.size(), box ? 1 : 0);
        if (box)
            QCOMPARE(ScriptedUi::current().boxes[0].text, QStringLiteral("Error opening Web page"));
        QCOMPARE(lines(frm).mid(1), QStringList{kUnreadable});
        QVERIFY(!shown(frm, "cmdActualizar"));
        QVERIFY(shown(frm, "cmdActualizarConUltimaDisponible"));
        QVERIFY(shown(frm, "cmdSalir"));
        QVERIFY(!timer(frm).isActive());
        QVERIFY(frm.paquete().isEmpty());

        ScriptedUi::current().answerBoxes({MsgResult::Yes});
        frm.findChild<QPushButton*>(QStringLiteral("cmdActualizarConUltimaDisponible"))->click();
        QCOMPARE(servers.second.requestedPaths, QStringList{kPath});
        QCOMPARE(lines(frm).last(), kOffer);
        QVERIFY(shown(frm, "cmdActualizar"));
        QCOMPARE(frm.paquete(), kPackage);
    }

    // While the server trickles, the window takes clicks: "Salir" gives the read up at once
    // and closes the window, with no box and nothing more listed.
    void exitWhileWaiting() {
        Servers servers;
        servers.first.route(kPath, {200, QByteArray(200, 'x'), {}, false, 50});
        const int previous = Leer_HTML::setEsperaMaxima(600000); // only "Salir" can end it
        const auto restore = qScopeGuard([&] { Leer_HTML::setEsperaMaxima(previous); });
        QWidget principal;
        principal.setObjectName(QStringLiteral("frmMain"));
        principal.move(120, 80);
        frmActualizacion frm;
        ScriptedUi::current().show(frm);
        auto* salir = frm.findChild<QPushButton*>(QStringLiteral("cmdSalir"));
        int bytes = 0;
        servers.first.trickled = [&](int sent) {
            bytes = sent;
            if (sent == 3)
                QTest::mouseClick(salir, Qt::LeftButton);
        };
        frm.comprobarActualizacion(false);
        servers.first.trickled = nullptr;
        QCOMPARE(bytes, 3);
        QVERIFY(!frm.isVisible());
        QCOMPARE(lines(frm), QStringList{QStringLiteral("Consultando Version Actual.")});
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QVERIFY(frm.paquete().isEmpty());
        QCOMPARE(principal.pos(), QPoint(0, 0));
        QVERIFY(!timer(frm).isActive());
    }

    // Closed from its title bar while waiting: the same.
    void closedWhileWaiting() {
        Servers servers;
        servers.first.route(kPath, {200, {}, {}, true});
        const int previous = Leer_HTML::setEsperaMaxima(600000);
        const auto restore = qScopeGuard([&] { Leer_HTML::setEsperaMaxima(previous); });
        QPointer<frmActualizacion> frm = &frmActualizacion::mostrar();
        timer(*frm).stop();
        QTimer::singleShot(50, frm, [frm] { frm->close(); });
        frm->comprobarActualizacion(false);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
        QTRY_VERIFY(frm.isNull());
    }

    void manualButton_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("checked");
        QTest::newRow("yes") << MsgResult::Yes << true;
        QTest::newRow("no") << MsgResult::No << false;
        QTest::newRow("cancel") << MsgResult::Cancel << false;
    }
    void manualButton() {
        QFETCH(MsgResult, answer);
        QFETCH(bool, checked);
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1429",
                       "1</>" + kPackage.toUtf8() + "</>1429");
        frmActualizacion frm;
        frm.comprobarActualizacion(false);
        ScriptedUi::current().answerBoxes({answer});
        frm.findChild<QPushButton*>(QStringLiteral("cmdActualizarConUltimaDisponible"))->click();
        const auto& box = ScriptedUi::current().boxes.at(0);
        QCOMPARE(box.text, QStringLiteral("¿Confirma la actualización manual de la aplicación?"));
        QCOMPARE(box.title, QStringLiteral("¡Atención!"));
        QCOMPARE(box.buttons, MsgButtons::YesNoCancel);
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(servers.second.requestedPaths.size(), checked ? 1 : 0);
        QCOMPARE(shown(frm, "cmdActualizar"), checked);
    }

    // "Actualizar Ahora" hands the package to the browser and ends the program...
    void updateNow() {
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1430");
        QWidget principal;
        principal.setObjectName(QStringLiteral("frmMain"));
        principal.move(120, 80);
        frmActualizacion frm;
        ScriptedUi::current().show(frm);
        frm.comprobarActualizacion(false);
        bool ended = false;
        try {
            frm.cmdActualizar_Click();
        } catch (const ProgramExit& exit) {
            ended = exit.code == 0;
        }
        QVERIFY(ended);
        QCOMPARE(ScriptedUi::current().openedUrls, QList<QUrl>{QUrl(kPackage)});
        QVERIFY(!frm.isVisible());
        QCOMPARE(principal.pos(), QPoint(0, 0));
    }

    // ... but only when the browser took it: otherwise the address is shown and everything
    // stays open.
    void updateNowWithoutBrowser() {
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1430");
        QWidget principal;
        principal.setObjectName(QStringLiteral("frmMain"));
        principal.move(120, 80);
        frmActualizacion frm;
        ScriptedUi::current().show(frm);
        frm.comprobarActualizacion(false);
        ScriptedUi::current().urlsOpen = false;
        ScriptedUi::current().answerBoxes({MsgResult::Ok});
        frm.findChild<QPushButton*>(QStringLiteral("cmdActualizar"))->click();
        QCOMPARE(ScriptedUi::current().openedUrls, QList<QUrl>{QUrl(kPackage)});
        QVERIFY(ScriptedUi::current().quits.isEmpty());
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
        QVERIFY(ScriptedUi::current().boxes[0].text.endsWith(QLatin1String("\n\n") + kPackage));
        QCOMPARE(ScriptedUi::current().boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(lines(frm).last(), QStringLiteral("Paquete: ") + kPackage);
        QVERIFY(frm.isVisible());
        QVERIFY(shown(frm, "cmdActualizar"));
        QCOMPARE(frm.paquete(), kPackage);
        QCOMPARE(principal.pos(), QPoint(120, 80));
    }

    void exit() {
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1430");
        QWidget principal;
        principal.setObjectName(QStringLiteral("frmMain"));
        principal.move(120, 80);
        frmActualizacion frm;
        ScriptedUi::current().show(frm);
        frm.Timer1_Timer();
        frm.comprobarActualizacion(false);
        frm.findChild<QPushButton*>(QStringLiteral("cmdSalir"))->click();
        QVERIFY(!frm.isVisible());
        QCOMPARE(frm.ticks(), 0);
        QVERIFY(frm.paquete().isEmpty());
        QCOMPARE(principal.pos(), QPoint(0, 0));
        QVERIFY(ScriptedUi::current().openedUrls.isEmpty());
        QVERIFY(ScriptedUi::current().quits.isEmpty());
    }

    // Modeless, one window at a time; the whole sequence runs on the real timer.
    void shownModeless() {
        Servers servers;
        servers.answer("1</>" + kPackage.toUtf8() + "</>1430");
        QPointer<frmActualizacion> frm = &frmActualizacion::mostrar();
        QCOMPARE(&frmActualizacion::mostrar(), frm.data());
        QCOMPARE(ScriptedUi::current().modelessForms,
                 QStringList{QStringLiteral("frmActualizacion")});
        QVERIFY(frm->testAttribute(Qt::WA_DeleteOnClose));
        QTRY_VERIFY_WITH_TIMEOUT(!timer(*frm).isActive(), 30000);
        QVERIFY(shown(*frm, "cmdActualizar"));
        QCOMPARE(lines(*frm).at(1), QStringLiteral("Aplicación : v.1429"));
        frm->close();
        QTRY_VERIFY(frm.isNull());
        QPointer<frmActualizacion> again = &frmActualizacion::mostrar();
        QCOMPARE(ScriptedUi::current().modelessForms.size(), 2);
        again->close();
        QTRY_VERIFY(again.isNull());
    }
};

CORVELIX_TEST(tst_frmActualizacion)
#include "tst_frmActualizacion.moc"
