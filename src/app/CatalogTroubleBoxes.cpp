#include "app/CatalogTroubleBoxes.h"

#include "data/CatalogTrouble.h"
#include "runtime/Ui.h"

using corvelix::ui;

bool showCatalogTrouble(const modDA::CatalogTrouble& trouble) {
    int exitCode = 0;
    if (trouble.kind == modDA::CatalogTrouble::ConnectionString) {
        ui().msgBox(trouble.message, corvelix::MsgButtons::Ok);
        return false;
    }
    if (trouble.kind == modDA::CatalogTrouble::Busy) {
        if (ui().msgBox(trouble.message, corvelix::MsgButtons::RetryCancel,
                        corvelix::MsgIcon::Exclamation) == corvelix::MsgResult::Retry)
            return true;
    } else if (trouble.kind == modDA::CatalogTrouble::Unusable) {
        ui().msgBox(trouble.message, corvelix::MsgButtons::Ok, corvelix::MsgIcon::Critical);
        exitCode = 1;
    }
    ui().quit(exitCode);
    return false;
}
