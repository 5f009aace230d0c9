#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace corvelix;
using corvelix::test::ProgramExit;
using corvelix::test::ScriptedUi;

Q_DECLARE_METATYPE(corvelix::MsgButtons)
Q_DECLARE_METATYPE(corvelix::MsgDefault)
Q_DECLARE_METATYPE(corvelix::MsgResult)

namespace {

// A form whose load work runs once per showing from a 0 ms timer, as the program's forms do.
class Probe : public QDialog {
public:
    explicit Probe(const QString& name) { setObjectName(name); }

    std::function<void(Probe&)> onLoad;
    int loads = 0;

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                return;
            ++loads;
            if (onLoad)
                onLoad(*this);
        });
    }
};

// Test classes the common main must refuse, and one it runs.
class PlainTestClass : public QObject {
    Q_OBJECT
};
class OwnInitTestClass : public corvelix::test::TestCase {
    Q_OBJECT
private slots:
    void init() {}
};
class ProperTestClass : public corvelix::test::TestCase {
    Q_OBJECT
protected:
    void initTest() override {}
private slots:
    void something() {}
};

enum class Load { Nothing, Accepts, Rejects };
enum class Handler { None, Accepts, LeavesOpen };

} // namespace

Q_DECLARE_METATYPE(Load)
Q_DECLARE_METATYPE(Handler)

class tst_ScriptedUi : public corvelix::test::TestCase {
    Q_OBJECT

private slots:
    void boxAnswers_data() {
        QTest::addColumn<MsgButtons>("buttons");
        QTest::addColumn<MsgDefault>("defaultButton");
        QTest::addColumn<QList<MsgResult>>("queued");
        QTest::addColumn<QList<MsgResult>>("answers");

        QTest::newRow("ok") << MsgButtons::Ok << MsgDefault::First << QList<MsgResult>{}
                            << QList<MsgResult>{MsgResult::Ok};
        QTest::newRow("yes/no, No default")
            << MsgButtons::YesNo << MsgDefault::Second << QList<MsgResult>{}
            << QList<MsgResult>{MsgResult::No, MsgResult::No};
        QTest::newRow("yes/no/cancel, third default")
            << MsgButtons::YesNoCancel << MsgDefault::Third << QList<MsgResult>{}
            << QList<MsgResult>{MsgResult::Cancel};
        QTest::newRow("default beyond the buttons falls back to the first")
            << MsgButtons::OkCancel << MsgDefault::Third << QList<MsgResult>{}
            << QList<MsgResult>{MsgResult::Ok};
        QTest::newRow("queue first, then the default")
            << MsgButtons::YesNo << MsgDefault::Second << QList<MsgResult>{MsgResult::Yes}
            << QList<MsgResult>{MsgResult::Yes, MsgResult::No};
    }

    void boxAnswers() {
        QFETCH(MsgButtons, buttons);
        QFETCH(MsgDefault, defaultButton);
        QFETCH(QList<MsgResult>, queued);
        QFETCH(QList<MsgResult>, answers);
        auto& seam = ScriptedUi::current();
        // Default answers are what a tolerant seam gives once the queue is empty.
        seam.tolerateBoxes(true);
        seam.answerBoxes(queued);
        for (qsizetype i = 0; i < answers.size(); ++i) {
            const QString text = QStringLiteral("pregunta %1").arg(i);
            QCOMPARE(
                ui().msgBox(text, buttons, MsgIcon::Question, QStringLiteral("T"), defaultButton),
                answers.at(i));
            QCOMPARE(seam.boxes.size(), i + 1);
            QCOMPARE(seam.boxes.last().text, text);
            QCOMPARE(seam.boxes.last().buttons, buttons);
            QCOMPARE(seam.boxes.last().icon, MsgIcon::Question);
            QCOMPARE(seam.boxes.last().title, QStringLiteral("T"));
            QCOMPARE(seam.boxes.last().defaultButton, defaultButton);
        }
    }

    // Answering Yes to an OK-only box would let a test pass on the wrong box.
    void anAnswerTheBoxCannotGiveFailsTheTest() {
        ScriptedUi::current().answerBoxes({MsgResult::Yes});
        QEXPECT_FAIL("", "the box has no Yes button", Continue);
        ui().msgBox(QStringLiteral("Datos actualizados"));
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
    }

    void anUnexpectedBoxFailsTheTest() {
        QEXPECT_FAIL("", "no answer was queued for this box", Continue);
        QCOMPARE(ui().msgBox(QStringLiteral("Fin de proceso."), MsgButtons::OkCancel),
                 MsgResult::Ok);
        QCOMPARE(ScriptedUi::current().boxes.size(), 1);
    }

