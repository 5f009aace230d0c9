CREATE PROCEDURE dbo.GETDVDPIVOT
    @DESPACHO varchar(16),
    @NART varchar(5)
AS
BEGIN
    -- DVDPIVOT: one row per item, one column per document code holding its reference.
    -- @NART '0000' takes the declaration's own rows, any other value the item rows.
    -- Without codes the table is left dropped.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @columnas nvarchar(max);
    DECLARE @sql nvarchar(max);

    SET @columnas = STUFF((
        SELECT N',' + QUOTENAME(c.CDVDDOC)
        FROM (SELECT DISTINCT CDVDDOC
              FROM dbo.DVD
              WHERE IDVD = @DESPACHO
                AND CDVDDOC IS NOT NULL
                AND ((@NART = '0000' AND NART = '0000')
                     OR (@NART <> '0000' AND NART <> '0000'))) AS c
        ORDER BY c.CDVDDOC
        FOR XML PATH(''), TYPE).value('.', 'nvarchar(max)'), 1, 1, N'');

    -- Inside a caller's transaction the work is part of it; a failure undoes it all.
    DECLARE @propia bit;
    SET @propia = 0;
    IF @@TRANCOUNT = 0
    BEGIN
        BEGIN TRANSACTION;
        SET @propia = 1;
    END;

    IF OBJECT_ID(N'dbo.DVDPIVOT', N'U') IS NOT NULL
        DROP TABLE dbo.DVDPIVOT;

    IF @columnas IS NOT NULL
    BEGIN
        SET @sql = N'SELECT IDVD, NART, ' + @columnas + N' INTO dbo.DVDPIVOT'
                 + N' FROM (SELECT IDVD, NART, CDVDDOC, LDVDREFDOC FROM dbo.DVD'
                 + N' WHERE IDVD = @despacho AND '
                 + CASE WHEN @NART = '0000' THEN N'NART = ''0000''' ELSE N'NART <> ''0000''' END
                 + N') AS filas'
                 + N' PIVOT (MAX(LDVDREFDOC) FOR CDVDDOC IN (' + @columnas + N')) AS p';
        EXEC sp_executesql @sql, N'@despacho varchar(16)', @despacho = @DESPACHO;
    END;

    IF @propia = 1
        COMMIT TRANSACTION;
END
