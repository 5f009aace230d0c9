#include "data/declaration_copy.h"

#include "data/Dialect.h"
#include "data/modDA.h"
#include "runtime/VbError.h"

#include <initializer_list>

namespace modDA {

namespace {

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.modDA.") + QLatin1String(procedure);
}

// What a copied column gets in the destination's row.
enum class Take {
    Origin,     // the origin's value
    Null,       // no value: links to rows of the origin
    Mark,       // 'I': to be validated again
    Destination // the destination's number (the key)
};

struct Column {
    const char* name;
    Take take = Take::Origin;
};

constexpr Take N = Take::Null;
constexpr Take I = Take::Mark;
constexpr Take D = Take::Destination;

// The header's 93 assignments, in statement order.
const std::initializer_list<Column> kHeader = {
    {"ILIQ", N},       {"IDSO", N},       {"IDAL", N},       {"IRVI", N},       {"ITIT", N},
    {"IDVD", N},       {"ICPL", N},       {"IBNF", N},       {"CDDTSTUDEV"},    {"CDDTSTUSGG", I},
    {"CDDTSTUBUL", I}, {"CDDTETA"},       {"CDDTIMPEXP"},    {"CDDTCIRVIS"},    {"CDDTRAMO"},
    {"CDDTPFXTIT", N}, {"CDDTCRPZN1", N}, {"CDDTCRPZN2", N}, {"CDDTCRPZN3", N}, {"CDDTISPAFF"},
    {"CDDTBURDST"},    {"CDDTPAIDST"},    {"IDDTRECTIF"},    {"NDDTNUMCVT"},    {"CDDTMOT"},
    {"LDDTNOMFOD"},    {"NDDTIMMIOE"},    {"LDDTNOMIOE"},    {"CDDTDEVASS"},    {"CDDTDEVFLE"},
    {"CDDTDEVFOB"},    {"CDDTMOTREL"},    {"QDDTREGSUS"},    {"QDDTPROVEN"},    {"QDDTPROEMB"},
    {"QDDTDPL"},       {"QDDTPDSBRT"},    {"QDDTBULTOS"},    {"MDDTASS"},       {"MDDTFLE"},
    {"MDDTFOB"},       {"MDDTSEN"},       {"MDDTBASIMP"},    {"MDDTIMPDEV"},    {"CDDTDSTREM"},
    {"CDDTTRANSP"},    {"CDDTMDETRN"},    {"CDDTMRQNUM"},    {"CDDTPAYTRN"},    {"NDDTIMMTRN"},
    {"CDDTBANINT"},    {"CDDTINCOTE", N}, {"CDDTDEP"},       {"CDDTCRUSER"},    {"CDDTFACPAG"},
    {"CDDTPRECUM"},    {"CDDTCUMPLI"},    {"CDDTECO"},       {"CDDTPAGORE"},    {"CDDTEPL"},
    {"DDDTDJV"},       {"DDDTOFICIA"},    {"DDDTPRESEN"},    {"DDDTBAE"},       {"DDDTPAGREM"},
    {"DDDTARVTRN"},    {"DDDTAVIEMB"},    {"DDDTANULAT"},    {"DDDTBLOQUE"},    {"DDDTCANCEL"},
    {"DDDTRECTIF"},    {"DDDTCUMPLI"},    {"DDDTSALIDA"},    {"DDDTEMBARQ"},    {"DDDTULTDUP"},
    {"DDDTVENEMB"},    {"CDDTIVA"},       {"CDDTFRAC"},      {"IEXT"},          {"LDDTTXT"},
    {"CDDTCIRCAR"},    {"CDDTFALSOB"},    {"CDDTFRAAFE"},    {"CDDTREGLA"},     {"ROTDDT"},
    {"CDDTDWB"},       {"DDDTDWB"},       {"CDDTPAGDWB"},    {"CDDTGEN"},       {"CDDTKITID"},
    {"CDDTORG"},       {"CDDTTIN"},       {"CDDTETAAUX"},
};

const std::initializer_list<Column> kItems = {
    {"NART"},          {"NARTEXT"},    {"CARTTYP"},    {"NARTPRDFIN"}, {"NARTAPU"},
    {"IESPNCE"},       {"IESPNALGAT"}, {"Lista"},      {"IDDT", D},    {"IDDTAPU"},
    {"IARTESPAPU"},    {"CARTCRTTPF"}, {"LARTTXT"},    {"IDVD", N},    {"ICPL", N},
    {"IBNF", N},       {"ISRG", N},    {"DARTIMPONI"}, {"CARTCIRVIS"}, {"CARTETA", I},
    {"CARTSTUDEV", I}, {"CARTSBITEM"}, {"CARTUSO"},    {"QARTKGRNET"}, {"CARTPAYORI"},
    {"CARTPAYPRC"},    {"CARTUNTDCL"}, {"QARTUNTDCL"}, {"CARTUNTEST"}, {"QARTUNTEST"},
    {"CARTUNDE"},      {"QARTDE"},     {"MARTVALDE"},  {"QARTUNTAPU"}, {"QARTUNTDSP"},
    {"MARTMONDSP"},    {"MARTFOB"},    {"MARTFOBDOL"}, {"MARTCANDOL"}, {"MARTASS"},
    {"MARTFLE"},       {"MARTAJUDED"}, {"MARTAJUINC"}, {"MARTBASIMP"}, {"MARTBASDIV"},
    {"MARTUNITAR"},    {"MARTPREOFI"}, {"CARTUNTOFI"}, {"MARTCOEFIC"}, {"CARTPRO"},
    {"MARTINSTMP"},    {"MARTINSCON"}, {"IEXT"},       {"CARTLMAN"},   {"CARTNORMA"},
    {"CARTVERIF"},     {"CARTREGLA"},  {"CARTPAGREG"}, {"CARTCALDST"}, {"QARTVALST"},
    {"CARTCODEAN"},    {"NARTCUPO"},   {"CARTCUPO"},   {"CARTOCUPO"},  {"NARTOCUPO"},
    {"CARTCATAL"},     {"CARTCRC"},
};

const std::initializer_list<Column> kSubitems = {
    {"IDDT", D},    {"NART"},       {"ISBT"},      {"MSBTFOB"},    {"QSBTUNTDCL"}, {"MSBTUNITAR"},
    {"LSBTMARCA"},  {"QSBTDE"},     {"CSBTSVL"},   {"IEXT"},       {"QSBTUNTDSP"}, {"ISBTREF"},
    {"MSBTFOBDOL"}, {"QSBTUNTEST"}, {"QSBTVALST"}, {"CSBTCODEAN"},
};

const std::initializer_list<Column> kAdvantages = {{"ISRG", D}, {"NART"}, {"CSRG"}};

const std::initializer_list<Column> kCancellations = {
    {"IDCN", D}, {"NDCNART"},    {"IDCNAPU"},    {"NDCNARTAPU"}, {"NDCNSBTAPU"}, {"IDCNESPNCE"},
    {"CDCNBUR"}, {"QDCNAPU"},    {"CDCNETA"},    {"IDCNCTC"},    {"NDCNVER"},    {"DDCNETA"},
    {"CDCNNCM"}, {"CDCNEXPEDT"}, {"CDCNEXPAPU"}, {"NDCNORDEN"},  {"CDCNRESOL"},  {"QETI"},
    {"QIIM"},    {"CDCNPOST"},   {"CDCNIREV"},   {"QDCNRESG"},   {"QDCNCONF"},
};

const std::initializer_list<Column> kInformation = {
    {"ICPL", D}, {"NART"}, {"CCPL"}, {"ICPLDIF"}, {"MCPL"}};

const std::initializer_list<Column> kDocuments = {
    {"IDVD", D}, {"NART"}, {"CDVDDOC"}, {"CDVDPRSDOC"}, {"LDVDREFDOC"}};

Sql name(const Column& column) {
    return Sql::identifier(QLatin1String(column.name));
}

// The value a column takes; `origin` qualifies the origin's columns ("O." or nothing).
Sql value(const Column& column, const Sql& origin) {
    switch (column.take) {
    case Take::Null:
        return "NULL";
    case Take::Mark:
        return "'I'";
    case Take::Destination:
        return "?";
    case Take::Origin:
        break;
    }
    return origin + name(column);
}

// Both engines compare declaration numbers without letter case and trailing blanks.
QString comparable(QString number) {
    while (number.endsWith(QLatin1Char(' ')))
        number.chop(1);
    return number.toUpper();
}

void refuseSelfCopy(const QString& origen, const QString& destino) {
    if (comparable(origen) == comparable(destino))
        throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                                QStringLiteral("Despacho origen y despacho destino deben ser "
                                               "distintos"));
}

