#pragma once

#include "item_editor/PestanaCCPAC.h"
#include "item_editor/PestanaDocumentos.h"
#include "item_editor/PestanaInfoAdicional.h"
#include "item_editor/PestanaVentajas.h"
#include "support/CatalogFixture.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace corvelix::test {

// The demo-sized declaration of the list-tab tests: items 0001 to 0003 and declaration-level
// rows "0000"; VEN: V1 current, V9 expired; ZCP/DOC codes for the lookups.
extern const QString kListTabsDespacho;
extern const QString kListTabsSeed;

// The four list tabs on pages of a bare host window named like the item editor.
class ListTabsHost {
public:
    explicit ListTabsHost(const QString& item);
    ~ListTabsHost();

    QString item;
    QString origen = QStringLiteral("225");
    int liquidationChecks = 0;
    int globalReloads = 0;

    QDialog host;
    PestanaInfoAdicional* info = nullptr;
    PestanaVentajas* ventajas = nullptr;
    PestanaDocumentos* documentos = nullptr;
    PestanaCCPAC* ccpac = nullptr;

    // Fills every tab as the window's load does for the scope.
    void cargar();
};

// The next item picker answers `answer` ("" as if cancelled).
void answerItemPicker(const QString& answer);
// The next lookup list answers `code` (and `value` as the row's default answer).
void answerLookup(const QString& code, const QString& value = {});

// Texts of the boxes shown so far, each "<icon>|<text>".
QStringList boxes();

} // namespace corvelix::test
