-- Declaration catalog on SQL Server, for the tests that run against a server.
--
-- The same tables, columns and indexes as catalog_sqlite.sql, in the server's own types:
-- text columns varchar (keys and indexed columns short enough to index), money and quantity
-- columns float, CCM.NART, DESARROLLO and the DCN counters int, dates datetime. Columns take
-- the database's collation, which must ignore letter case and respect accents, as the
-- outside system's catalogs do. The outside system's item deletion (sp_delete_ART) follows
-- as its own batch. Batches are separated by lines holding only GO.

-- Declaration header -------------------------------------------------------------------

CREATE TABLE dbo.DDT (
    IDDT        varchar(255) NOT NULL PRIMARY KEY,
    IEXT        varchar(8000),
    ISTA        varchar(8000),
    DDDTOFICIA  datetime,
    CDDTAGR     varchar(8000),
    CDDTBUR     varchar(8000),
    NDDTIMMIOE  varchar(8000),
    LDDTNOMIOE  varchar(8000),
    LDDTNOMFOD  varchar(8000),
    MDDTFOB     float,
    MDDTFLE     float,
    MDDTASS     float,
    CDDTDEVFOB  varchar(8000),
    CDDTDEVFLE  varchar(8000),
    CDDTDEVASS  varchar(8000),
    CDDTSTUSGG  varchar(8000),
    CDDTSTUBUL  varchar(8000),
    CDDTSTUDEV  varchar(8000),
    CDDTINCOTE  varchar(8000),
    CDDTIVA     varchar(8000),
    NDDTIMMTRN  varchar(8000),
    CDDTMDETRN  varchar(8000),
    CDDTPAYTRN  varchar(8000),
    CDDTDEP     varchar(8000),
    -- links to the declaration's child sets
    ILIQ        varchar(8000),
    IDSO        varchar(8000),
    IDAL        varchar(8000),
    IRVI        varchar(8000),
    ITIT        varchar(8000),
    IDVD        varchar(8000),
    ICPL        varchar(8000),
    IBNF        varchar(8000),
    -- carried from one declaration to another by the header copy
    CDDTETA     varchar(8000),
    CDDTIMPEXP  varchar(8000),
    CDDTCIRVIS  varchar(8000),
    CDDTRAMO    varchar(8000),
    CDDTPFXTIT  varchar(8000),
    CDDTCRPZN1  varchar(8000),
    CDDTCRPZN2  varchar(8000),
    CDDTCRPZN3  varchar(8000),
    CDDTISPAFF  varchar(8000),
    CDDTBURDST  varchar(8000),
    CDDTPAIDST  varchar(8000),
    IDDTRECTIF  varchar(8000),
    NDDTNUMCVT  varchar(8000),
    CDDTMOT     varchar(8000),
    CDDTMOTREL  varchar(8000),
    QDDTREGSUS  float,
    QDDTPROVEN  float,
    QDDTPROEMB  float,
    QDDTDPL     float,
    QDDTPDSBRT  float,
    QDDTBULTOS  float,
    MDDTSEN     float,
    MDDTBASIMP  float,
    MDDTIMPDEV  float,
    CDDTDSTREM  varchar(8000),
    CDDTTRANSP  varchar(8000),
    CDDTMRQNUM  varchar(8000),
    CDDTBANINT  varchar(8000),
    CDDTCRUSER  varchar(8000),
    CDDTFACPAG  varchar(8000),
    CDDTPRECUM  varchar(8000),
    CDDTCUMPLI  varchar(8000),
    CDDTECO     varchar(8000),
    CDDTPAGORE  varchar(8000),
    CDDTEPL     varchar(8000),
    DDDTDJV     datetime,
    DDDTPRESEN  datetime,
    DDDTBAE     datetime,
    DDDTPAGREM  datetime,
    DDDTARVTRN  datetime,
    DDDTAVIEMB  datetime,
    DDDTANULAT  datetime,
    DDDTBLOQUE  datetime,
    DDDTCANCEL  datetime,
    DDDTRECTIF  datetime,
    DDDTCUMPLI  datetime,
    DDDTSALIDA  datetime,
    DDDTEMBARQ  datetime,
    DDDTULTDUP  datetime,
    DDDTVENEMB  datetime,
    CDDTFRAC    varchar(8000),
    LDDTTXT     varchar(8000),
    CDDTCIRCAR  varchar(8000),
    CDDTFALSOB  varchar(8000),
    CDDTFRAAFE  varchar(8000),
    CDDTREGLA   varchar(8000),
    ROTDDT      varchar(8000),
    CDDTDWB     varchar(8000),
    DDDTDWB     datetime,
    CDDTPAGDWB  varchar(8000),
    CDDTGEN     varchar(8000),
    CDDTKITID   varchar(8000),
    CDDTORG     varchar(8000),
    CDDTTIN     varchar(8000),
    CDDTETAAUX  varchar(8000)
);

