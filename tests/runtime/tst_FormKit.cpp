#include "runtime/FormKit.h"
#include "support/EventWait.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>

using namespace corvelix;
using corvelix::test::EventCounter;
using corvelix::test::runQueuedWork;
using corvelix::test::ScriptedUi;

namespace {

enum class Kind { Plain, WithLine, Numbered };

// A value of the process that the test main must put back between test functions.
ProcessStatic<int> s_remembered{7};

class Form : public QDialog {
public:
    Form() { setObjectName(QStringLiteral("frmPrueba")); }
};

void activate(QWidget& w) {
    w.activateWindow();
    QTRY_VERIFY(w.isActiveWindow());
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class tst_FormKit : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void handlerBoxes_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << Kind::Plain
                               << "sin datos\n\nCorvelix.frmPrueba.cmdOk_Click (0)::"
                                  "Corvelix.modDA.getRs.::QSQLITE";
        QTest::newRow("line reached")
            << Kind::WithLine
            << "sin datos\n\nCorvelix.frmPrueba.cmdOk_Click (20)::Corvelix.modDA.getRs.::QSQLITE";
        QTest::newRow("numbered lines")
            << Kind::Numbered
            << "sin datos\n\nCorvelix.frmPrueba.cmdOk_Click.::Corvelix.modDA.getRs.::QSQLITE "
               "linea 20";
    }

    void handlerBoxes() {
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        auto& seam = ScriptedUi::current();
        seam.setBusy(true);
        seam.answerBoxes({MsgResult::Ok});
        Form form;
        const auto failing = [](int& line) {
            line = 10;
            line = 20;
            throw VbError(5, QStringLiteral("Corvelix.modDA.getRs.::QSQLITE"),
                          QStringLiteral("sin datos"));
        };
        const QString handler = QStringLiteral("cmdOk_Click");
        bool ok = true;
        switch (kind) {
        case Kind::Plain:
            ok = runHandler(form, handler, [&] {
                int line = 0;
                failing(line);
            });
            break;
        case Kind::WithLine:
            ok = runHandler(form, handler, std::function<void(int&)>(failing));
            break;
        case Kind::Numbered:
            ok = runNumberedHandler(form, handler, failing);
            break;
        }
        QVERIFY(!ok);
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text, text);
        QCOMPARE(seam.boxes[0].buttons, MsgButtons::Ok);
        QVERIFY(!seam.busy);

        int runs = 0;
        QVERIFY(runHandler(form, handler, [&] { ++runs; }));
        QCOMPARE(runs, 1);
        QCOMPARE(seam.boxes.size(), 1);
    }

    // Once per showing: a box closing over the form is no new showing; hiding and showing is.
    void activationOncePerShowing() {
        auto& seam = ScriptedUi::current();
        Form form;
        int runs = 0;
        bool fail = true;
        auto* activation = new FirstActivation(form, [&] {
            ++runs;
            if (fail)
                throw VbError(5, QStringLiteral("x"), QStringLiteral("mal"));
        });
        seam.answerBoxes({MsgResult::Ok});
        form.show();
        QTRY_COMPARE(runs, 1);
        QVERIFY(activation->ran());
        QCOMPARE(seam.boxes.size(), 1);
        QCOMPARE(seam.boxes[0].text,
                 QStringLiteral("mal\n\nCorvelix.frmPrueba.Form_Activate (0)::x"));

        // Coming back from a box: the activation reached the form and what it queued ran.
        EventCounter activations(form, QEvent::ActivationChange);
        QMessageBox box;
        box.show();
        activate(box);
        box.close();
        const int seen = activations.count();
        activate(form);
        QVERIFY(activations.count() > seen);
        activation->activate();
        QVERIFY(runQueuedWork());
        QCOMPARE(runs, 1);

        fail = false;
        form.hide();
        QVERIFY(!activation->ran());
        form.show();
        QTRY_COMPARE(runs, 2);
    }

    // Until done: after a failure, coming back from another form runs the work again; a box
    // does not; once done, nothing runs it again.
    void activationUntilDone() {
        auto& seam = ScriptedUi::current();
        Form form;
        bool done = false;
        int runs = 0;
        new FirstActivation(
            form,
            [&] {
                ++runs;
                if (runs == 1)
                    throw VbError(5, QStringLiteral("x"), QStringLiteral("mal"));
                done = true;
            },
            [&] { return done; });
        seam.answerBoxes({MsgResult::Ok});
        form.show();
        QTRY_COMPARE(runs, 1);

        EventCounter activations(form, QEvent::ActivationChange);
        QMessageBox box;
        box.show();
        activate(box);
        box.close();
        const int seen = activations.count();
        activate(form);
        QVERIFY(activations.count() > seen);
        QVERIFY(runQueuedWork());
        QCOMPARE(runs, 1);

        QDialog other;
        other.show();
        activate(other);
        other.close();
        activate(form);
        QTRY_COMPARE(runs, 2);
        QVERIFY(done);

        other.show();
        activate(other);
        other.close();
        activate(form);
        EventCounter shows(form, QEvent::Show);
        form.hide();
        form.show();
        QCOMPARE(shows.count(), 1);
        QVERIFY(runQueuedWork());
        QCOMPARE(runs, 2);
    }

    void processStaticsStartEachTestAtTheirInitialValue() {
        QCOMPARE(s_remembered.get(), 7);
        s_remembered = 12;
        QCOMPARE(static_cast<int>(s_remembered), 12);
    }

    void processStaticsStartEachTestAtTheirInitialValueAgain() { QCOMPARE(s_remembered.get(), 7); }

    // A value that goes away leaves no reset behind.
    void goneStaticsAreNotReset() {
        int resets = 0;
        const int handle = registerProcessReset([&] { ++resets; });
        resetProcessStatics();
        QCOMPARE(resets, 1);
        unregisterProcessReset(handle);
        resetProcessStatics();
        QCOMPARE(resets, 1);
        {
            ProcessStatic<QString> local(QStringLiteral("a"));
            local = QStringLiteral("b");
            resetProcessStatics();
            QCOMPARE(local.get(), QStringLiteral("a"));
        }
        resetProcessStatics();
    }
};

CORVELIX_TEST(tst_FormKit)
#include "tst_FormKit.moc"
