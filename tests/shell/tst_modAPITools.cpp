#include "runtime/VbError.h"
#include "shell/modAPITools.h"
#include "support/ScriptedUi.h"
#include "support/SmallDisk.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/WithoutPermissionOverride.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

using namespace corvelix;
using corvelix::test::ScriptedUi;
using corvelix::test::SmallDisk;
using corvelix::test::WithoutPermissionOverride;

Q_DECLARE_METATYPE(modAPITools::Encoding)

namespace {

QString nul(const char* text) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('|'), QChar(u'\0'));
    return s;
}

// While alive, this process writes no file past `bytes` (writes beyond fail instead of
// ending the process).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QList<FileFilter> kDefaultFilters = {{"Archivo Excel (*.xls)", "*.xls"},
                                           {"All Files (*.*)", "*.*"}};

// The scripted seam, except that the file dialogs fail.
class FailingDialogs final : public Ui {
public:
    FailingDialogs() : inner_(ScriptedUi::current()) { previous_ = setUi(this); }
    ~FailingDialogs() override { setUi(previous_); }
    FailingDialogs(const FailingDialogs&) = delete;
    FailingDialogs& operator=(const FailingDialogs&) = delete;

    MsgResult msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                     MsgDefault defaultButton) override {
        return inner_.msgBox(text, buttons, icon, title, defaultButton);
    }
    int exec(QDialog& dialog) override { return inner_.exec(dialog); }
    void show(QWidget& window) override { inner_.show(window); }
    QString saveFileName(const FileDialogRequest&) override { throw failure(); }
    QString openFileName(const FileDialogRequest&) override { throw failure(); }
    QString clipboardText() override { return inner_.clipboardText(); }
    bool openUrl(const QUrl& url) override { return inner_.openUrl(url); }
    void setBusy(bool busy) override { inner_.setBusy(busy); }
    void processEvents() override { inner_.processEvents(); }
    [[noreturn]] void quit(int exitCode) override { inner_.quit(exitCode); }

private:
    static VbError failure() {
        return VbError(5, QStringLiteral("Corvelix"), QStringLiteral("Sin ventana"));
    }
    ScriptedUi& inner_;
    Ui* previous_ = nullptr;
};

} // namespace