-- Items and subitems -------------------------------------------------------------------

CREATE TABLE dbo.ART (
    IDDT        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    NARTEXT     varchar(255),
    IESPNCE     varchar(8000),
    LISTA       varchar(8000),
    CARTPAYORI  varchar(8000),
    CARTPAYPRC  varchar(8000),
    CARTUSO     varchar(8000),
    CARTUNTDCL  varchar(8000),
    QARTUNTDCL  float,
    CARTUNTEST  varchar(8000),
    QARTUNTEST  float,
    QARTKGRNET  float,
    MARTUNITAR  float,
    MARTFOB     float,
    MARTFLE     float,
    MARTASS     float,
    MARTAJUDED  float,
    MARTAJUINC  float,
    MARTFOBDOL  float,
    MARTINSCON  float,
    MARTINSTMP  float,
    CARTTYP     varchar(8000),
    CARTSBITEM  varchar(8000),
    CARTETA     varchar(8000),
    CARTSTUDEV  varchar(8000),
    NARTAPU     varchar(8000),
    IDDTAPU     varchar(8000),
    CARTUNDE    varchar(8000),
    QARTDE      float,
    IEXT        varchar(8000),
    -- item-level links
    IDVD        varchar(8000),
    ICPL        varchar(8000),
    IBNF        varchar(8000),
    ISRG        varchar(8000),
    -- carried unchanged by the item copy
    NARTPRDFIN  varchar(8000),
    IESPNALGAT  varchar(8000),
    IARTESPAPU  varchar(8000),
    CARTCRTTPF  varchar(8000),
    LARTTXT     varchar(8000),
    DARTIMPONI  datetime,
    CARTCIRVIS  varchar(8000),
    MARTVALDE   float,
    QARTUNTAPU  float,
    QARTUNTDSP  float,
    MARTMONDSP  float,
    MARTCANDOL  float,
    MARTBASIMP  float,
    MARTBASDIV  float,
    MARTPREOFI  float,
    CARTUNTOFI  varchar(8000),
    MARTCOEFIC  float,
    CARTPRO     varchar(8000),
    CARTLMAN    varchar(8000),
    CARTNORMA   varchar(8000),
    CARTVERIF   varchar(8000),
    CARTREGLA   varchar(8000),
    CARTPAGREG  varchar(8000),
    CARTCALDST  varchar(8000),
    QARTVALST   float,
    CARTCODEAN  varchar(8000),
    NARTCUPO    varchar(8000),
    CARTCUPO    varchar(8000),
    CARTOCUPO   varchar(8000),
    NARTOCUPO   varchar(8000),
    CARTCATAL   varchar(8000),
    CARTCRC     varchar(8000),
    PRIMARY KEY (IDDT, NART)
);
CREATE INDEX ART_NARTEXT ON dbo.ART (IDDT, NARTEXT);

