#include "app/CatalogTroubleBoxes.h"
#include "data/CatalogTrouble.h"
#include "data/ProfileAsker.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "platform/Settings.h"
#include "shell/frmPerfil.h"
#include "support/CatalogFixture.h"
#include "support/FormUnderFailure.h"
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::test::CatalogFixture;
using corvelix::test::ProgramExit;
using corvelix::test::ScriptedUi;

namespace {

QString storedWord() {
    return corvelix::settings::getSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                          QStringLiteral("<none>"));
}

void storeWord(const QString& word) {
    corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"), word);
}

void click(QDialog& dialog, const char* name) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

// Picks an entry of the list and accepts it.
ScriptedUi::FormHandler choose(int index) {
    return [index](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("cboPerfil"))->setCurrentIndex(index);
        click(dialog, "cmdAceptar");
    };
}

} // namespace

class tst_ProfileDialog : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override {
        fixture_ = std::make_unique<CatalogFixture>(
            QStringLiteral("INSERT INTO DDT (IDDT) VALUES ('26001IC04000001A');"));
        // The profile road: the stored profile decides, and its catalog is the fixture's file.
        qunsetenv("CORVELIX_KITSQL");
        modDA::setProfileCatalogForTests(fixture_->catalogPath());
        // As the program sets them at start.
        modDA::setProfileAsker(&frmPerfil::preguntar);
        modDA::setCatalogTroubleHandler(&showCatalogTrouble);
    }
    void cleanupTest() override {
        modDA::setCatalogTroubleHandler({});
        modDA::setProfileAsker({});
        modDA::setInternalProfileListener({});
        fixture_.reset();
    }

