#include "data/modDA.h"
#include "runtime/QtUi.h"
#include "support/CatalogFixture.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestSql.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace corvelix;

Q_DECLARE_METATYPE(corvelix::MsgButtons)
Q_DECLARE_METATYPE(corvelix::MsgDefault)
Q_DECLARE_METATYPE(corvelix::MsgResult)

namespace {

// Runs `act` on the message box once it is up, from inside its own loop.
void whenBoxShows(std::function<void(QMessageBox&)> act, int tries = 100) {
    QTimer::singleShot(10, [act = std::move(act), tries] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr)
            act(*box);
        else if (tries > 0)
            whenBoxShows(act, tries - 1);
    });
}

// Whether another program finds the catalog locked (it cannot start writing).
bool bloqueadoParaOtros(const QString& catalogo) {
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {catalogo, QStringLiteral("PRAGMA busy_timeout=0; BEGIN IMMEDIATE; ROLLBACK;")});
    if (!sqlite.waitForFinished(-1))
        return false;
    return sqlite.exitCode() != 0 &&
           QString::fromUtf8(sqlite.readAllStandardError()).contains(QLatin1String("locked"));
}

} // namespace

// The real seam, as far as it can be driven without a person.
class tst_QtUi : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void nameFilters_data() {
        QTest::addColumn<QList<FileFilter>>("filters");
        QTest::addColumn<QString>("qt");
        QTest::newRow("description names its pattern")
            << QList<FileFilter>{{"Archivo Excel (*.xls)", "*.xls"}, {"All Files (*.*)", "*.*"}}
            << "Archivo Excel (*.xls);;All Files (*.*)";
        QTest::newRow("bare description")
            << QList<FileFilter>{{"Archivos RET", "*.ret"}} << "Archivos RET (*.ret)";
        QTest::newRow("several patterns")
            << QList<FileFilter>{{"Planillas", "*.xls;*.xlsx"}} << "Planillas (*.xls *.xlsx)";
        // QFileDialog takes the last parentheses: the real pattern must come last.
        QTest::newRow("description names another pattern")
            << QList<FileFilter>{{"Excel (*.xls)", "*.xlsx"}} << "Excel (*.xls) (*.xlsx)";
        QTest::newRow("none") << QList<FileFilter>{} << "";
    }

    void nameFilters() {
        QFETCH(QList<FileFilter>, filters);
        QFETCH(QString, qt);
        QCOMPARE(qtNameFilters(filters), qt);
    }

    // A file dialog on the catalog's folder opens none of its files: closing any descriptor
    // of a file drops every lock the process holds on it, and another program would then take
    // the catalog from under the open transaction.
    void fileDialogLeavesTheCatalogLocked_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("open") << false;
    }
    void fileDialogLeavesTheCatalogLocked() {
        QFETCH(bool, save);
        corvelix::test::CatalogFixture catalog(
            QStringLiteral("INSERT INTO DDT (IDDT) VALUES ('26001IC04000001A');"));
        modDA::Transaction transaccion;
        modDA::execSQL(modDA::kCatalog, testSql(QStringLiteral("UPDATE DDT SET IEXT = 'X'")));
        QVERIFY(bloqueadoParaOtros(catalog.catalogPath()));

        const QStringList archivos = QDir(catalog.folder()).entryList(QDir::Files);
        QVERIFY(archivos.contains(QStringLiteral("kitsql.db")));
        bool listados = false;
        QTimer::singleShot(0, [&] {
            auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialogo != nullptr);
            const auto closeDialog = qScopeGuard([dialogo] { dialogo->reject(); });
            auto* modelo = dialogo->findChild<QFileSystemModel*>();
            QVERIFY(modelo != nullptr);
            // Every file of the folder listed with its type, which the dialog's worker
            // reads together with the icon.
            const auto tipo = [&](const QString& nombre) {
                return modelo->index(QDir(catalog.folder()).filePath(nombre), 2).data().toString();
            };
            QTRY_VERIFY(std::all_of(archivos.cbegin(), archivos.cend(),
                                    [&](const QString& a) { return !tipo(a).isEmpty(); }));
            listados = true;
        });
        QtUi seam;
        FileDialogRequest request;
        request.directory = catalog.folder();
        if (save)
            (void)seam.saveFileName(request);
        else
            (void)seam.openFileName(request);
        QVERIFY(listados);
        QVERIFY(bloqueadoParaOtros(catalog.catalogPath()));
    }

    // A dialog asked without a folder starts in the user's home, not in the folder the
    // program was started from; then in the folder of the file last chosen, opened or saved.
    void fileDialogStartFolders() {
        QTemporaryDir home;
        QTemporaryDir working;
        QTemporaryDir other;
        const QByteArray savedHome = qgetenv("HOME");
        const QString savedWorking = QDir::currentPath();
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", savedHome);
            QDir::setCurrent(savedWorking);
        });
        qputenv("HOME", home.path().toUtf8());
        QVERIFY(QDir::setCurrent(working.path()));
        QtUi seam;
        // Shows the dialog, notes the folder it starts in and chooses `file` (or cancels).
        const auto startsIn = [&seam](bool save, const QString& file) {
            QString folder;
            QTimer::singleShot(0, [&] {
                auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (dialogo == nullptr)
                    return;
                folder = dialogo->directory().absolutePath();
                if (file.isEmpty()) {
                    dialogo->reject();
                    return;
                }
                dialogo->selectFile(file);
                static_cast<QDialog*>(dialogo)->accept();
            });
            const QString answer = save ? seam.saveFileName({}) : seam.openFileName({});
            if (answer != QDir::toNativeSeparators(file))
                return QStringLiteral("answered ") + answer;
            return folder;
        };
        const QString ret = working.filePath(QStringLiteral("c0001.ret"));
        const QString txt = other.filePath(QStringLiteral("transferencia.txt"));
        QCOMPARE(startsIn(false, QString()), home.path());
        QCOMPARE(startsIn(true, QString()), home.path());
        QCOMPARE(startsIn(false, ret), home.path());
        QCOMPARE(startsIn(true, txt), working.path());
        QCOMPARE(startsIn(false, QString()), other.path());
        // A folder asked for is where it starts.
        FileDialogRequest pedido;
        pedido.directory = working.path();
        QTimer::singleShot(0, [&] {
            auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialogo != nullptr);
            QCOMPARE(dialogo->directory().absolutePath(), working.path());
            dialogo->reject();
        });
        QVERIFY(seam.openFileName(pedido).isEmpty());
    }

    void messageBox_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgDefault>("defaultButton");
        QTest::addColumn<QString>("defaultText"); // the button Enter presses
        QTest::addColumn<MsgResult>("enter");
        QTest::addColumn<MsgResult>("escape");
        // Qt's own captions, in Spanish as the program loads them.
        QTest::newRow("ok") << MsgButtons::Ok << MsgDefault::First << "Aceptar" << MsgResult::Ok
                            << MsgResult::Ok;
        QTest::newRow("yes/no, Yes default")
            << MsgButtons::YesNo << MsgDefault::First << "&Sí" << MsgResult::Yes << MsgResult::No;
        QTest::newRow("yes/no, No default")
            << MsgButtons::YesNo << MsgDefault::Second << "&No" << MsgResult::No << MsgResult::No;
        QTest::newRow("ok/cancel") << MsgButtons::OkCancel << MsgDefault::First << "Aceptar"
                                   << MsgResult::Ok << MsgResult::Cancel;
        QTest::newRow("yes/no/cancel, Cancel default")
            << MsgButtons::YesNoCancel << MsgDefault::Third << "Cancelar" << MsgResult::Cancel
            << MsgResult::Cancel;
    }

    void messageBox() {
        QFETCH(MsgButtons, buttons);
        QFETCH(MsgDefault, defaultButton);
        QFETCH(QString, defaultText);
        QFETCH(MsgResult, enter);
        QFETCH(MsgResult, escape);
        QtUi seam;

        QString title;
        QString text;
        QString shownDefault;
        whenBoxShows([&](QMessageBox& box) {
            title = box.windowTitle();
            text = box.text();
            shownDefault = box.defaultButton() ? box.defaultButton()->text() : QString();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        QCOMPARE(seam.msgBox(QStringLiteral("¿Continuar?"), buttons, MsgIcon::Question, QString(),
                             defaultButton),
                 enter);
        QCOMPARE(title, QStringLiteral("Corvelix"));
        QCOMPARE(text, QStringLiteral("¿Continuar?"));
        QCOMPARE(shownDefault, defaultText);

        whenBoxShows([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        QCOMPARE(seam.msgBox(QStringLiteral("x"), buttons, MsgIcon::None, QStringLiteral("Titulo"),
                             defaultButton),
                 escape);
    }

    // The pointer is a state, not a count: one "off" undoes any number of "on".
    void busyIsAbsolute() {
        QtUi seam;
        seam.setBusy(true);
        seam.setBusy(true);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

        // A box shows the arrow while it is up, and the hourglass comes back after it.
        Qt::CursorShape duringBox = Qt::WaitCursor;
        whenBoxShows([&](QMessageBox& box) {
            duringBox = QGuiApplication::overrideCursor()->shape();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        seam.msgBox(QStringLiteral("x"), MsgButtons::Ok, MsgIcon::None, QString(),
                    MsgDefault::First);
        QCOMPARE(duringBox, Qt::ArrowCursor);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

        seam.setBusy(false);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        seam.setBusy(false);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // The clipboard is read as plain text: an image or nothing on it gives the empty text.
    void clipboardText() {
        QtUi seam;
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("A-1\nA-2"));
        QCOMPARE(seam.clipboardText(), QStringLiteral("A-1\nA-2"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        clipboard->setImage(image);
        QCOMPARE(seam.clipboardText(), QString());
        clipboard->clear();
        QCOMPARE(seam.clipboardText(), QString());
    }
};

CORVELIX_TEST(tst_QtUi)
#include "tst_QtUi.moc"
