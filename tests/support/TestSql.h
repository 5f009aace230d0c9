#pragma once

#include "data/Sql.h"

namespace modDA {

// Only tests may turn a run-time text into a statement: fixtures and checks build their own
// SQL (generated inserts, the statement under test read from a table of cases).
struct SqlTestAccess {
    static Sql raw(const QString& text) { return {Sql::Trusted{}, text}; }
};

} // namespace modDA

inline modDA::Sql testSql(const QString& text) {
    return modDA::SqlTestAccess::raw(text);
}
