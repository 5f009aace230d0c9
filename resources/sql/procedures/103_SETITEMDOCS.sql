CREATE PROCEDURE dbo.SETITEMDOCS
    @IDDT varchar(16)
AS
BEGIN
    -- One row per item of the declaration with its documents as 'code=reference' elements
    -- in code order, joined by '|#|'. A document without reference must not blank the
    -- whole list.
    -- One set statement: the elements of each item joined in a subquery (FOR XML PATH).
    -- Control characters XML cannot hold (a vertical tab pasted from a word processor) are
    -- left out of the elements: the XML aggregation would otherwise refuse the statement.
    -- They are looked for under a binary collation: under others CHAR(0) weighs nothing
    -- and is not found.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    -- Inside a caller's transaction the work is part of it; a failure undoes it all.
    DECLARE @propia bit;
    SET @propia = 0;
    IF @@TRANCOUNT = 0
    BEGIN
        BEGIN TRANSACTION;
        SET @propia = 1;
    END;

    IF OBJECT_ID(N'dbo.ITEM_DOCS', N'U') IS NULL
        CREATE TABLE dbo.ITEM_DOCS (
            IDDT varchar(16) NULL,
            NART varchar(4) NULL,
            DOCS varchar(8000) NULL
        );

    DELETE FROM dbo.ITEM_DOCS;

    -- The list keeps its first 8000 characters, leading separator included, as a
    -- variable of that size did; then the separator goes and the blanks around.
    INSERT INTO dbo.ITEM_DOCS (IDDT, NART, DOCS)
    SELECT i.IDVD, i.NART,
           LTRIM(RTRIM(SUBSTRING(LEFT(
               (SELECT REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(
                          ('|#|' + ISNULL(e.CDVDDOC, '') + '=' + ISNULL(e.LDVDREFDOC, '')) COLLATE Latin1_General_BIN,
                          CHAR(0), ''),
                          CHAR(1), ''),
                          CHAR(2), ''),
                          CHAR(3), ''),
                          CHAR(4), ''),
                          CHAR(5), ''),
                          CHAR(6), ''),
                          CHAR(7), ''),
                          CHAR(8), ''),
                          CHAR(11), ''),
                          CHAR(12), ''),
                          CHAR(14), ''),
                          CHAR(15), ''),
                          CHAR(16), ''),
                          CHAR(17), ''),
                          CHAR(18), ''),
                          CHAR(19), ''),
                          CHAR(20), ''),
                          CHAR(21), ''),
                          CHAR(22), ''),
                          CHAR(23), ''),
                          CHAR(24), ''),
                          CHAR(25), ''),
                          CHAR(26), ''),
                          CHAR(27), ''),
                          CHAR(28), ''),
                          CHAR(29), ''),
                          CHAR(30), ''),
                          CHAR(31), '')
                  FROM dbo.DVD AS e
                 WHERE e.IDVD = i.IDVD AND e.NART = i.NART
                  ORDER BY e.CDVDDOC
                   FOR XML PATH(''), TYPE).value('.', 'varchar(max)'),
               8000), 4, 8000)))
      FROM (SELECT DISTINCT IDVD, NART FROM dbo.DVD WHERE IDVD = @IDDT) AS i;

    IF @propia = 1
        COMMIT TRANSACTION;
END
