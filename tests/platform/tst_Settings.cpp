#include "platform/Settings.h"
#include "runtime/VbError.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/WithoutPermissionOverride.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using corvelix::VbError;
using corvelix::settings::getSetting;
using corvelix::settings::saveSetting;
using corvelix::test::WithoutPermissionOverride;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

// A value that does not reach the file is reported, never taken as saved.
class tst_Settings : public corvelix::test::TestCase {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;

protected:
    void initTest() override {
        dir_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_->path());
    }
    void cleanupTest() override {
        // Rights back, so that the folder can go.
        QFile::setPermissions(dir_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        dir_.reset();
        corvelix::test::useSandboxSettings();
    }

private slots:
    void savedAndReadBack() {
        saveSetting(QStringLiteral("config"), QStringLiteral("perfil"), QStringLiteral("nuevo"));
        QCOMPARE(getSetting(QStringLiteral("config"), QStringLiteral("perfil")),
                 QStringLiteral("nuevo"));
        QVERIFY(readAll(corvelix::settings::userStore()->fileName()).contains("perfil=nuevo"));
    }

    void unwritable_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("kept");
        QTest::newRow("read-only file") << "file"
                                        << "interno";
        QTest::newRow("folder takes no new file") << "folder"
                                                  << "interno";
        QTest::newRow("settings path is a folder") << "path"
                                                   << "";
    }
    void unwritable() {
        QFETCH(QString, how);
        QFETCH(QString, kept);
        const QString file = corvelix::settings::userStore()->fileName();
        if (how == QLatin1String("path")) {
            QVERIFY(QDir().mkpath(file));
        } else {
            saveSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                        QStringLiteral("interno"));
            if (how == QLatin1String("file"))
                QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
            else
                QVERIFY(QFile::setPermissions(dir_->path(),
                                              QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const QByteArray before = readAll(file);
        {
            const WithoutPermissionOverride asUser;
            try {
                saveSetting(QStringLiteral("config"), QStringLiteral("perfil"), QString());
                QFAIL("no error");
            } catch (const VbError& e) {
                QCOMPARE(e.number, 75);
                QCOMPARE(e.description,
                         QStringLiteral("No se pudo guardar la configuración: no se puede "
                                        "escribir el archivo %1 (o crear archivos en su "
                                        "carpeta).")
                             .arg(file));
            }
            QCOMPARE(getSetting(QStringLiteral("config"), QStringLiteral("perfil"),
                                QStringLiteral("<none>")),
                     kept.isEmpty() ? QStringLiteral("<none>") : kept);
        }
        QCOMPARE(readAll(file), before);
    }
};

CORVELIX_TEST(tst_Settings)
#include "tst_Settings.moc"
