CREATE PROCEDURE dbo.SETITEMINFOAD
    @IDDT varchar(16)
AS
BEGIN
    -- One row per item of the declaration with its complementary information as
    -- 'code=value' elements in code order, joined by '|#|'.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @icpl varchar(16);
    DECLARE @nart varchar(4);
    DECLARE @ccpl varchar(8000);
    DECLARE @mcpl varchar(8000);
    -- the list keeps its first 8000 characters
    DECLARE @lista varchar(8000);

    BEGIN TRANSACTION;

    IF OBJECT_ID(N'dbo.ITEM_INFOAD', N'U') IS NULL
        CREATE TABLE dbo.ITEM_INFOAD (
            IDDT varchar(16) NULL,
            NART varchar(4) NULL,
            INFOAD varchar(8000) NULL
        );

    DELETE FROM dbo.ITEM_INFOAD;

    DECLARE cItems CURSOR LOCAL FAST_FORWARD FOR
        SELECT DISTINCT ICPL, NART FROM dbo.CPL WHERE ICPL = @IDDT;
    OPEN cItems;
    FETCH NEXT FROM cItems INTO @icpl, @nart;
    WHILE @@FETCH_STATUS = 0
    BEGIN
        SET @lista = '';
        DECLARE cCodigos CURSOR LOCAL FAST_FORWARD FOR
            SELECT CCPL, MCPL FROM dbo.CPL WHERE ICPL = @icpl AND NART = @nart ORDER BY CCPL;
        OPEN cCodigos;
        FETCH NEXT FROM cCodigos INTO @ccpl, @mcpl;
        WHILE @@FETCH_STATUS = 0
        BEGIN
            -- a value without text must not blank the whole list
            SET @lista = @lista + '|#|' + ISNULL(@ccpl, '') + '=' + ISNULL(@mcpl, '');
            FETCH NEXT FROM cCodigos INTO @ccpl, @mcpl;
        END;
        CLOSE cCodigos;
        DEALLOCATE cCodigos;

        INSERT INTO dbo.ITEM_INFOAD (IDDT, NART, INFOAD)
        VALUES (@icpl, @nart, LTRIM(RTRIM(SUBSTRING(@lista, 4, 8000))));

        FETCH NEXT FROM cItems INTO @icpl, @nart;
    END;
    CLOSE cItems;
    DEALLOCATE cItems;

    COMMIT TRANSACTION;
END
