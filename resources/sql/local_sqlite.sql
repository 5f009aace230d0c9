-- Local database of the program (SQLite).

-- One row per item line of a loaded SIMI sheet, plus a zero row for every item of the
-- declaration the sheet leaves out. Procesado: 0 loaded, 1 marked for deletion, 2 deleted.
CREATE TABLE SIMIGlobalItem (
    NumeroOperacion     TEXT COLLATE NOCASE NOT NULL,
    Item                INTEGER,
    Subitem             INTEGER,
    Cantidad            REAL,
    Fob                 REAL,
    Lista               TEXT COLLATE NOCASE,
    CCTexto             TEXT COLLATE NOCASE,
    Certificado_Origen  TEXT COLLATE NOCASE,
    KGNeto              REAL,
    Procesado           INTEGER DEFAULT 0,
    DeclaradaUnidad     TEXT COLLATE NOCASE,
    DeclaradaCantidad   REAL,
    EstadisticaUnidad   TEXT COLLATE NOCASE,
    EstadisticaCantidad REAL,
    PaisOrigen          TEXT COLLATE NOCASE
);
CREATE INDEX SIMIGlobalItem_KEY ON SIMIGlobalItem (NumeroOperacion, Item);

-- Ready-made values for complementary information, offered by the lookup list.
CREATE TABLE INFOADICIONAL (
    ID      TEXT COLLATE NOCASE NOT NULL,
    VALOR   TEXT COLLATE NOCASE
);
CREATE INDEX INFOADICIONAL_KEY ON INFOADICIONAL (ID);
