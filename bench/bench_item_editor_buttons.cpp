// The item editor's buttons over every item of the large declaration (the "Prorrateos" page),
// from the click to the closing box, beside the same statements in one transaction of the
// sqlite3 shell.

#include "bench.h"

#include "data/demo_catalog.h"
#include "data/global_items.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "item_editor/ProrrateosTab.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

using corvelix::bench::one;
using corvelix::bench::statementsOf;

using corvelix::MsgButtons;
using corvelix::MsgResult;

constexpr int kItems = 3000;

QString large() {
    return modDA::kLargeDeclaration;
}

// The spread's read of its rounded shares, answered as adding up to `amount` (no rest).
modDA::Recordset sharesAddUpTo(double amount) {
    return {QStringList{QStringLiteral("total"), QStringLiteral("downs"), QStringLiteral("ups")},
            {{amount, 0, 0}}};
}

// The page's questions answered Yes; any other box is the end of an operation.
class AnswerUi : public corvelix::Ui {
public:
    explicit AnswerUi(corvelix::Ui& next) : next_(next) {}
    MsgResult msgBox(const QString&, MsgButtons buttons, corvelix::MsgIcon, const QString&,
                     corvelix::MsgDefault) override {
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    int exec(QDialog& dialog) override { return next_.exec(dialog); }
    void show(QWidget& window) override { next_.show(window); }
    QString saveFileName(const corvelix::FileDialogRequest& r) override {
        return next_.saveFileName(r);
    }
    QString openFileName(const corvelix::FileDialogRequest& r) override {
        return next_.openFileName(r);
    }
    QString clipboardText() override { return {}; }
    bool openUrl(const QUrl&) override { return false; }
    void setBusy(bool) override {}
    void processEvents() override {}
    [[noreturn]] void quit(int code) override {
        next_.quit(code);
        std::abort();
    }

private:
    corvelix::Ui& next_;
};

QString prepare(corvelix::bench::Run& run, const QString& name) {
    static QString built;
    if (built.isEmpty())
        built = run.makeCatalog(kItems, QStringLiteral("item_editor.db"));
    const QString ours = run.copyCatalog(built, name);
    run.useCatalog(ours);
    return built;
}

// The editor's page on a bare host, for the whole declaration.
struct Page {
    QWidget form;
    QWidget* page;
    QString operacion = large();
    std::unique_ptr<ProrrateosTab> tab;
    Page() {
        // Amounts are typed in the machine's form.
        QLocale::setDefault(QLocale::c());
        form.setObjectName(QStringLiteral("frmItemDetalle"));
        page = new QWidget(&form);
        tab = std::make_unique<ProrrateosTab>(form, *page, operacion);
    }
    void press(const char* box, const QString& text, const char* button) {
        if (box != nullptr)
            page->findChild<QLineEdit*>(QLatin1String(box))->setText(text);
        page->findChild<QPushButton*>(QLatin1String(button))->click();
    }
};

// `inner` clicks in a row on a fresh copy of `built`, the page's questions answered Yes.
double clickOnCopy(corvelix::bench::Run& run, const QString& built,
                   const std::function<void(Page&)>& click, int inner = 1) {
    AnswerUi seam(corvelix::ui());
    corvelix::Ui* previous = corvelix::setUi(&seam);
    double ms = 0;
    {
        Page page;
        ms = run.timeOnCopy(
            built, [&] { click(page); }, inner);
    }
    corvelix::setUi(previous);
    return ms;
}

// Our click, then the shell: the spread's set statements with its rest and fill, then what
// the button adds, in one transaction. Twice on each side (the same amount spread again
// gives the same rows): once takes about ten milliseconds.
void amountButton(corvelix::bench::Run& run, int campo, const char* box, const char* button,
                  bool header, const QString& label) {
    const QString path = prepare(run, QStringLiteral("amount%1.db").arg(campo));
    const auto ours = [&] {
        return clickOnCopy(
            run, path, [&](Page& page) { page.press(box, QStringLiteral("98765.43"), button); }, 2);
    };
    const QVariant fob =
        modDA::getRs(modDA::kCatalog, "SELECT MDDTFOB FROM DDT WHERE IDDT = ?", {large()}).field(0);
    QString shell = QStringLiteral("BEGIN;\n") +
                    statementsOf([&] { modDA::prorratear_DatosCaratula(large(), campo, 98765.43); },
                                 {one("MDDTFOB", fob), one("fob", fob), sharesAddUpTo(98765.43),
                                  one("total", 0)}) +
                    QLatin1Char('\n');
    if (header)
        shell += statementsOf([] { modDA::recalcularCaratula(large()); }, {}) + QLatin1Char('\n');
    shell +=
        statementsOf([] { modDA::Invalidar_ITEM(large(), QStringLiteral("0000"), true); }, {}) +
        QStringLiteral("\nCOMMIT;");
    run.compare(
        label, ours, [&] { return run.shellOnce(path, shell, true, 2); }, 2.0);
}

void seguro(corvelix::bench::Run& run) {
    amountButton(run, modDA::kCampoSeguro, "txtSeguroTotal", "cmdProrratear_Seguro", true,
                 QStringLiteral("Prorratear Seguro (3000 items)"));
}
void flete(corvelix::bench::Run& run) {
    amountButton(run, modDA::kCampoFlete, "txtFleteTotal", "cmdProrratear_Flete", true,
                 QStringLiteral("Prorratear Flete (3000 items)"));
}
void ajusteIncluir(corvelix::bench::Run& run) {
    amountButton(run, modDA::kCampoAjusteIncluir, "txtAjusteIncTotal", "cmdProrratearAjInc", false,
                 QStringLiteral("Prorratear Ajuste a Incluir (3000 items)"));
}
void ajusteDeducir(corvelix::bench::Run& run) {
    amountButton(run, modDA::kCampoAjusteDeducir, "txtAjusteDedTotal", "cmdProrratearAjDed", false,
                 QStringLiteral("Prorratear Ajuste a Deducir (3000 items)"));
}

void kilos(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("kilos.db"));
    const auto ours = [&] {
        return clickOnCopy(run, path, [](Page& page) {
            page.press("txtKgNetoTotal", QStringLiteral("123456.78"), "cmdProrrKGNETO");
        });
    };
    const double fob =
        modDA::getRs(modDA::kCatalog, "SELECT SUM(MARTFOB) FROM ART WHERE IDDT = ?", {large()})
            .field(0)
            .toDouble();
    const QString shell =
        QStringLiteral("BEGIN;\n") +
        statementsOf([] { (void)modDA::ProrratearKilos(large(), 123456.78); },
                     {one("total", kItems), one("KiloFijos", QVariant()), one("fob", fob),
                      modDA::Recordset(), sharesAddUpTo(123456.78), one("total", 0)}) +
        QLatin1Char('\n') +
        statementsOf([] { modDA::Invalidar_ITEM(large(), QStringLiteral("0000"), true); }, {}) +
        QStringLiteral("\nCOMMIT;");
    run.compare(
        QStringLiteral("Prorratear KG Neto (3000 items)"), ours,
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

// Ten percent more FOB, confirmed: spread, unit prices, subitems, marks, header.
void ajusteFob(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("fob.db"));
    const auto ours = [&] {
        return clickOnCopy(run, path, [](Page& page) {
            page.press("txtAjusteFOB", QStringLiteral("%10"), "cmdAjusteAFOB");
        });
    };
    const QVariant fob =
        modDA::getRs(modDA::kCatalog, "SELECT MDDTFOB FROM DDT WHERE IDDT = ?", {large()}).field(0);
    const double total = fob.toDouble() * 1.1;
    const QString d = QStringLiteral("'%1'").arg(large());
    const QString shell =
        QStringLiteral("BEGIN;\nSELECT SUM(MARTFOB) AS total FROM ART WHERE IDDT = %1;\n").arg(d) +
        statementsOf(
            [&] { modDA::prorratear_DatosCaratula(large(), modDA::kCampoFob, total); },
            {one("MDDTFOB", fob), one("fob", fob), sharesAddUpTo(total), one("total", 0)}) +
        QLatin1Char('\n') +
        statementsOf([] { modDA::RecalcularUnitariosItems(large()); }, {modDA::Recordset()}) +
        QLatin1Char('\n') + statementsOf([] { modDA::prorratearSubItems(large()); }, {}) +
        QLatin1Char('\n') +
        statementsOf([] { modDA::Invalidar_ITEM(large(), QString(), true); }, {}) +
        QLatin1Char('\n') + statementsOf([] { modDA::recalcularCaratula(large()); }, {}) +
        QStringLiteral("\nCOMMIT;");
    run.compare(
        QStringLiteral("Recalcular FOB %10 (3000 items)"), ours,
        [&] { return run.shellOnce(path, shell, true); }, 2.0);
}

void opcionIva(corvelix::bench::Run& run) {
    const QString path = prepare(run, QStringLiteral("iva.db"));
    const auto ours = [&] {
        return clickOnCopy(
            run, path,
            [](Page& page) {
                page.page->findChild<QComboBox*>(QStringLiteral("cboOpcionesIVA"))
                    ->setCurrentIndex(1);
                page.press(nullptr, {}, "cmdOpcionesIVA");
            },
            2);
    };
    const QString shell =
        QStringLiteral("BEGIN;\n") +
        statementsOf(
            [] {
                modDA::contestarOpcionItems(large(), QStringLiteral("IVAADICIONAL1"),
                                            QStringLiteral("IVAAD1"));
            },
            {}) +
        QStringLiteral("\nCOMMIT;");
    // Twice on each side, as for the spreads.
    run.compare(
        QStringLiteral("Contestar Opcion IVA (3000 items)"), ours,
        [&] { return run.shellOnce(path, shell, true, 2); }, 2.0);
}

} // namespace

CORVELIX_BENCH(item_editor_seguro, seguro)
CORVELIX_BENCH(item_editor_flete, flete)
CORVELIX_BENCH(item_editor_ajuste_incluir, ajusteIncluir)
CORVELIX_BENCH(item_editor_ajuste_deducir, ajusteDeducir)
CORVELIX_BENCH(item_editor_kilos, kilos)
CORVELIX_BENCH(item_editor_ajuste_fob, ajusteFob)
CORVELIX_BENCH(item_editor_opcion_iva, opcionIva)
