CREATE PROCEDURE dbo.GETSRGPIVOT
    @DESPACHO varchar(16)
AS
BEGIN
    -- SRGPIVOT: one row per item (the declaration's own row included), one column per
    -- advantage code of the declaration holding 'SI' where the item has it.
    -- Without codes the table is left dropped.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @columnas nvarchar(max);
    DECLARE @sql nvarchar(max);

    SET @columnas = STUFF((
        SELECT N',' + QUOTENAME(c.CSRG)
        FROM (SELECT DISTINCT CSRG
              FROM dbo.SRG
              WHERE ISRG = @DESPACHO AND CSRG IS NOT NULL) AS c
        ORDER BY c.CSRG
        FOR XML PATH(''), TYPE).value('.', 'nvarchar(max)'), 1, 1, N'');

    -- Inside a caller's transaction the work is part of it; a failure undoes it all.
    DECLARE @propia bit;
    SET @propia = 0;
    IF @@TRANCOUNT = 0
    BEGIN
        BEGIN TRANSACTION;
        SET @propia = 1;
    END;

    IF OBJECT_ID(N'dbo.SRGPIVOT', N'U') IS NOT NULL
        DROP TABLE dbo.SRGPIVOT;

    IF @columnas IS NOT NULL
    BEGIN
        SET @sql = N'SELECT ISRG, NART, ' + @columnas + N' INTO dbo.SRGPIVOT'
                 + N' FROM (SELECT ISRG, NART, CSRG, ''SI'' AS VALOR FROM dbo.SRG'
                 + N' WHERE ISRG = @despacho) AS filas'
                 + N' PIVOT (MAX(VALOR) FOR CSRG IN (' + @columnas + N')) AS p'
                 + N' ORDER BY ISRG, NART';
        EXEC sp_executesql @sql, N'@despacho varchar(16)', @despacho = @DESPACHO;
    END;

    IF @propia = 1
        COMMIT TRANSACTION;
END
