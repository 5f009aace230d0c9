#include "app/CatalogTroubleBoxes.h"
#include "data/CatalogTrouble.h"
#include "data/connection.h"
#include "data/modDA.h"
#include "platform/Registro.h"
#include "platform/Settings.h"
#include "support/CatalogFixture.h"
#include "support/ExpectError.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QScopeGuard>
#include <QSettings>
#include <QTest>

#include <memory>

using corvelix::test::CatalogFixture;
using corvelix::test::ScriptedUi;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\SIF America\\KITMaria");

const QString kLegacy = QStringLiteral(
    "Provider=SQLOLEDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!"
    "Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;Initial Catalog=KitSQL;Data Source=.");
const QString kLegacyLocalDb = QStringLiteral(
    "Provider=SQLNCLI11;Server=(LocalDb)\\MSSQLLocalDB;Password=Tq83#mZ!pL0w[}r7Xv&c2^nB9%yK(e4)"
    "Hs_Ju6*Fd1~gR5{Ao8iW3=Ne$7bQ/Ck0!Ul]2Vx%t9wP,;Persist Security Info=True;User ID=kit;"
    "Database=KitSQL;Initial Catalog=KitSQL");
const QString kNuevo = QStringLiteral(
    "Provider=SQLOLEDB;Server=(local);Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=;"
    "Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL");
const QString kNuevoDb = QStringLiteral(
    "Provider=SQLNCLI11;Server=(LocalDb)\\MSSQLLocalDB;Password=Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uK"
    "o0iVt5yRq8=;Persist Security Info=True;User ID=Qit;Database=KitSQL;Initial Catalog=KitSQL");
const QString kAfipV2 = QStringLiteral("Provider=SQLNCLI11;Integrated Security=SSPI;Persist "
                                       "Security Info=False;Initial Catalog=KitSql;Server=.;");
const QString kInternoStart =
    QStringLiteral("Provider=SQLOLEDB;Password=marlo7315;Persist Security Info=True;User "
                   "ID=velquenw;Initial Catalog=KitSQL;Data Source=");

std::unique_ptr<QSettings> machineStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope,
                                       QStringLiteral("SIF America"), QStringLiteral("KITMaria"));
}

} // namespace

class tst_ProfileStrings : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<CatalogFixture> fixture_;

protected:
    void initTest() override { fixture_ = std::make_unique<CatalogFixture>(); }
    void cleanupTest() override {
        modDA::setInternalProfileListener({});
        fixture_.reset();
    }