// Deletes the destination's rows of `table` and inserts the origin's under its number.
bool copyRows(const char* procedure, const char* table, const char* key,
              const std::initializer_list<Column>& columns, const QString& origen,
              const QString& destino) {
    return corvelix::chained(location(procedure), [&] {
        refuseSelfCopy(origen, destino);
        const Sql tableName = Sql::identifier(QLatin1String(table));
        const Sql keyName = Sql::identifier(QLatin1String(key));
        QList<Sql> names;
        QList<Sql> values;
        for (const Column& column : columns) {
            names << name(column);
            values << value(column, {});
        }
        Transaction transaction;
        execSQL(kCatalog, "DELETE FROM " + tableName + " WHERE " + keyName + " = ?", {destino});
        const int copied = execSQL(kCatalog,
                                   "INSERT INTO " + tableName + " (" + Sql::join(names, ", ") +
                                       ") SELECT " + Sql::join(values, ", ") + " FROM " +
                                       tableName + " WHERE " + keyName + " = ?",
                                   {destino, origen});
        transaction.commit();
        return copied > 0;
    });
}

} // namespace

bool copiarCaratula(const QString& origen, const QString& destino) {
    return corvelix::chained(location("copiarCaratula"), [&] {
        refuseSelfCopy(origen, destino);
        QList<Sql> assignments;
        for (const Column& column : kHeader)
            assignments << name(column) + " = " + value(column, "O.");
        return execSQL(kCatalog,
                       sql::updateFrom(dialect(), "DDT", Sql::join(assignments, ", "), "DDT AS O",
                                       "DDT.IDDT = ? AND O.IDDT = ?"),
                       {destino, origen}) > 0;
    });
}

