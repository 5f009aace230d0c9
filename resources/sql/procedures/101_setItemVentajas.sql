CREATE PROCEDURE dbo.setItemVentajas
    @iddt varchar(16)
AS
BEGIN
    -- One row per item of the declaration with its advantage codes joined by '|#|'.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @isrg varchar(16);
    DECLARE @nart varchar(4);
    DECLARE @csrg varchar(8000);
    -- the list keeps its first 5000 characters
    DECLARE @lista varchar(5000);

    BEGIN TRANSACTION;

    IF OBJECT_ID(N'dbo.item_ventajas', N'U') IS NULL
        CREATE TABLE dbo.item_ventajas (
            iddt varchar(16) NULL,
            nart varchar(4) NULL,
            ventajas varchar(5000) NULL
        );

    DELETE FROM dbo.item_ventajas;

    DECLARE cItems CURSOR LOCAL FAST_FORWARD FOR
        SELECT DISTINCT ISRG, NART FROM dbo.SRG WHERE ISRG = @iddt;
    OPEN cItems;
    FETCH NEXT FROM cItems INTO @isrg, @nart;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @lista = '';
        DECLARE cCodigos CURSOR LOCAL FAST_FORWARD FOR
            SELECT CSRG FROM dbo.SRG WHERE ISRG = @isrg AND NART = @nart;
        OPEN cCodigos;
        FETCH NEXT FROM cCodigos INTO @csrg;
        WHILE @@FETCH_STATUS = 0
        BEGIN
            SET @lista = @lista + '|#|' + ISNULL(@csrg, '');
            FETCH NEXT FROM cCodigos INTO @csrg;
        END;
        CLOSE cCodigos;
        DEALLOCATE cCodigos;

        INSERT INTO dbo.item_ventajas (iddt, nart, ventajas)
        VALUES (@isrg, @nart, LTRIM(RTRIM(SUBSTRING(@lista, 4, 5000))));

        FETCH NEXT FROM cItems INTO @isrg, @nart;
    END;
    CLOSE cItems;
    DEALLOCATE cItems;

    COMMIT TRANSACTION;
END
