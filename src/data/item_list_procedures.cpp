#include "data/item_list_procedures.h"

namespace modDA {

namespace {

Sql name(const char* text) {
    return Sql::identifier(QLatin1String(text));
}

// "'|#|' + ISNULL(e.CODE, '')" and, with a value, "+ '=' + ISNULL(e.VALUE, '')".
Sql serverElement(const ItemListProcedure& p) {
    Sql element = "'|#|' + ISNULL(e." + name(p.code) + ", '')";
    if (p.value)
        element += " + '=' + ISNULL(e." + name(p.value) + ", '')";
    return element;
}

// The element without the characters XML refuses, one REPLACE each. They are looked for under
// a binary collation: under others CHAR(0) weighs nothing and is not found.
Sql withoutRefusedCharacters(const Sql& element) {
    const QList<int>& refused = charactersXmlRefuses();
    Sql text;
    for (qsizetype i = 0; i < refused.size(); ++i)
        text += "REPLACE(";
    text += "\n                          (" + element + ") COLLATE Latin1_General_BIN";
    for (const int c : refused)
        text += ",\n                          CHAR(" + Sql::integer(c) + "), '')";
    return text;
}

} // namespace

const std::array<ItemListProcedure, 3>& itemListProcedures() {
    static const std::array<ItemListProcedure, 3> procedures{{
        // Advantage codes, in no particular order.
        {"setItemVentajas",
         "iddt",
         "item_ventajas",
         {"iddt", "nart", "ventajas"},
         5000,
         "SRG",
         "ISRG",
         "CSRG",
         nullptr,
         false},
        // Complementary information as code=value, in code order.
        {"SETITEMINFOAD",
         "IDDT",
         "ITEM_INFOAD",
         {"IDDT", "NART", "INFOAD"},
         8000,
         "CPL",
         "ICPL",
         "CCPL",
         "MCPL",
         true},
        // Documents as code=reference, in code order.
        {"SETITEMDOCS",
         "IDDT",
         "ITEM_DOCS",
         {"IDDT", "NART", "DOCS"},
         8000,
         "DVD",
         "IDVD",
         "CDVDDOC",
         "LDVDREFDOC",
         true},
    }};
    return procedures;
}

const ItemListProcedure* findItemListProcedure(const QString& procedureName) {
    for (const ItemListProcedure& procedure : itemListProcedures()) {
        if (procedureName == QLatin1String(procedure.name))
            return &procedure;
    }
    return nullptr;
}

const QList<int>& charactersXmlRefuses() {
    static const QList<int> refused = [] {
        QList<int> list;
        for (int c = 0; c < 0x20; ++c) {
            if (c != '\t' && c != '\n' && c != '\r')
                list << c;
        }
        return list;
    }();
    return refused;
}

Sql serverScript(const ItemListProcedure& p) {
    const Sql table = "dbo." + name(p.table);
    const Sql parameter = "@" + name(p.parameter);
    const Sql declaration = name(p.declaration);
    const Sql source = "dbo." + name(p.source);
    const Sql limit = Sql::integer(p.limit);
    const Sql columns = name(p.columns[0]) + ", " + name(p.columns[1]) + ", " + name(p.columns[2]);
    Sql order;
    if (p.ordered)
        order = "\n                  ORDER BY e." + name(p.code);

    return "CREATE PROCEDURE dbo." + name(p.name) + "\n    " + parameter +
           " varchar(16)\n"
           "AS\n"
           "BEGIN\n"
           "    -- One row per item of the declaration with its elements joined by '|#|', in one\n"
           "    -- set statement: the elements of each item joined in a subquery (FOR XML PATH).\n"
           "    -- Control characters XML cannot hold (a vertical tab pasted from a word\n"
           "    -- processor) are left out of the elements: the XML aggregation would otherwise\n"
           "    -- refuse the statement.\n"
           "    SET NOCOUNT ON;\n"
           "    SET XACT_ABORT ON;\n"
           "\n"
           "    -- Inside a caller's transaction the work is part of it; a failure undoes it all.\n"
           "    DECLARE @propia bit;\n"
           "    SET @propia = 0;\n"
           "    IF @@TRANCOUNT = 0\n"
           "    BEGIN\n"
           "        BEGIN TRANSACTION;\n"
           "        SET @propia = 1;\n"
           "    END;\n"
           "\n"
           "    IF OBJECT_ID(N'" +
           table + "', N'U') IS NULL\n        CREATE TABLE " + table + " (\n            " +
           name(p.columns[0]) + " varchar(16) NULL,\n            " + name(p.columns[1]) +
           " varchar(4) NULL,\n            " + name(p.columns[2]) + " varchar(" + limit +
           ") NULL\n        );\n"
           "\n"
           "    DELETE FROM " +
           table +
           ";\n"
           "\n"
           "    -- The list keeps its first characters, leading separator included, as a\n"
           "    -- variable of that size did; then the separator goes and the blanks around.\n"
           "    INSERT INTO " +
           table + " (" + columns + ")\n    SELECT i." + declaration +
           ", i.NART,\n"
           "           LTRIM(RTRIM(SUBSTRING(LEFT(\n"
           "               (SELECT " +
           withoutRefusedCharacters(serverElement(p)) + "\n                  FROM " + source +
           " AS e\n                 WHERE e." + declaration + " = i." + declaration +
           " AND e.NART = i.NART" + order +
           "\n                   FOR XML PATH(''), TYPE).value('.', 'varchar(max)'),\n"
           "               " +
           limit + "), 4, " + limit + ")))\n      FROM (SELECT DISTINCT " + declaration +
           ", NART FROM " + source + " WHERE " + declaration + " = " + parameter +
           ") AS i;\n"
           "\n"
           "    IF @propia = 1\n"
           "        COMMIT TRANSACTION;\n"
           "END\n";
}

} // namespace modDA