private slots:
    void stringOfEachProfile_data() {
        QTest::addColumn<QVariant>("word"); // invalid: nothing stored
        QTest::addColumn<QVariant>("srv");  // invalid: no value
        QTest::addColumn<QString>("expected");
        const QVariant none;
        const QVariant legacy(QStringLiteral("legacy"));
        const QVariant empty(QStringLiteral(""));
        QTest::newRow("nothing stored, no srv") << none << none << kLegacy;
        QTest::newRow("nothing stored, srv set") << none << QVariant("SERVIDOR") << kLegacyLocalDb;
        QTest::newRow("legacy, srv blanks only") << legacy << QVariant("   ") << kLegacy;
        QTest::newRow("legacy, srv empty") << legacy << QVariant("") << kLegacy;
        QTest::newRow("legacy, srv set") << legacy << QVariant(" x ") << kLegacyLocalDb;
        QTest::newRow("empty word, srv set") << empty << QVariant("1") << kLegacyLocalDb;
        QTest::newRow("empty word, no srv") << empty << none << kLegacy;
        QTest::newRow("nuevo") << QVariant("nuevo") << QVariant("x") << kNuevo;
        QTest::newRow("nuevodb") << QVariant("nuevodb") << none << kNuevoDb;
        QTest::newRow("afipv2") << QVariant("afipv2") << none << kAfipV2;
        QTest::newRow("unknown word") << QVariant("otro") << QVariant("x") << kNuevo;
        QTest::newRow("word in other case") << QVariant("LEGACY") << none << kNuevo;
    }
    void stringOfEachProfile() {
        QFETCH(QVariant, word);
        QFETCH(QVariant, srv);
        QFETCH(QString, expected);
        if (word.isValid())
            corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                            word.toString());
        if (srv.isValid())
            machineStore()->setValue(QStringLiteral("srv"), srv);
        QCOMPARE(modDA::getConnectionString(modDA::kCatalog), expected);
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }

    void internalProfileTellsTheMainWindowOncePerBuild() {
        int calls = 0;
        modDA::setInternalProfileListener([&] { ++calls; });
        corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                        QStringLiteral("interno"));
        const QString first = modDA::getConnectionString(modDA::kCatalog);
        QVERIFY(first.startsWith(kInternoStart));
        QVERIFY(first.endsWith(QStringLiteral("\\sqlexpress")));
        QVERIFY(first.size() > kInternoStart.size() + 11);
        QCOMPARE(calls, 1);
        QCOMPARE(modDA::getConnectionString(modDA::kCatalog), first);
        QCOMPARE(calls, 2);

        corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                        QStringLiteral("nuevo"));
        modDA::getConnectionString(modDA::kCatalog);
        QCOMPARE(calls, 2);
    }

    // A failure while building the string: the program's handler tells it (description, a
    // blank line, the location and the chain) and it goes on up; the data layer shows nothing.
    void failureIsToldThroughTheProgram_data() {
        QTest::addColumn<bool>("handler");
        QTest::newRow("as the program sets it") << true;
        QTest::newRow("without the program") << false;
    }
    void failureIsToldThroughTheProgram() {
        QFETCH(bool, handler);
        if (handler) {
            modDA::setCatalogTroubleHandler(&showCatalogTrouble);
            ScriptedUi::current().answerBoxes({corvelix::MsgResult::Ok});
        }
        const auto unset = qScopeGuard([] { modDA::setCatalogTroubleHandler({}); });
        modDA::setInternalProfileListener(
            [] { throw corvelix::VbError(7, QStringLiteral("Corvelix.frmMain"), "sin memoria"); });
        corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                        QStringLiteral("interno"));
        corvelix::test::expectChainedError(
            [] { (void)modDA::getConnectionString(modDA::kCatalog); },
            QStringLiteral("Corvelix.modDA.getConnectionString (0)::Corvelix.frmMain"),
            QStringLiteral("sin memoria"));
        const QStringList expected =
            handler ? QStringList{QStringLiteral("sin memoria\n\nCorvelix.modDA."
                                                 "getConnectionString (0)::Corvelix.frmMain")}
                    : QStringList();
        QStringList shown;
        for (const auto& box : ScriptedUi::current().boxes)
            shown << box.text;
        QCOMPARE(shown, expected);
    }

    void localFileIgnoresTheProfile() {
        corvelix::settings::saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                        QStringLiteral("interno"));
        int calls = 0;
        modDA::setInternalProfileListener([&] { ++calls; });
        QCOMPARE(modDA::getConnectionString(modDA::kLocal),
                 fixture_->folder() + QStringLiteral("/home/db/corvelix.db"));
        QCOMPARE(calls, 0);
    }

    void serverOfEachProfileOverOdbc_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("expected");
        QTest::newRow("legacy")
            << kLegacy
            << QStringLiteral("DRIVER={FreeTDS};SERVER=localhost;DATABASE=KitSQL;UID=kit;"
                              "PWD={Tq83#mZ!pL0w[}}r7Xv&c2^nB9%yK(e4)Hs_Ju6*Fd1~gR5{Ao8iW3="
                              "Ne$7bQ/Ck0!Ul]2Vx%t9wP,};ClientCharset=UTF-8;");
        QTest::newRow("LocalDB") << kNuevoDb
                                 << QStringLiteral(
                                        "DRIVER={FreeTDS};SERVER=localhost;DATABASE=KitSQL;UID=Qit;"
                                        "PWD={Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=};"
                                        "ClientCharset=UTF-8;");
        QTest::newRow("(local)") << kNuevo
                                 << QStringLiteral(
                                        "DRIVER={FreeTDS};SERVER=localhost;DATABASE=KitSQL;UID=Qit;"
                                        "PWD={Hk2pQw9ZrT4vLm7XcB1nYs8eGd3fJa6uKo0iVt5yRq8=};"
                                        "ClientCharset=UTF-8;");
        QTest::newRow("integrated security")
            << kAfipV2
            << QStringLiteral("DRIVER={FreeTDS};SERVER=localhost;DATABASE=KitSql;"
                              "Trusted_Connection=Yes;ClientCharset=UTF-8;");
        QTest::newRow("named instance")
            << kInternoStart + QStringLiteral("10.1.2.3\\sqlexpress")
            << QStringLiteral("DRIVER={FreeTDS};SERVER=10.1.2.3\\sqlexpress;DATABASE=KitSQL;"
                              "UID=velquenw;PWD=marlo7315;ClientCharset=UTF-8;");
        QTest::newRow("local named instance")
            << QStringLiteral("Provider=SQLOLEDB;Data Source=(local)\\SQLEXPRESS;User ID=a;"
                              "Password=b;Initial Catalog=K")
            << QStringLiteral("DRIVER={FreeTDS};SERVER=localhost\\SQLEXPRESS;DATABASE=K;UID=a;"
                              "PWD=b;ClientCharset=UTF-8;");
    }
    void serverOfEachProfileOverOdbc() {
        QFETCH(QString, profile);
        QFETCH(QString, expected);
        QCOMPARE(modDA::odbcConnectionString(profile), expected);
    }

    void registryValuesFromTheMachineStore_data() {
        QTest::addColumn<qint32>("root");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QVariant>("stored"); // written under group "Sub" when keyPath ends so
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<qint32>("status");
        const qint32 hklm = Registro::HKEY_LOCAL_MACHINE;
        const QVariant empty;
        QTest::newRow("text") << hklm << kKey << QVariant("SRV01") << QVariant("SRV01") << 0;
        QTest::newRow("text with blanks") << hklm << kKey << QVariant("  ") << QVariant("  ") << 0;
        QTest::newRow("number stored as text")
            << hklm << kKey << QVariant(42) << QVariant("42") << 0;
        QTest::newRow("key path in other case")
            << hklm << QStringLiteral("software\\SIF America\\KITMaria") << QVariant("a")
            << QVariant("a") << 0;
        QTest::newRow("no value") << hklm << kKey << empty << empty << -1;
        QTest::newRow("list is another kind")
            << hklm << kKey << QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")})
            << empty << -1;
        QTest::newRow("bytes are another kind")
            << hklm << kKey << QVariant(QByteArray("\x01\x02", 2)) << empty << -1;
        QTest::newRow("other root")
            << static_cast<qint32>(0x80000001u) << kKey << QVariant("a") << empty << -1;
        QTest::newRow("other key") << hklm << QStringLiteral("SOFTWARE\\SIF America\\Otro")
                                   << QVariant("a") << empty << -1;
        QTest::newRow("not below SOFTWARE")
            << hklm << QStringLiteral("SYSTEM\\SIF America\\KITMaria") << QVariant("a") << empty
            << -1;
        QTest::newRow("subkey") << hklm << kKey + QStringLiteral("\\Sub") << QVariant("s")
                                << QVariant("s") << 0;
    }
    void registryValuesFromTheMachineStore() {
        QFETCH(qint32, root);
        QFETCH(QString, keyPath);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        QFETCH(qint32, status);
        if (stored.isValid()) {
            const QString name = keyPath.endsWith(QLatin1String("\\Sub"))
                                     ? QStringLiteral("Sub/srv")
                                     : QStringLiteral("srv");
            machineStore()->setValue(name, stored);
        }
        QCOMPARE(Registro::leerValorRegistro(root, keyPath, QStringLiteral("srv")), expected);

        QVariant value(QStringLiteral("antes"));
        const auto key = Registro::openKey(root, keyPath);
        QCOMPARE(Registro::consultarValorClave(key, QStringLiteral("srv"), value), status);
        QCOMPARE(value, status == 0 ? expected : QVariant(QStringLiteral("antes")));
    }
};

CORVELIX_TEST(tst_ProfileStrings)
#include "tst_ProfileStrings.moc"
