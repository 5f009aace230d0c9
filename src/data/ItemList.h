#pragma once

#include "data/Sql.h"

#include <QStringList>
#include <QVariantList>

namespace modDA {

// The item picker's choice: "TODO" or item numbers, each a four-digit text between single
// quotes, joined by commas ("'0001','0003'"). The numbers are bound, never pasted into a
// statement: one placeholder each up to kMaxBoundNumbers, beyond that one text holding them all.
struct ItemList {
    // "TODO": every item of the declaration, never its declaration-level row "0000".
    bool all = false;
    // The chosen item numbers without their quotes, in the picker's order.
    QStringList numbers;

    // Reads the picker's text. Anything else (an empty text, a number that is not four digits,
    // a missing quote or comma) raises a VbError before any statement runs.
    [[nodiscard]] static ItemList parse(const QString& text);

    static constexpr qsizetype kMaxBoundNumbers = 1000;

    // "<column> IN (?, ?)" for chosen numbers, a search in one bound text for more than
    // kMaxBoundNumbers of them; "<column> <> '0000'" for "TODO".
    [[nodiscard]] Sql condition(const Sql& column) const;
    // The values for condition()'s placeholders (none for "TODO").
    [[nodiscard]] QVariantList params() const;
};

} // namespace modDA