CREATE TABLE dbo.SBT (
    IDDT        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    ISBT        varchar(255) NOT NULL,
    CSBTSVL     varchar(8000),
    QSBTUNTDCL  float,
    QSBTUNTEST  float,
    MSBTUNITAR  float,
    MSBTFOB     float,
    IEXT        varchar(8000),
    CSBTCODEAN  varchar(8000),
    LSBTMARCA   varchar(8000),
    QSBTDE      float,
    QSBTUNTDSP  float,
    ISBTREF     varchar(8000),
    MSBTFOBDOL  float,
    QSBTVALST   float,
    PRIMARY KEY (IDDT, NART, ISBT)
);

-- Attached rows ------------------------------------------------------------------------

-- complementary information; NART '0000' holds the declaration's own rows
CREATE TABLE dbo.CPL (
    ICPL        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    CCPL        varchar(255),
    ICPLDIF     varchar(8000),
    MCPL        varchar(8000)
);
CREATE INDEX CPL_KEY ON dbo.CPL (ICPL, NART, CCPL);

-- advantages
CREATE TABLE dbo.SRG (
    ISRG        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    CSRG        varchar(255)
);
CREATE INDEX SRG_KEY ON dbo.SRG (ISRG, NART, CSRG);

-- documents; invoices repeat FACTURACOMERCIAL at NART '0000'
CREATE TABLE dbo.DVD (
    IDVD        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    CDVDDOC     varchar(255),
    CDVDPRSDOC  varchar(8000),
    LDVDREFDOC  varchar(8000)
);
CREATE INDEX DVD_KEY ON dbo.DVD (IDVD, NART, CDVDDOC);
-- The reference can be 8,000 bytes long, beyond the 1,700 a key may take: it rides along.
CREATE INDEX DVD_REF ON dbo.DVD (IDVD, NART, CDVDDOC) INCLUDE (LDVDREFDOC);

-- CCPAC rows; NART is a bare number here
CREATE TABLE dbo.CCM (
    IDDT        varchar(255) NOT NULL,
    NART        int NOT NULL,
    CCCM        varchar(8000),
    MCCM        varchar(255),
    DESARROLLO  int,
    CCCMNART    varchar(8000)
);
CREATE INDEX CCM_KEY ON dbo.CCM (IDDT, NART, MCCM);

-- cancellations; item and subitem numbers are bare numbers here
CREATE TABLE dbo.DCN (
    IDCN        varchar(255) NOT NULL,
    NDCNART     int NOT NULL,
    IDCNAPU     varchar(255),
    NDCNARTAPU  int,
    NDCNSBTAPU  int,
    IDCNESPNCE  varchar(8000),
    QDCNAPU     float,
    CDCNEXPAPU  varchar(8000),
    NDCNORDEN   int,
    CDCNRESOL   varchar(8000),
    CDCNETA     varchar(8000),
    DDCNETA     datetime,
    CDCNNCM     varchar(8000),
    CDCNBUR     varchar(8000),
    IDCNCTC     varchar(8000),
    NDCNVER     int,
    CDCNEXPEDT  varchar(8000),
    QETI        float,
    QIIM        float,
    CDCNPOST    varchar(8000),
    CDCNIREV    varchar(8000),
    QDCNRESG    float,
    QDCNCONF    float
);
CREATE INDEX DCN_KEY ON dbo.DCN (IDCN, NDCNART, IDCNAPU, NDCNARTAPU, NDCNSBTAPU);

-- liquidation lines: one row per item and tax code
CREATE TABLE dbo.LQA (
    ILIQ        varchar(255) NOT NULL,
    NART        varchar(255) NOT NULL,
    CLQATAX     varchar(255),
    CLQATYP     varchar(8000),
    CLQAMOTGAR  varchar(8000),
    MLQA        float,
    MLQABAS     float,
    QLQACOEFIC  float,
    MLQABOC     float,
    CLQA_       varchar(8000)
);
CREATE INDEX LQA_KEY ON dbo.LQA (ILIQ, NART, CLQATAX);