class tst_modAPITools : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void saveDialogRequest_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("directorio");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QList<FileFilter>>("filters");
        QTest::addColumn<QString>("proposed");

        QTest::newRow("default filters")
            << QString() << QString() << "Items.xls" << kDefaultFilters << "Items.xls";
        QTest::newRow("caller's filter")
            << nul("Archivo de texto (*.txt)|*.txt|") << "/tmp"
            << "lista" << QList<FileFilter>{{"Archivo de texto (*.txt)", "*.txt"}} << "lista";
        QTest::newRow("two filters, closing NUL")
            << nul("Texto (*.txt)|*.txt|Todos (*.*)|*.*||") << QString() << QString()
            << QList<FileFilter>{{"Texto (*.txt)", "*.txt"}, {"Todos (*.*)", "*.*"}} << QString();
        QTest::newRow("description without pattern ignored")
            << nul("Texto (*.txt)|*.txt|Suelto") << QString() << QString()
            << QList<FileFilter>{{"Texto (*.txt)", "*.txt"}} << QString();
        QTest::newRow("name cleaned")
            << QString() << QString() << " 12/03: ¿ok? " << kDefaultFilters << "12_03_ _ok_";
    }

    void saveDialogRequest() {
        QFETCH(QString, filtro);
        QFETCH(QString, directorio);
        QFETCH(QString, nombre);
        QFETCH(QList<FileFilter>, filters);
        QFETCH(QString, proposed);
        auto& seam = ScriptedUi::current();
        seam.answerSaveDialog(QStringLiteral("/tmp/elegido"));

        QCOMPARE(modAPITools::SaveFileCommonDialog(QStringLiteral("Exportar"), filtro, directorio,
                                                   nombre),
                 QStringLiteral("/tmp/elegido"));
        QCOMPARE(seam.fileDialogs.size(), 1);
        const auto& d = seam.fileDialogs.at(0);
        QVERIFY(d.save);
        QCOMPARE(d.request.title, QStringLiteral("Exportar"));
        QCOMPARE(d.request.filters, filters);
        QCOMPARE(d.request.directory, directorio);
        QCOMPARE(d.request.proposedName, proposed);
    }

    void saveDialogAnswer_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("result");
        QTest::newRow("cancel") << QString() << QString();
        QTest::newRow("as typed, no extension added") << "/tmp/salida"
                                                      << "/tmp/salida";
        QTest::newRow("blanks kept") << "/tmp/a b "
                                     << "/tmp/a b ";
        QTest::newRow("cut at NUL") << nul("/tmp/x.xls|basura") << "/tmp/x.xls";
    }

    void saveDialogAnswer() {
        QFETCH(QString, answer);
        QFETCH(QString, result);
        if (!answer.isEmpty())
            ScriptedUi::current().answerSaveDialog(answer);
        QCOMPARE(
            modAPITools::SaveFileCommonDialog(QStringLiteral("t"), QString(), QString(), QString()),
            result);
    }

    void saveDialogRefusesAnOverlongName_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("shown");
        QTest::newRow("fits with its NUL") << 254 << true;
        QTest::newRow("no room for the NUL") << 255 << false;
        QTest::newRow("longer than the buffer") << 300 << false;
    }

    void saveDialogRefusesAnOverlongName() {
        QFETCH(int, length);
        QFETCH(bool, shown);
        auto& seam = ScriptedUi::current();
        if (shown)
            seam.answerSaveDialog(QStringLiteral("/tmp/x"));
        const QString result = modAPITools::SaveFileCommonDialog(
            QStringLiteral("t"), QString(), QString(), QString(length, QLatin1Char('a')));
        QCOMPARE(seam.fileDialogs.size(), shown ? 1 : 0);
        QCOMPARE(result, shown ? QStringLiteral("/tmp/x") : QString());
        QVERIFY(seam.boxes.isEmpty());
    }

    void openDialog() {
        auto& seam = ScriptedUi::current();
        seam.answerOpenDialog(QStringLiteral("  /tmp/despacho.ret  "));
        QCOMPARE(modAPITools::OpenFileCommonDialog(nul("Archivos RET (*.ret)|*.ret|")),
                 QStringLiteral("/tmp/despacho.ret"));
        QCOMPARE(seam.fileDialogs.size(), 1);
        const auto& d = seam.fileDialogs.at(0);
        QVERIFY(!d.save);
        QCOMPARE(d.request.title, QStringLiteral("Importar archivo RET"));
        QCOMPARE(d.request.filters, (QList<FileFilter>{{QStringLiteral("Archivos RET (*.ret)"),
                                                        QStringLiteral("*.ret")}}));
        QVERIFY(d.request.directory.isEmpty());

        QCOMPARE(modAPITools::OpenFileCommonDialog(QString()), QString()); // cancelled
        QCOMPARE(seam.fileDialogs.size(), 2);
    }

    void dialogFailures() {
        auto& seam = ScriptedUi::current();
        FailingDialogs failing;
        seam.answerBoxes({MsgResult::Ok});
        QCOMPARE(modAPITools::OpenFileCommonDialog(QString()), QString());
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, QStringLiteral("Error en  OpenFileCommonDialog: Sin ventana"));
        QCOMPARE(seam.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);

        // The save dialog fails silently, like a cancel.
        QCOMPARE(modAPITools::SaveFileCommonDialog(QStringLiteral("t"), QString(), QString(),
                                                   QStringLiteral("x")),
                 QString());
        QCOMPARE(seam.boxes.size(), 1);
    }

    void fileBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<modAPITools::Encoding>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        const auto ansi = modAPITools::Encoding::Windows1252;
        const auto utf8 = modAPITools::Encoding::Utf8;

        QTest::newRow("empty text") << QString() << ansi << QByteArray("\r\n");
        QTest::newRow("lines as given") << "a\r\nb" << ansi << QByteArray("a\r\nb\r\n");
        QTest::newRow("bare LF kept") << "a\nb" << ansi << QByteArray("a\nb\r\n");
        QTest::newRow("ANSI letters") << "Ñu €" << ansi << QByteArray("\xD1u \x80\r\n");
        QTest::newRow("not in code page") << "a中" << ansi << QByteArray("a?\r\n");
        QTest::newRow("UTF-8, no BOM") << "Ñu" << utf8 << QByteArray("\xC3\x91u\r\n");
    }

    void fileBytes() {
        QFETCH(QString, text);
        QFETCH(modAPITools::Encoding, encoding);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("salida.txt"));
        modAPITools::generarArchivo(path, text, encoding);
        QCOMPARE(readAll(path), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"salida.txt"});
    }

    void replacesAnExistingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("salida.txt"));
        modAPITools::generarArchivo(path, QString(500, QLatin1Char('x')));
        modAPITools::generarArchivo(path, QStringLiteral("corto"));
        QCOMPARE(readAll(path), QByteArray("corto\r\n"));
    }

    void failureRaisesTheChainedError_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "no/existe/salida.txt"
                                        << "la carpeta no existe";
        QTest::newRow("path is a folder") << "carpeta"
                                          << "la ruta es una carpeta";
    }

    void failureRaisesTheChainedError() {
        QFETCH(QString, relative);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("carpeta")));
        const QString path = dir.filePath(relative);
        try {
            modAPITools::generarArchivo(path, QStringLiteral("texto"));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.number, kErrChained);
            QCOMPARE(e.source, QStringLiteral("Corvelix.modAPITools.generarArchivo.::Corvelix"));
            QCOMPARE(
                e.description,
                QStringLiteral("No se puede abrir el archivo %1: %2 linea 0").arg(path, reason));
        }
        // Nothing half-written is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{});
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("carpeta"))).isDir());
    }

    // A folder that takes no new file (the save's temporary file cannot go beside the
    // target): refused, naming the folder, even when the file itself could be written; the
    // file is left as it was.
    // Saved through a symbolic link in a writable folder, the file is written where the link
    // leads, and that folder is the one checked and named.
    void foldersWithoutWriteAccess_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<QString>("reason");
        const QString carpeta =
            QStringLiteral("no tiene permiso para crear archivos en la carpeta %1");
        const QString soloLectura =
            QStringLiteral("el archivo es de sólo lectura o no tiene permiso para escribirlo");
        QTest::newRow("writable file") << true << true << false << carpeta;
        QTest::newRow("new file") << false << false << false << carpeta;
        QTest::newRow("read-only file") << true << false << false << soloLectura;
        QTest::newRow("link to a writable file") << true << true << true << carpeta;
        QTest::newRow("link to a file not there yet") << false << false << true << carpeta;
        QTest::newRow("link to a read-only file") << true << false << true << soloLectura;
    }
    void foldersWithoutWriteAccess() {
        QFETCH(bool, fileExists);
        QFETCH(bool, fileWritable);
        QFETCH(bool, throughLink);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("cerrada"));
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + QStringLiteral("/salida.txt");
        const QString path = throughLink ? dir.filePath(QStringLiteral("enlace.txt")) : target;
        if (throughLink)
            QVERIFY(QFile::link(QStringLiteral("cerrada/salida.txt"), path));
        if (fileExists) {
            modAPITools::generarArchivo(target, QString(50, QLatin1Char('x')));
            if (!fileWritable)
                QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner));
        }
        const QByteArray before = readAll(path);
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        {
            const WithoutPermissionOverride asUser;
            try {
                modAPITools::generarArchivo(path, QStringLiteral("nuevo"));
                QFAIL("no error");
            } catch (const VbError& e) {
                QCOMPARE(e.description,
                         QStringLiteral("No se puede abrir el archivo %1: %2 linea 0")
                             .arg(path, reason.arg(folder)));
            }
        }
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner));
        QCOMPARE(readAll(path), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 fileExists ? QStringList{"salida.txt"} : QStringList{});
    }

    // A write that stops part way (here a file-size limit): the old file stays whole under
    // its name and nothing else is left in the folder.
    void cutPartWay_data() {
        QTest::addColumn<QList<QByteArray>>("parts");
        QTest::addColumn<int>("limit");
        QTest::newRow("one large piece") << QList<QByteArray>{QByteArray(600000, 'a')} << 400000;
        QTest::newRow("small pieces, cut in the first block")
            << QList<QByteArray>(300, QByteArray(100, 'b')) << 10000;
        QTest::newRow("small pieces, cut in a later block")
            << QList<QByteArray>(5000, QByteArray(100, 'c')) << 300000;
        QTest::newRow("cut in the closing line break")
            << QList<QByteArray>{QByteArray(99, 'd')} << 100;
    }
    void cutPartWay() {
        QFETCH(QList<QByteArray>, parts);
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("salida.txt"));
        modAPITools::generarArchivo(path, QStringLiteral("viejo"));
        try {
            const FileSizeLimit limited(limit);
            modAPITools::generarArchivo(path, parts);
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description,
                     QStringLiteral("No se puede escribir el archivo %1: no se pudo escribir todo "
                                    "el contenido linea 0")
                         .arg(path));
        }
        QCOMPARE(readAll(path), QByteArray("viejo\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"salida.txt"});
    }

    // A full disk is named as such, and the old file stays whole.
    void fullDisk() {
        QTemporaryDir dir;
        const SmallDisk disk(dir.path(), 64 * 1024);
        if (!disk.mounted())
            QSKIP("a small disk of its own needs a private mount namespace (root)");
        const QString path = dir.filePath(QStringLiteral("salida.txt"));
        modAPITools::generarArchivo(path, QStringLiteral("viejo"));
        try {
            modAPITools::generarArchivo(path, QList<QByteArray>(100, QByteArray(1000, 'x')));
            QFAIL("no error");
        } catch (const VbError& e) {
            QCOMPARE(e.description,
                     QStringLiteral("No se puede escribir el archivo %1: disco lleno, no queda "
                                    "espacio para guardarlo linea 0")
                         .arg(path));
        }
        QCOMPARE(readAll(path), QByteArray("viejo\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"salida.txt"});
    }

    void runsAProcess() {
        QTemporaryDir dir;
        const auto r = modAPITools::ejecutarProceso(
            QStringLiteral("sh -c \"echo listo > hecho.txt; exit 2\""), dir.path());
        QVERIFY(r.started);
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(readAll(dir.filePath(QStringLiteral("hecho.txt"))), QByteArray("listo\n"));
    }

    void reportsAProgramThatCannotStart() {
        const auto r = modAPITools::ejecutarProceso(QStringLiteral("/nonexistent/pernatex a b"),
                                                    QDir::tempPath());
        QVERIFY(!r.started);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(ScriptedUi::current().boxes.isEmpty());
    }
};

CORVELIX_TEST(tst_modAPITools)
#include "tst_modAPITools.moc"
