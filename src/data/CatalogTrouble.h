#pragma once

#include <QString>

#include <functional>

// What the user is told when the catalog cannot be opened, and whether the program ends, is
// decided where the program starts, as the profile dialog is: the data layer says what went
// wrong through this hook, which the program sets at start.
namespace modDA {

struct CatalogTrouble {
    enum Kind {
        // Another program holds the catalog: the answer says whether to try again.
        Busy,
        // The catalog named by CORVELIX_KITSQL cannot be used.
        Unusable,
        // The profile dialog was cancelled.
        Cancelled,
        // The connection string could not be built: told, and the failure goes on up.
        ConnectionString,
    };
    Kind kind = Busy;
    // What to tell the user, in Spanish; empty for Cancelled.
    QString message;
};

// `handler` tells the user and answers true to try again; when the program is not to go on
// (a busy catalog not tried again, an unusable or cancelled one), it ends the program.
void setCatalogTroubleHandler(std::function<bool(const CatalogTrouble&)> handler);
// True to try again. Without a handler nothing is tried again.
bool reportCatalogTrouble(const CatalogTrouble& trouble);

} // namespace modDA