-- Rows only the exports read -----------------------------------------------------------

-- tax totals of the declaration
CREATE TABLE dbo.LIT (
    ILIQ        varchar(255) NOT NULL,
    CLITTAX     varchar(255),
    CLITTYP     varchar(8000),
    MLIT        float
);
CREATE INDEX LIT_KEY ON dbo.LIT (ILIQ, CLITTAX);

CREATE TABLE dbo.DCM (
    IDDT        varchar(255) NOT NULL,
    NART        varchar(255),
    CIDCM       varchar(8000),
    CDCMNART    varchar(8000),
    CDCMPAYPAC  varchar(8000),
    CDCMUNTEST  varchar(8000),
    QDCMUNTEST  float
);
CREATE INDEX DCM_KEY ON dbo.DCM (IDDT, NART);

-- packages
CREATE TABLE dbo.BUL (
    IDDT        varchar(255) NOT NULL,
    LBULNUMCLS  varchar(8000),
    CBULNATEMB  varchar(8000),
    CBULEXT     varchar(8000),
    QBULDECLAR  float,
    QBULUMMBRT  float
);
CREATE INDEX BUL_KEY ON dbo.BUL (IDDT);

-- exchange rate
CREATE TABLE dbo.TPR (
    IDDT        varchar(255) NOT NULL,
    MTPRCOTIZ   float
);
CREATE INDEX TPR_KEY ON dbo.TPR (IDDT);

-- registrations by jurisdiction
CREATE TABLE dbo.CIB (
    IDDT        varchar(255) NOT NULL,
    CCIBNUMINS  varchar(8000),
    CCIBEXENTO  varchar(8000),
    CCIBINSCON  varchar(8000)
);
CREATE INDEX CIB_KEY ON dbo.CIB (IDDT);

-- jurisdiction coefficients
CREATE TABLE dbo.DIB (
    IDDT        varchar(255) NOT NULL,
    CDIBJURIS   varchar(8000),
    QDIBCOEFIC  float
);
CREATE INDEX DIB_KEY ON dbo.DIB (IDDT);

-- Code tables --------------------------------------------------------------------------
-- A code may have several rows with different validity windows, so codes are not unique.

-- advantages
CREATE TABLE dbo.VEN (
    CVEN        varchar(255) NOT NULL,
    LVENLBL     varchar(8000),
    DVENEFF     datetime,
    DVENFIN     datetime
);
CREATE INDEX VEN_KEY ON dbo.VEN (CVEN);

-- lists (agreements)
CREATE TABLE dbo.lst (
    CODLISTA    varchar(255) NOT NULL,
    DESCLISTA   varchar(8000)
);
CREATE INDEX lst_KEY ON dbo.lst (CODLISTA);

-- complementary-information codes; the lookup offers IZCPIG = 'I' only
CREATE TABLE dbo.ZCP (
    CZCP        varchar(255) NOT NULL,
    LZCPDESC    varchar(8000),
    IZCPIG      varchar(8000),
    DZCPINI     datetime,
    DZCPFIN     datetime
);
CREATE INDEX ZCP_KEY ON dbo.ZCP (CZCP);

-- documents
CREATE TABLE dbo.DOC (
    CDOC        varchar(255) NOT NULL,
    LDOCDESC    varchar(8000),
    DDOCINI     datetime,
    DDOCFIN     datetime
);
CREATE INDEX DOC_KEY ON dbo.DOC (CDOC);

-- states of goods
CREATE TABLE dbo.EST (
    CESTCOD     varchar(255) NOT NULL,
    LDESCRI     varchar(8000)
);
CREATE INDEX EST_KEY ON dbo.EST (CESTCOD);

-- countries
CREATE TABLE dbo.PAY (
    CPAY        varchar(255) NOT NULL,
    LPAYABR     varchar(8000),
    DPAYFIN     datetime
);
CREATE INDEX PAY_KEY ON dbo.PAY (CPAY);

