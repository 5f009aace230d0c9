CREATE PROCEDURE dbo.SETITEMDOCS
    @IDDT varchar(16)
AS
BEGIN
    -- One row per item of the declaration with its documents as 'code=reference' elements
    -- in code order, joined by '|#|'.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @idvd varchar(16);
    DECLARE @nart varchar(4);
    DECLARE @cdvddoc varchar(8000);
    DECLARE @ldvdrefdoc varchar(8000);
    -- the list keeps its first 8000 characters
    DECLARE @lista varchar(8000);

    BEGIN TRANSACTION;

    IF OBJECT_ID(N'dbo.ITEM_DOCS', N'U') IS NULL
        CREATE TABLE dbo.ITEM_DOCS (
            IDDT varchar(16) NULL,
            NART varchar(4) NULL,
            DOCS varchar(8000) NULL
        );

    DELETE FROM dbo.ITEM_DOCS;

    DECLARE cItems CURSOR LOCAL FAST_FORWARD FOR
        SELECT DISTINCT IDVD, NART FROM dbo.DVD WHERE IDVD = @IDDT;
    OPEN cItems;
    FETCH NEXT FROM cItems INTO @idvd, @nart;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @lista = '';
        DECLARE cDocumentos CURSOR LOCAL FAST_FORWARD FOR
            SELECT CDVDDOC, LDVDREFDOC FROM dbo.DVD
            WHERE IDVD = @idvd AND NART = @nart ORDER BY CDVDDOC;
        OPEN cDocumentos;
        FETCH NEXT FROM cDocumentos INTO @cdvddoc, @ldvdrefdoc;
        WHILE @@FETCH_STATUS = 0
        BEGIN
            -- a document without reference must not blank the whole list
            SET @lista = @lista + '|#|' + ISNULL(@cdvddoc, '') + '=' + ISNULL(@ldvdrefdoc, '');
            FETCH NEXT FROM cDocumentos INTO @cdvddoc, @ldvdrefdoc;
        END;
        CLOSE cDocumentos;
        DEALLOCATE cDocumentos;

        INSERT INTO dbo.ITEM_DOCS (IDDT, NART, DOCS)
        VALUES (@idvd, @nart, LTRIM(RTRIM(SUBSTRING(@lista, 4, 8000))));

        FETCH NEXT FROM cItems INTO @idvd, @nart;
    END;
    CLOSE cItems;
    DEALLOCATE cItems;

    COMMIT TRANSACTION;
END