    // What the end of each test function finds left over (and fails on).
    void unusedAnswersAreNamed() {
        auto& seam = ScriptedUi::current();
        QVERIFY(seam.unusedAnswers().isEmpty());
        seam.answerBoxes({MsgResult::Yes, MsgResult::No});
        seam.answerSaveDialog(QStringLiteral("/tmp/a.xls"));
        seam.answerOpenDialog(QStringLiteral("/tmp/b.ret"));
        seam.onForm(QStringLiteral("frmNunca"), [](QDialog&) {});
        seam.onForm(QStringLiteral("frmProbe"), [](QDialog&) {});
        QCOMPARE(ui().msgBox(QStringLiteral("?"), MsgButtons::YesNo), MsgResult::Yes);
        Probe form(QStringLiteral("frmProbe"));
        ui().exec(form);
        QCOMPARE(seam.unusedAnswers(),
                 QStringLiteral("1 box answer(s); save dialog: /tmp/a.xls; open dialog: "
                                "/tmp/b.ret; form handler never ran: frmNunca"));
        seam.reset();
        QVERIFY(seam.unusedAnswers().isEmpty());
    }

    void toleranceEndsWithReset() {
        auto& seam = ScriptedUi::current();
        seam.tolerateBoxes(true);
        QCOMPARE(ui().msgBox(QStringLiteral("a"), MsgButtons::YesNo, MsgIcon::Question, {},
                             MsgDefault::Second),
                 MsgResult::No);
        seam.reset();
        QEXPECT_FAIL("", "tolerance was reset", Continue);
        ui().msgBox(QStringLiteral("b"));
        QCOMPARE(seam.boxes.size(), 1);
    }

    void mainRefusesClassesWithTheirOwnHooks() {
        PlainTestClass plain;
        OwnInitTestClass ownInit;
        ProperTestClass proper;
        QVERIFY(corvelix::test::testCaseProblem(plain).contains(QLatin1String("TestCase")));
        QVERIFY(corvelix::test::testCaseProblem(ownInit).contains(QLatin1String("init()")));
        QCOMPARE(corvelix::test::testCaseProblem(proper), QString());
    }

    // A function that leaves another locale behind, as many cleanups do, and the one after it.
    void leavesTheCLocale() { QLocale::setDefault(QLocale::c()); }
    void startsFromEsAr() { QCOMPARE(QLocale().name(), QStringLiteral("es_AR")); }

    void modalShowing_data() {
        QTest::addColumn<Load>("load");
        QTest::addColumn<Handler>("handler");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("handlerRuns");
        // What the end of the test would fail on.
        QTest::addColumn<QString>("unused");

        QTest::newRow("no handler: closed after loading")
            << Load::Nothing << Handler::None << int(QDialog::Rejected) << 0 << QString();
        QTest::newRow("handler accepts")
            << Load::Nothing << Handler::Accepts << int(QDialog::Accepted) << 1 << QString();
        QTest::newRow("handler leaves it open")
            << Load::Nothing << Handler::LeavesOpen << int(QDialog::Rejected) << 1 << QString();
        // The script of a form that closed itself first was never used.
        const QString neverRan = QStringLiteral("form handler never ran: frmProbe");
        QTest::newRow("closes itself accepted while loading")
            << Load::Accepts << Handler::Accepts << int(QDialog::Accepted) << 0 << neverRan;
        QTest::newRow("closes itself while loading")
            << Load::Rejects << Handler::Accepts << int(QDialog::Rejected) << 0 << neverRan;
    }

