#pragma once

#include "assembly/frmCaratula.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

namespace corvelix {
class FlexGrid;
}

// A small catalog for the header editor and the invoice dialogs: an import declaration with
// three invoices and three items, an export declaration with one invoice, and a declaration
// whose invoices are marked not presented.
namespace invoice_test {

inline const QString kImport = QStringLiteral("26001IC04000600A");
inline const QString kExport = QStringLiteral("26001EC01000601B");
inline const QString kNotPresented = QStringLiteral("26001IC04000602C");

QString seed();

// The declaration's invoice rows in the order they were written, "presence:reference".
QStringList storedInvoices(const QString& iddt = kImport);
// Every cell of a grid, row by row, joined by '|'.
QStringList gridRows(const corvelix::FlexGrid& grid);
// The invoice numbers shown in the header editor's grid (its header row left out).
QStringList shownInvoices(QWidget& caratula);

template <class T> T& child(QWidget& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no control %s", name);
    return *found;
}

// Shows the header editor on `despacho` through the seam and runs `inside` while it is shown;
// the editor is then closed as the seam closes every dialog. Returns whether `inside` ran.
bool withCaratula(frmCaratula& form, const QString& despacho,
                  const std::function<void(frmCaratula&)>& inside);
bool withCaratula(const QString& despacho, const std::function<void(frmCaratula&)>& inside);

// Pastes `text` through the clipboard seam into the paste dialog and accepts it.
void pasteThroughClipboard(frmCaratula& form, const QString& text);

} // namespace invoice_test