-- provinces
CREATE TABLE dbo.PRV (
    CPRV        varchar(255) NOT NULL,
    LPRV        varchar(8000),
    DPRVFIN     datetime
);
CREATE INDEX PRV_KEY ON dbo.PRV (CPRV);

-- sub-regimes
CREATE TABLE dbo.STA (
    ISTA        varchar(255) NOT NULL,
    DSTAEFF     datetime,
    DSTAFIN     datetime
);
CREATE INDEX STA_KEY ON dbo.STA (ISTA);

-- sale conditions
CREATE TABLE dbo.INC (
    CINC        varchar(255) NOT NULL,
    LINC        varchar(8000),
    DINCFIN     datetime
);
CREATE INDEX INC_KEY ON dbo.INC (CINC);

-- units of measure
CREATE TABLE dbo.UMM (
    CUMMUNTMSR  varchar(255) NOT NULL,
    LUMMUNTMSR  varchar(8000),
    DUMMEFF     datetime,
    DUMMFIN     datetime
);
CREATE INDEX UMM_KEY ON dbo.UMM (CUMMUNTMSR);

-- taxes
CREATE TABLE dbo.TAX (
    CTAX        varchar(255) NOT NULL,
    LTAXABR     varchar(8000),
    DTAXEFF     datetime,
    DTAXFIN     datetime
);
CREATE INDEX TAX_KEY ON dbo.TAX (CTAX);

-- parameters by kind (TIPTAX, MODTRN, TIPEMB)
CREATE TABLE dbo.PTR (
    CTPT        varchar(255) NOT NULL,
    CPTRNAT     varchar(255) NOT NULL,
    LPTRNAT     varchar(8000)
);
CREATE INDEX PTR_KEY ON dbo.PTR (CPTRNAT, CTPT);

-- packaging
CREATE TABLE dbo.NEB (
    TNEBNATEMB  varchar(255) NOT NULL,
    LNEBNATEMB  varchar(8000),
    DNEBFIN     datetime
);
CREATE INDEX NEB_KEY ON dbo.NEB (TNEBNATEMB);

-- jurisdictions
CREATE TABLE dbo.JRD (
    CJRD        varchar(255) NOT NULL,
    LJRDDESC    varchar(8000),
    CJRDTAX     varchar(8000),
    QJRDALILOC  float,
    DJRDFIN     datetime
);
CREATE INDEX JRD_KEY ON dbo.JRD (CJRD);
GO
CREATE PROCEDURE dbo.sp_delete_ART
    @NART varchar(4),
    @IDDT varchar(16)
AS
BEGIN
    -- Removes one item with all its rows from the declaration. CCM and DCN keep the item
    -- as a bare number.
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @propia bit;
    SET @propia = 0;
    IF @@TRANCOUNT = 0
    BEGIN
        BEGIN TRANSACTION;
        SET @propia = 1;
    END;

    DELETE FROM dbo.SBT WHERE IDDT = @IDDT AND NART = @NART;
    DELETE FROM dbo.CPL WHERE ICPL = @IDDT AND NART = @NART;
    DELETE FROM dbo.SRG WHERE ISRG = @IDDT AND NART = @NART;
    DELETE FROM dbo.DVD WHERE IDVD = @IDDT AND NART = @NART;
    DELETE FROM dbo.LQA WHERE ILIQ = @IDDT AND NART = @NART;
    DELETE FROM dbo.CCM WHERE IDDT = @IDDT AND NART = TRY_CONVERT(int, @NART);
    DELETE FROM dbo.DCN WHERE IDCN = @IDDT AND NDCNART = TRY_CONVERT(int, @NART);
    DELETE FROM dbo.DCM WHERE IDDT = @IDDT AND NART = @NART;
    DELETE FROM dbo.ART WHERE IDDT = @IDDT AND NART = @NART;

    IF @propia = 1
        COMMIT TRANSACTION;
END