private slots:
    void looksAsItShould() {
        frmPerfil dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("frmPerfil"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Perfil Corvelix"));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Hubo un problema al iniciar, pruebe cambiando de perfil"));
        dialog.show();
        CORVELIX_VERIFY_NO_FAULTS(corvelix::test::controlsOutside(dialog) +
                                  corvelix::test::cutCaptions(dialog));
        dialog.hide();
        auto* list = dialog.findChild<QComboBox*>(QStringLiteral("cboPerfil"));
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        QCOMPARE(entries,
                 (QStringList{QStringLiteral("Perfil version Legacy"),
                              QStringLiteral("Perfil nueva version"),
                              QStringLiteral("Perfil nueva version 2"),
                              QStringLiteral("Perfil AFIPv2"), QStringLiteral("Uso Interno!")}));
        for (const char* name : {"cmdAceptar", "cmdCancelar"})
            QVERIFY(!dialog.findChild<QPushButton*>(QLatin1String(name))->autoDefault());
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cmdAceptar"))->text(),
                 QStringLiteral("Aceptar"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->text(),
                 QStringLiteral("Cancelar"));
    }

    void preselectsTheStoredProfile_data() {
        QTest::addColumn<QString>("word"); // "<none>": nothing stored
        QTest::addColumn<int>("selected");
        QTest::newRow("nothing stored") << QStringLiteral("<none>") << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("legacy") << QStringLiteral("legacy") << 0;
        QTest::newRow("nuevo") << QStringLiteral("nuevo") << 1;
        QTest::newRow("nuevodb") << QStringLiteral("nuevodb") << -1;
        QTest::newRow("interno") << QStringLiteral("interno") << -1;
        QTest::newRow("unknown") << QStringLiteral("otro") << -1;
    }
    void preselectsTheStoredProfile() {
        QFETCH(QString, word);
        QFETCH(int, selected);
        if (word != QLatin1String("<none>"))
            storeWord(word);
        int seen = -2;
        auto& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmPerfil"), [&](QDialog& dialog) {
            seen = dialog.findChild<QComboBox*>(QStringLiteral("cboPerfil"))->currentIndex();
        });
        frmPerfil dialog;
        corvelix::ui().exec(dialog);
        QCOMPARE(seen, selected);
        QCOMPARE(dialog.sRespuesta, QString());
    }

    void acceptStoresTheChosenWord_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("word");
        QTest::newRow("0") << 0 << QStringLiteral("legacy");
        QTest::newRow("1") << 1 << QStringLiteral("nuevo");
        QTest::newRow("2") << 2 << QStringLiteral("nuevodb");
        QTest::newRow("3") << 3 << QStringLiteral("afipv2");
        QTest::newRow("4") << 4 << QStringLiteral("interno");
    }
    void acceptStoresTheChosenWord() {
        QFETCH(int, index);
        QFETCH(QString, word);
        storeWord(QStringLiteral("otro"));
        ScriptedUi::current().onForm(QStringLiteral("frmPerfil"), choose(index));
        frmPerfil dialog;
        QCOMPARE(corvelix::ui().exec(dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.sRespuesta, word);
        QCOMPARE(storedWord(), word);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void acceptWithoutChoiceWarnsAndStays() {
        storeWord(QStringLiteral("otro"));
        bool stillOpen = false;
        auto& seam = ScriptedUi::current();
        seam.answerBoxes({corvelix::MsgResult::Ok});
        seam.onForm(QStringLiteral("frmPerfil"), [&](QDialog& dialog) {
            click(dialog, "cmdAceptar");
            stillOpen = dialog.isVisible();
            click(dialog, "cmdCancelar");
        });
        frmPerfil dialog;
        dialog.sRespuesta = QStringLiteral("x");
        QCOMPARE(corvelix::ui().exec(dialog), int(QDialog::Rejected));
        QVERIFY(stillOpen);
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("Debe seleccionar una opcion"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);
        QCOMPARE(storedWord(), QStringLiteral("otro"));
        QCOMPARE(dialog.sRespuesta, QString());
    }

    // Opens that fail bring the dialog back; each answer is tried twice before it comes back.
    void failedOpensLeadToTheDialog_data() {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<int>("opens");
        QTest::newRow("opens at once") << 0 << 0 << 1;
        QTest::newRow("first try after the answer works") << 1 << 1 << 2;
        QTest::newRow("second try after the answer works") << 2 << 1 << 3;
        QTest::newRow("answer fails twice, dialog again") << 3 << 2 << 4;
    }
    void failedOpensLeadToTheDialog() {
        QFETCH(int, failures);
        QFETCH(int, dialogs);
        QFETCH(int, opens);
        int calls = 0;
        modDA::setCatalogOpenerForTests([&](QSqlDatabase& db) {
            ++calls;
            return calls > failures && db.open();
        });
        auto& seam = ScriptedUi::current();
        if (dialogs > 0)
            seam.onForm(QStringLiteral("frmPerfil"), choose(2));

        auto rs = modDA::getRs(modDA::kCatalog, "select count(*) from DDT");
        QCOMPARE(rs.field(0).toInt(), 1);
        QCOMPARE(seam.shownForms.size(), dialogs);
        QCOMPARE(calls, opens);
        QCOMPARE(storedWord(), dialogs > 0 ? QStringLiteral("nuevodb") : QStringLiteral("<none>"));
        QVERIFY(seam.boxes.isEmpty());
        QVERIFY(seam.quits.isEmpty());

        // Cached from now on: no further open.
        modDA::execSQL(modDA::kCatalog, "update DDT set IEXT = 'x'");
        QCOMPARE(calls, opens);
    }

    void openedConnectionIsKeptWithoutBuildingTheStringAgain() {
        storeWord(QStringLiteral("interno"));
        int builds = 0;
        modDA::setInternalProfileListener([&] { ++builds; });
        modDA::getRs(modDA::kCatalog, "select 1");
        modDA::getRs(modDA::kCatalog, "select 1");
        QCOMPARE(builds, 1);
        // A closed connection is opened with a freshly built string.
        modDA::getConnection(modDA::kCatalog).close();
        modDA::getRs(modDA::kCatalog, "select 1");
        QCOMPARE(builds, 2);
    }

    void cancellingEndsTheProgram_data() {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Cancelar") << true;
        QTest::newRow("window closed") << false;
    }
    void cancellingEndsTheProgram() {
        QFETCH(bool, byButton);
        // A folder is no catalog.
        modDA::setProfileCatalogForTests(fixture_->folder());
        storeWord(QStringLiteral("nuevo"));
        auto& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmPerfil"), [&](QDialog& dialog) {
            if (byButton)
                click(dialog, "cmdCancelar");
            else
                dialog.close();
        });
        bool ended = false;
        try {
            modDA::getRs(modDA::kCatalog, "select 1");
        } catch (const ProgramExit& exit) {
            ended = true;
            QCOMPARE(exit.code, 0);
        }
        QVERIFY(ended);
        QCOMPARE(seam.shownForms, QStringList{QStringLiteral("frmPerfil")});
        QCOMPARE(seam.quits, QList<int>{0});
        QVERIFY(seam.boxes.isEmpty());
        QCOMPARE(storedWord(), QStringLiteral("nuevo"));
    }

    void notADatabaseFileIsAFailedOpen() {
        QFile junk(fixture_->folder() + QStringLiteral("/junk.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        modDA::setProfileCatalogForTests(junk.fileName());
        auto& seam = ScriptedUi::current();
        seam.onForm(QStringLiteral("frmPerfil"), [&](QDialog& dialog) {
            // The failed open left nothing that passes for a connection.
            QVERIFY(!QSqlDatabase::database(QStringLiteral("corvelix_catalog"), false).isOpen());
            // The user mends the setting while the dialog is up, then picks a profile.
            modDA::setProfileCatalogForTests(fixture_->catalogPath());
            choose(0)(dialog);
        });
        auto rs = modDA::getRs(modDA::kCatalog, "select IDDT from DDT");
        QCOMPARE(rs.text(QStringLiteral("IDDT")), QStringLiteral("26001IC04000001A"));
        QCOMPARE(seam.shownForms.size(), 1);
        QCOMPARE(storedWord(), QStringLiteral("legacy"));
    }

    // Every button and key with the data layer failing: a box at most, never a broken form.
    void everyActionWithFailingData() {
        frmPerfil form;
        corvelix::test::pressEverythingWithFailingData(form);
    }
};

CORVELIX_TEST(tst_ProfileDialog)
#include "tst_ProfileDialog.moc"
