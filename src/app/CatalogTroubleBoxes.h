#pragma once

namespace modDA {
struct CatalogTrouble;
}

// The boxes of a catalog that cannot be opened, and the end of the program when it cannot go
// on: the program's answer to the data layer's catalog trouble (set at start).
// A busy catalog asks to retry (true) or end; a catalog named by the environment that cannot
// be used is told and ends the program with 1; a cancelled profile dialog ends it with 0; a
// connection string that could not be built is told, and the program goes on.
bool showCatalogTrouble(const modDA::CatalogTrouble& trouble);
