CREATE PROCEDURE dbo.GETCPLPIVOT
    @DESPACHO varchar(16),
    @NART varchar(5)
AS
BEGIN
    -- CPLPIVOT: one row per item, one column per complementary-information code holding its
    -- value. @NART '0000' takes the declaration's own rows, any other value the item rows.
    -- Without codes the table is left dropped.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @columnas nvarchar(max);
    DECLARE @sql nvarchar(max);

    SET @columnas = STUFF((
        SELECT N',' + QUOTENAME(c.CCPL)
        FROM (SELECT DISTINCT CCPL
              FROM dbo.CPL
              WHERE ICPL = @DESPACHO
                AND CCPL IS NOT NULL
                AND ((@NART = '0000' AND NART = '0000')
                     OR (@NART <> '0000' AND NART <> '0000'))) AS c
        ORDER BY c.CCPL
        FOR XML PATH(''), TYPE).value('.', 'nvarchar(max)'), 1, 1, N'');

    -- Inside a caller's transaction the work is part of it; a failure undoes it all.
    DECLARE @propia bit;
    SET @propia = 0;
    IF @@TRANCOUNT = 0
    BEGIN
        BEGIN TRANSACTION;
        SET @propia = 1;
    END;

    IF OBJECT_ID(N'dbo.CPLPIVOT', N'U') IS NOT NULL
        DROP TABLE dbo.CPLPIVOT;

    IF @columnas IS NOT NULL
    BEGIN
        SET @sql = N'SELECT ICPL, NART, ' + @columnas + N' INTO dbo.CPLPIVOT'
                 + N' FROM (SELECT ICPL, NART, CCPL, MCPL FROM dbo.CPL'
                 + N' WHERE ICPL = @despacho AND '
                 + CASE WHEN @NART = '0000' THEN N'NART = ''0000''' ELSE N'NART <> ''0000''' END
                 + N') AS filas'
                 + N' PIVOT (MAX(MCPL) FOR CCPL IN (' + @columnas + N')) AS p';
        EXEC sp_executesql @sql, N'@despacho varchar(16)', @despacho = @DESPACHO;
    END;

    IF @propia = 1
        COMMIT TRANSACTION;
END
