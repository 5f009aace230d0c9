#include "data/demo_catalog.h"

#include "data/schema.h"
#include "runtime/VbError.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

#include <array>
#include <cmath>

namespace modDA {

namespace {

[[noreturn]] void fail(const QSqlError& error) {
    throw corvelix::VbError(corvelix::kErrInternal, QStringLiteral("Corvelix"),
                            error.text().trimmed());
}

double round2(double value) {
    return std::round(value * 100.0) / 100.0;
}

// A prepared INSERT that throws on failure.
class Insert {
public:
    Insert(QSqlDatabase& db, const QString& sql) : query_(db) {
        if (!query_.prepare(sql))
            fail(query_.lastError());
    }
    void run(const QVariantList& values) {
        for (qsizetype i = 0; i < values.size(); ++i)
            query_.bindValue(static_cast<int>(i), values.at(i));
        if (!query_.exec())
            fail(query_.lastError());
    }

private:
    QSqlQuery query_;
};

struct Tax {
    const char* code;
    const char* kind;
    double rate; // percent
};

constexpr std::array<Tax, 3> kLargeTaxes{
    {{"010", "1", 14.0}, {"011", "1", 3.0}, {"040", "1", 21.0}}};

void addLargeDeclaration(QSqlDatabase& db, int items) {
    const QString iddt = kLargeDeclaration;

    Insert art(
        db, QStringLiteral(
                "INSERT INTO ART (IDDT, NART, NARTEXT, IESPNCE, LISTA, CARTPAYORI, CARTPAYPRC, "
                "CARTUSO, CARTUNTDCL, QARTUNTDCL, CARTUNTEST, QARTUNTEST, QARTKGRNET, "
                "MARTUNITAR, MARTFOB, MARTFLE, MARTASS, MARTAJUDED, MARTAJUINC, MARTFOBDOL, "
                "MARTINSCON, MARTINSTMP, CARTTYP, CARTSBITEM, CARTETA, CARTSTUDEV, IDVD, ICPL) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?, ?, ?)"));
    Insert sbt(db,
               QStringLiteral("INSERT INTO SBT (IDDT, NART, ISBT, CSBTSVL, QSBTUNTDCL, "
                              "QSBTUNTEST, MSBTUNITAR, MSBTFOB) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    Insert cpl(db, QStringLiteral(
                       "INSERT INTO CPL (ICPL, NART, CCPL, ICPLDIF, MCPL) VALUES (?, ?, ?, ?, ?)"));
    Insert srg(db, QStringLiteral("INSERT INTO SRG (ISRG, NART, CSRG) VALUES (?, ?, ?)"));
    Insert dvd(db, QStringLiteral("INSERT INTO DVD (IDVD, NART, CDVDDOC, CDVDPRSDOC, LDVDREFDOC) "
                                  "VALUES (?, ?, ?, ?, ?)"));
    Insert lqa(db,
               QStringLiteral("INSERT INTO LQA (ILIQ, NART, CLQATAX, CLQATYP, CLQAMOTGAR, MLQA, "
                              "MLQABAS, QLQACOEFIC, MLQABOC, CLQA_) "
                              "VALUES (?, ?, ?, ?, 'NULO', ?, ?, ?, 0, NULL)"));
    Insert lit(
        db, QStringLiteral("INSERT INTO LIT (ILIQ, CLITTAX, CLITTYP, MLIT) VALUES (?, ?, ?, ?)"));

    // Freight and insurance as fixed shares of each item's FOB, so the header adds up.
    constexpr double kFreight = 0.04;
    constexpr double kInsurance = 0.005;
    double totalFob = 0, totalFreight = 0, totalInsurance = 0;
    std::array<double, kLargeTaxes.size()> taxTotals{};

    cpl.run({iddt, QStringLiteral("0000"), QStringLiteral("VAL-CRITERIO"), QStringLiteral("D"),
             QStringLiteral("VALOR DE TRANSACCION")});
    dvd.run({iddt, QStringLiteral("0000"), QStringLiteral("FACTURACOMERCIAL"), QStringLiteral("S"),
             QStringLiteral("00001-00090001")});

    for (int n = 1; n <= items; ++n) {
        const QString nart = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        const bool mercosur = n % 3 == 0;
        const QString origin = mercosur ? QStringLiteral("203") : QStringLiteral("310");
        const QString brand = QStringLiteral("MARCA%1").arg(n % 17 + 1);

        double quantity = 0, fob = 0;
        for (int s = 1; s <= kLargeSubitems; ++s) {
            const double q = 10.0 * (s + n % 5);
            const double price = 1.25 + 0.5 * s + (n % 7) * 0.1;
            const double amount = round2(q * price);
            quantity += q;
            fob += amount;
            sbt.run({iddt, nart, QStringLiteral("%1").arg(s, 4, 10, QLatin1Char('0')),
                     QStringLiteral("AA(%1)-AB(M%2)-ZC(%3)-")
                         .arg(brand)
                         .arg(s)
                         .arg(n, 6, 10, QLatin1Char('0')),
                     q, q, price, amount});
        }
        fob = round2(fob);
        const double freight = round2(fob * kFreight);
        const double insurance = round2(fob * kInsurance);
        totalFob += fob;
        totalFreight += freight;
        totalInsurance += insurance;

        art.run({iddt,
                 nart,
                 nart,
                 QStringLiteral("8471.%1.00.100A").arg(n % 90 + 10),
                 mercosur ? QStringLiteral("ACE18") : QStringLiteral("NAC"),
                 origin,
                 origin,
                 QStringLiteral("1"),
                 QStringLiteral("07"),
                 quantity,
                 QStringLiteral("07"),
                 quantity,
                 round2(quantity * 0.35),
                 std::round(fob / quantity * 100000.0) / 100000.0,
                 fob,
                 freight,
                 insurance,
                 0.0,
                 0.0,
                 fob,
                 0.0,
                 0.0,
                 QStringLiteral("N"),
                 QStringLiteral("S"),
                 QStringLiteral("V"),
                 QStringLiteral("V"),
                 iddt,
                 iddt});
        cpl.run({iddt, nart, QStringLiteral("MARCA"), QStringLiteral("D"), brand});
        if (mercosur) {
            srg.run({iddt, nart, QStringLiteral("ACE18-MERCOSUR")});
            dvd.run({iddt, nart, QStringLiteral("CERT.ORIGEN/L"), QStringLiteral("S"),
                     QStringLiteral("CO-203-%1").arg(n, 6, 10, QLatin1Char('0'))});
        } else {
            dvd.run({iddt, nart, QStringLiteral("LISTAEMPAQUE"), QStringLiteral("S"),
                     QStringLiteral("PL-%1").arg(n)});
        }
        const double base = round2(fob + freight + insurance);
        for (size_t t = 0; t < kLargeTaxes.size(); ++t) {
            const double amount = round2(base * kLargeTaxes[t].rate / 100.0);
            taxTotals[t] += amount;
            lqa.run({iddt, nart, QString::fromLatin1(kLargeTaxes[t].code),
                     QString::fromLatin1(kLargeTaxes[t].kind), amount, base, kLargeTaxes[t].rate});
        }
    }
    for (size_t t = 0; t < kLargeTaxes.size(); ++t)
        lit.run({iddt, QString::fromLatin1(kLargeTaxes[t].code),
                 QString::fromLatin1(kLargeTaxes[t].kind), round2(taxTotals[t])});

    // What the workbook reads besides the items: packages, exchange rate, registrations and
    // jurisdiction coefficients.
    Insert(db, QStringLiteral("INSERT INTO BUL (IDDT, LBULNUMCLS, CBULNATEMB, CBULEXT, QBULDECLAR, "
                              "QBULUMMBRT) VALUES (?, 'TGHU 9000001', 'CJ', 'CONT', ?, ?)"))
        .run({iddt, items, round2(items * 4.5)});
    Insert(db, QStringLiteral("INSERT INTO TPR (IDDT, MTPRCOTIZ) VALUES (?, 1060.25)")).run({iddt});
    Insert cib(db, QStringLiteral("INSERT INTO CIB (IDDT, CCIBNUMINS, CCIBEXENTO, CCIBINSCON) "
                                  "VALUES (?, ?, 'N', 'S')"));
    cib.run({iddt, QStringLiteral("901-900001-1")});
    cib.run({iddt, QStringLiteral("902-900001-2")});
    Insert dib(db,
               QStringLiteral("INSERT INTO DIB (IDDT, CDIBJURIS, QDIBCOEFIC) VALUES (?, ?, ?)"));
    dib.run({iddt, QStringLiteral("901"), 0.7});
    dib.run({iddt, QStringLiteral("902"), 0.3});

    Insert ddt(db,
               QStringLiteral(
                   "INSERT INTO DDT (IDDT, IEXT, ISTA, DDDTOFICIA, CDDTAGR, CDDTBUR, NDDTIMMIOE, "
                   "LDDTNOMIOE, LDDTNOMFOD, MDDTFOB, MDDTFLE, MDDTASS, CDDTDEVFOB, CDDTDEVFLE, "
                   "CDDTDEVASS, CDDTSTUSGG, CDDTSTUBUL, CDDTSTUDEV, CDDTINCOTE, CDDTIVA, "
                   "CDDTMDETRN, CDDTPAYTRN, ILIQ, IDVD, ICPL) "
                   "VALUES (?, ?, 'IC04', '2026-01-15 00:00:00', '20-22334455-6', '001', "
                   "'30-70845123-9', 'FERRETERIA INDUSTRIAL DEL SUR S.A.', "
                   "'HANGZHOU LONGXIN TOOLS CO', ?, ?, ?, 'DOL', 'DOL', 'DOL', 'V', 'V', 'V', "
                   "'FOB', '1', '1', '310', ?, ?, ?)"));
    ddt.run({iddt, QStringLiteral("MASIVO-%1").arg(items), round2(totalFob), round2(totalFreight),
             round2(totalInsurance), iddt, iddt, iddt});
}

} // namespace

void addDemoDeclarations(QSqlDatabase& db, int count) {
    if (count <= 0)
        return;
    static const std::array<const char*, 8> kRegimes{"IC04", "EC01", "IC06", "IC04",
                                                     "SIMI", "EC01", "SIRA", "SEDI"};
    static const std::array<const char*, 5> kImporters{
        "FERRETERIA INDUSTRIAL DEL SUR S.A.", "IMPORTADORA NORTE SRL", "TEXTILES DEL PLATA SA",
        "COMERCIAL ANDINA S.A.", "DISTRIBUIDORA OESTE"};
    static const std::array<const char*, 4> kSellers{
        "HANGZHOU LONGXIN TOOLS CO", "SHENZHEN BRIGHT ELECTRONICS LTD", "MUELLER GMBH",
        "COMPANHIA PAULISTA DE MAQUINAS"};
    if (!db.transaction())
        fail(db.lastError());
    try {
        Insert ddt(db, QStringLiteral("INSERT INTO DDT (IDDT, IEXT, ISTA, DDDTOFICIA, LDDTNOMIOE, "
                                      "LDDTNOMFOD, MDDTFOB) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        const QDate first(2024, 1, 2);
        for (int n = 1; n <= count; ++n) {
            const QString regime = QString::fromLatin1(kRegimes[n % kRegimes.size()]);
            const QString iddt = QStringLiteral("25001") + regime +
                                 QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0')) +
                                 QChar(u'A' + n % 26);
            // Several declarations a day over about two years; a few without date or FOB.
            const QVariant date = n % 50 == 0
                                      ? QVariant()
                                      : QVariant(first.addDays(n / 25 % 730).toString(Qt::ISODate) +
                                                 QStringLiteral(" 00:00:00"));
            const QVariant fob = n % 40 == 0 ? QVariant() : QVariant(round2(n * 37.75 + 0.05));
            ddt.run({iddt, QStringLiteral("REF-%1").arg(n), regime, date,
                     QString::fromLatin1(kImporters[n % kImporters.size()]),
                     QString::fromLatin1(kSellers[n % kSellers.size()]), fob});
        }
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        fail(error);
    }
}

void buildDemoCatalog(QSqlDatabase& db, int largeItems) {
    createCatalogSchema(db);
    runSqlScript(db, QStringLiteral(":/demo/seed.sql"));
    if (largeItems <= 0)
        return;
    if (!db.transaction())
        fail(db.lastError());
    try {
        addLargeDeclaration(db, largeItems);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        fail(error);
    }
}

} // namespace modDA