bool copiarITEM(const QString& origen, const QString& destino) {
    return copyRows("copiarITEM", "ART", "IDDT", kItems, origen, destino);
}

bool copiarSubItems(const QString& origen, const QString& destino) {
    return copyRows("copiarSubItems", "SBT", "IDDT", kSubitems, origen, destino);
}

bool copiarVentajas(const QString& origen, const QString& destino) {
    return copyRows("copiarVentajas", "SRG", "ISRG", kAdvantages, origen, destino);
}

bool copiarCancelaciones(const QString& origen, const QString& destino) {
    return copyRows("copiarCancelaciones", "DCN", "IDCN", kCancellations, origen, destino);
}

bool copiaInfoCompl(const QString& origen, const QString& destino) {
    return copyRows("copiaInfoCompl", "CPL", "ICPL", kInformation, origen, destino);
}

bool copiarDocumentos(const QString& origen, const QString& destino) {
    return copyRows("copiarDocumentos", "DVD", "IDVD", kDocuments, origen, destino);
}

void copiarDeclaracion(const QString& origen, const QString& destino, const CopyOptions& options,
                       const std::function<void()>& afterCore) {
    corvelix::chained(location("copiarDeclaracion"), [&] {
        refuseSelfCopy(origen, destino);
        // Without both headers the item copies would leave rows no declaration owns.
        for (const QString& number : {origen, destino}) {
            if (getRs(kCatalog, "SELECT IDDT FROM DDT WHERE IDDT = ?", {number}).eof())
                throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                                        QStringLiteral("No existe el despacho ") + number);
        }
        Transaction transaction;
        copiarCaratula(origen, destino);
        copiarITEM(origen, destino);
        copiarSubItems(origen, destino);
        copiarVentajas(origen, destino);
        copiarCancelaciones(origen, destino);
        if (afterCore)
            afterCore();
        if (options.infoCompl)
            copiaInfoCompl(origen, destino);
        if (options.documentos)
            copiarDocumentos(origen, destino);
        transaction.commit();
    });
}

} // namespace modDA