    void modalShowing() {
        QFETCH(Load, load);
        QFETCH(Handler, handler);
        QFETCH(int, result);
        QFETCH(int, handlerRuns);
        QFETCH(QString, unused);
        auto& seam = ScriptedUi::current();
        Probe form(QStringLiteral("frmProbe"));
        if (load == Load::Accepts)
            form.onLoad = [](Probe& f) { f.accept(); };
        if (load == Load::Rejects)
            form.onLoad = [](Probe& f) { f.reject(); };
        int runs = 0;
        if (handler != Handler::None) {
            seam.onForm(QStringLiteral("frmProbe"), [&](QDialog& d) {
                ++runs;
                QVERIFY(d.isVisible());
                QCOMPARE(form.loads, 1); // the load work ran before the script
                if (handler == Handler::Accepts)
                    d.accept();
            });
        }

        QCOMPARE(ui().exec(form), result);
        QCOMPARE(runs, handlerRuns);
        QCOMPARE(form.loads, 1);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isModal());
        QCOMPARE(seam.shownForms, QStringList{"frmProbe"});
        QVERIFY(seam.modelessForms.isEmpty());
        QCOMPARE(seam.unusedAnswers(), unused);
        seam.reset();
    }

    // Each showing starts afresh: its own load, its own handler run, its own result.
    void showingAgain() {
        auto& seam = ScriptedUi::current();
        Probe form(QStringLiteral("frmProbe"));
        int runs = 0;
        seam.onForm(QStringLiteral("frmProbe"), [&](QDialog& d) {
            if (++runs == 1)
                d.accept();
        });
        QCOMPARE(ui().exec(form), int(QDialog::Accepted));
        QCOMPARE(ui().exec(form), int(QDialog::Rejected));
        QCOMPARE(runs, 2);
        QCOMPARE(form.loads, 2);
        QCOMPARE(seam.shownForms, (QStringList{"frmProbe", "frmProbe"}));
    }

    void nestedDialogs_data() {
        QTest::addColumn<bool>("fromLoad");
        QTest::newRow("opened by the outer handler") << false;
        QTest::newRow("opened while the outer form loads") << true;
    }

    void nestedDialogs() {
        QFETCH(bool, fromLoad);
        auto& seam = ScriptedUi::current();
        Probe outer(QStringLiteral("frmOuter"));
        Probe inner(QStringLiteral("frmInner"));
        std::optional<int> innerResult;
        bool outerVisibleMeanwhile = false;
        const auto openInner = [&] {
            innerResult = ui().exec(inner);
            outerVisibleMeanwhile = outer.isVisible();
        };
        if (fromLoad)
            outer.onLoad = [&](Probe&) { openInner(); };
        seam.onForm(QStringLiteral("frmOuter"), [&](QDialog& d) {
            if (!fromLoad)
                openInner();
            d.accept();
        });
        seam.onForm(QStringLiteral("frmInner"), [&](QDialog& d) {
            QVERIFY(outer.isVisible());
            QVERIFY(d.isVisible());
            d.accept();
        });

        QCOMPARE(ui().exec(outer), int(QDialog::Accepted));
        QCOMPARE(innerResult, std::optional<int>(QDialog::Accepted));
        QVERIFY(outerVisibleMeanwhile);
        QCOMPARE(seam.shownForms, (QStringList{"frmOuter", "frmInner"}));
        QVERIFY(!outer.isVisible());
        QVERIFY(!inner.isVisible());
    }

    // A script that stops (the program ending, a failed check) must not leave a modal window
    // behind to block the next test.
    void aHandlerThatThrowsLeavesNoModalWindow() {
        auto& seam = ScriptedUi::current();
        Probe form(QStringLiteral("frmProbe"));
        seam.onForm(QStringLiteral("frmProbe"), [](QDialog&) { ui().quit(3); });
        bool exited = false;
        try {
            ui().exec(form);
        } catch (const ProgramExit& e) {
            exited = e.code == 3;
        }
        QVERIFY(exited);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // A form that refuses to close when rejected is still taken off the screen.
    void aFormThatRefusesToCloseIsHidden() {
        class Stubborn : public QDialog {
        public:
            void reject() override {}
        } form;
        form.setObjectName(QStringLiteral("frmTerco"));
        QCOMPARE(ui().exec(form), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void recordsTheOtherCalls() {
        auto& seam = ScriptedUi::current();
        seam.answerSaveDialog(QStringLiteral("/tmp/a.xls"));
        seam.setClipboard(QStringLiteral("pegado"));
        FileDialogRequest request;
        request.title = QStringLiteral("Guardar");
        QCOMPARE(ui().saveFileName(request), QStringLiteral("/tmp/a.xls"));
        QCOMPARE(ui().saveFileName(request), QString()); // nothing queued: cancelled
        QCOMPARE(ui().openFileName(request), QString());
        QCOMPARE(seam.fileDialogs.size(), 3);
        QCOMPARE(seam.fileDialogs.at(2).save, false);
        QCOMPARE(ui().clipboardText(), QStringLiteral("pegado"));
        QCOMPARE(seam.clipboardReads, 1);
        QVERIFY(ui().openUrl(QUrl(QStringLiteral("http://localhost/x"))));
        QCOMPARE(seam.openedUrls, QList<QUrl>{QUrl(QStringLiteral("http://localhost/x"))});
        ui().setBusy(true);
        ui().setBusy(false);
        QCOMPARE(seam.busyChanges, (QList<bool>{true, false}));
        QVERIFY(!seam.busy);
        ui().processEvents();
        QCOMPARE(seam.processEventsCalls, 1);

        seam.reset();
        QCOMPARE(seam.clipboardReads, 0);
        QCOMPARE(ui().clipboardText(), QString());
        QVERIFY(seam.fileDialogs.isEmpty());
    }
};

CORVELIX_TEST(tst_ScriptedUi)
#include "tst_ScriptedUi.moc"
