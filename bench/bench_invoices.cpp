// Pasting 5,000 invoice numbers into a declaration's header: the paste split into numbers, each
// added unless already there, in one transaction, and the invoice list read back once; beside
// the same 5,000 INSERTs in one transaction through the sqlite3 shell.

#include "bench.h"

#include "assembly/frmCaratula.h"
#include "data/invoices.h"
#include "data/modDA.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

using corvelix::bench::Run;

constexpr int kInvoices = 5000;
const QString kDeclaration = QStringLiteral("24001IC04000101K");

QString invoiceNumber(int i) {
    return QStringLiteral("00003-%1").arg(i, 8, 10, QLatin1Char('0'));
}

void pasteInvoices(Run& run) {
    const QString path = run.makeCatalog(0, QStringLiteral("invoices.db"));

    // Lines end with LF alone, as text copied on this platform does.
    QString pasted;
    for (int i = 1; i <= kInvoices; ++i)
        pasted += invoiceNumber(i) + QLatin1Char('\n');

    int added = 0;
    int listed = 0;
    const auto ours = [&] {
        const double ms = run.timeOnCopy(path, [&] {
            added = modDA::addNewInvoices(kDeclaration, invoiceNumbersOfPaste(pasted));
            listed = modDA::getDocumentosCaratula(kDeclaration, true).recordCount();
        });
        if (added != kInvoices || listed != kInvoices + 2) {
            std::fprintf(stderr, "bench: %d invoices added, %d listed\n", added, listed);
            std::exit(1);
        }
        return ms;
    };

    QString inserts;
    for (int i = 1; i <= kInvoices; ++i)
        inserts += QStringLiteral("INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                  "VALUES ('%1', '0000', 'FACTURACOMERCIAL', 'S', '%2');\n")
                       .arg(kDeclaration, invoiceNumber(i));
    run.compare(QStringLiteral("pasted invoices, 5000 numbers"), ours,
                [&] { return run.shellOnce(path, inserts, true); }, 2.0);
}

} // namespace

CORVELIX_BENCH(invoices_paste, pasteInvoices)
