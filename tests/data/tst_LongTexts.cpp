#include "data/ItemList.h"
#include "data/attached_rows.h"
#include "data/declaration_reads.h"
#include "data/global_items.h"
#include "data/invoices.h"
#include "data/item_actions.h"
#include "data/item_editor_rows.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "runtime/VbError.h"
#include "support/CatalogFixture.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"

#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// The server's ODBC road sends a text of 128 characters or more as ntext, which only an
// assignment (a value inserted or set) and LIKE take as it comes.
constexpr qsizetype kLongFrom = 128;

const QString kDeclaration = QStringLiteral("26001IC04000001A");
const QString kLong = QStringLiteral("REF ") + QString(196, QLatin1Char('x'));

QString longChoice() {
    QStringList entries;
    for (int i = 1; i <= 1500; ++i)
        entries << QStringLiteral("'%1'").arg(i, 4, 10, QLatin1Char('0'));
    return entries.join(QLatin1Char(','));
}

// Offsets of the placeholders of a statement, quoted literals skipped.
QList<qsizetype> placeholders(const QString& text) {
    QList<qsizetype> found;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && text.at(i) == QLatin1Char('?'))
            found << i;
    }
    return found;
}

// Parenthesis depth at `at`, quoted literals skipped.
int depthAt(const QString& text, qsizetype at) {
    int depth = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < at; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('('))
            ++depth;
        else if (!quoted && c == QLatin1Char(')'))
            --depth;
    }
    return depth;
}

// Offset of the first `word` at parenthesis depth `depth` from `from` on (-1 when none).
qsizetype wordAtDepth(const QString& text, const QString& word, int depth, qsizetype from = 0) {
    const QRegularExpression pattern(QStringLiteral("\\b") + word + QStringLiteral("\\b"),
                                     QRegularExpression::CaseInsensitiveOption);
    for (auto it = pattern.globalMatch(text, from); it.hasNext();) {
        const qsizetype at = it.next().capturedStart();
        if (depthAt(text, at) == depth)
            return at;
    }
    return -1;
}

// Whether the server takes an ntext value at placeholder `at` of `text`: typed, a value of
// an INSERT's list, the value a SET gives a column, a LIKE pattern, a procedure's argument.
bool takesNtext(const QString& text, qsizetype at) {
    static const QString typed = QStringLiteral("CAST(? AS nvarchar(max))");
    if (text.mid(at - 5, typed.size()) == typed)
        return true;
    const QString before = text.left(at).trimmed();
    const QString after = text.mid(at + 1).trimmed();
    if (before.endsWith(QLatin1String(" like"), Qt::CaseInsensitive))
        return true;
    const QString verb = text.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    if (verb == QLatin1String("EXEC"))
        return true;
    const auto endsValue = [&] {
        return after.isEmpty() || after.startsWith(QLatin1Char(',')) ||
               after.startsWith(QLatin1Char(')')) ||
               after.startsWith(QLatin1String("FROM "), Qt::CaseInsensitive) ||
               after.startsWith(QLatin1String("WHERE "), Qt::CaseInsensitive);
    };
    if (verb == QLatin1String("INSERT")) {
        const qsizetype values = wordAtDepth(text, QStringLiteral("VALUES"), 0);
        if (values >= 0)
            return at > values && depthAt(text, at) == 1 && endsValue();
        const qsizetype select = wordAtDepth(text, QStringLiteral("SELECT"), 0);
        const qsizetype from = wordAtDepth(text, QStringLiteral("FROM"), 0, select);
        const bool listed = before.endsWith(QLatin1Char(',')) ||
                            before.endsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
        return select >= 0 && at > select && (from < 0 || at < from) && depthAt(text, at) == 0 &&
               listed && endsValue();
    }
    if (verb == QLatin1String("UPDATE")) {
        const qsizetype set = wordAtDepth(text, QStringLiteral("SET"), 0);
        qsizetype end = wordAtDepth(text, QStringLiteral("WHERE"), 0, set);
        const qsizetype from = wordAtDepth(text, QStringLiteral("FROM"), 0, set);
        if (from >= 0 && (end < 0 || from < end))
            end = from;
        static const QRegularExpression assigned(QStringLiteral("(SET|,)\\s*\\w+\\s*=$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        return set >= 0 && at > set && (end < 0 || at < end) && depthAt(text, at) == 0 &&
               assigned.match(before).hasMatch() && endsValue();
    }
    return false;
}

} // namespace

// Codes, references and values a person types, and long item choices, reach a server's
// comparisons and string functions whatever their length.
class tst_LongTexts : public corvelix::test::TestCase {
    Q_OBJECT

    // Transactions open on a real catalog while the statements are captured.
    std::unique_ptr<corvelix::test::CatalogFixture> fixture_;

private slots:
    void initTestCase() { fixture_ = std::make_unique<corvelix::test::CatalogFixture>(); }
    void cleanupTestCase() { fixture_.reset(); }

    void serverTakesThem_data() {
        using Action = std::function<void()>;
        QTest::addColumn<Action>("action");
        const QString d = kDeclaration;
        const QString one = QStringLiteral("'0001'");
        QTest::newRow("long item choice")
            << Action([d] { (void)modDA::vaciarVentajas(d, longChoice()); });
        QTest::newRow("long item choice, suffixes")
            << Action([d] { (void)modDA::getSufijosParaTransferir(d, longChoice(), "AA"); });
        QTest::newRow("suffix looked for")
            << Action([d, one] { (void)modDA::getSufijosParaTransferir(d, one, kLong); });
        QTest::newRow("AA value") << Action([d] { modDA::EstablecerSufijoAA(d, kLong); });
        QTest::newRow("invoice looked for")
            << Action([d] { (void)modDA::existeFactura(d, kLong); });
        QTest::newRow("invoice added")
            << Action([d] { (void)modDA::facturasAgregar(d, true, kLong); });
        QTest::newRow("invoice removed")
            << Action([d] { (void)modDA::facturasEliminar(d, kLong); });
        QTest::newRow("invoice changed")
            << Action([d] { (void)modDA::facturasModificar(d, kLong, kLong + "2"); });
        QTest::newRow("invoices from a list") << Action([d] {
            (void)modDA::addNewInvoices(d, {kLong, QStringLiteral("F1")});
        });
        for (int table = 1; table <= 7; ++table) {
            QTest::addRow("code description, table %d", table) << Action([table] {
                try {
                    (void)modDA::getDescripcionTabla(kLong, table);
                } catch (const corvelix::VbError&) {
                    // no row captured: the code is not found
                }
            });
        }
        QTest::newRow("information added") << Action(
            [d] { (void)modDA::agregarInformacionAdicional(d, "0001", kLong, kLong, "D", true); });
        QTest::newRow("information removed")
            << Action([d] { (void)modDA::eliminarInfoAd(d, "0001", kLong); });
        QTest::newRow("information reset")
            << Action([d, one] { modDA::resetInfoAD_ByID(d, kLong, one); });
        QTest::newRow("information set")
            << Action([d] { (void)modDA::setInfoAdicional(d, "0001", kLong, kLong); });
        QTest::newRow("information on every item") << Action([d] {
            (void)modDA::agregarInformacionAdicional_ALLITEMS(d, "TODO", kLong, kLong, "D", true);
        });
        QTest::newRow("information written per item") << Action([d] {
            modDA::escribirInfoAdicional(d, kLong, {{QStringLiteral("0001"), kLong}},
                                         {QStringLiteral("0001")});
        });
        QTest::newRow("information answered for every item")
            << Action([d] { modDA::contestarOpcionItems(d, kLong, kLong); });
        QTest::newRow("FOB transferred")
            << Action([d] { (void)modDA::transferirFOB(d, "TODO", kLong, 1.0, ","); });
        QTest::newRow("advantage added")
            << Action([d] { (void)modDA::AgregarVentajas(d, "0001", kLong); });
        QTest::newRow("advantage removed")
            << Action([d] { (void)modDA::eliminarVentajas(d, "0001", kLong); });
        QTest::newRow("advantage reset") << Action([d] { modDA::resetVentajas_ID(d, kLong); });
        QTest::newRow("advantage on every item")
            << Action([d] { (void)modDA::agregarVentaja_ALLITEMS(d, "TODO", kLong); });
        QTest::newRow("document added")
            << Action([d] { (void)modDA::agregarDocumento(d, "0001", kLong, kLong); });
        QTest::newRow("document removed")
            << Action([d] { (void)modDA::eliminarDocumento(d, "0001", kLong); });
        QTest::newRow("document reset")
            << Action([d, one] { modDA::ResetDocumento(d, kLong, one); });
        QTest::newRow("document on every item") << Action(
            [d] { (void)modDA::agregarDocumento_ALLITEMS(d, "TODO", kLong, kLong, true); });
        QTest::newRow("CCPAC added")
            << Action([d] { (void)modDA::agregarCCPAC(d, "0001", kLong, kLong); });
        QTest::newRow("CCPAC removed")
            << Action([d] { (void)modDA::eliminarCCPAC(d, "0001", kLong); });
        QTest::newRow("CCPAC on every item")
            << Action([d] { (void)modDA::agregarCCPAC_ALLITEMS(d, kLong, true); });
        QTest::newRow("NCM replaced")
            << Action([d] { (void)modDA::reemplazarNCM(d, kLong, kLong + "2"); });
        QTest::newRow("item field set") << Action([d, one] {
            (void)modDA::setCampo_ALLITEMS(d, "LISTA", kLong, modDA::ItemList::parse(one), true);
        });
    }
    void serverTakesThem() {
        QFETCH(std::function<void()>, action);
        modDA::StatementCapture capture(modDA::Dialect::SqlServer);
        action();
        qsizetype longOnes = 0;
        for (const auto& statement : capture.statements()) {
            const QList<qsizetype> marks = placeholders(statement.text);
            QCOMPARE(marks.size(), statement.params.size());
            for (qsizetype i = 0; i < marks.size(); ++i) {
                const QVariant& value = statement.params.at(i);
                if (value.typeId() != QMetaType::QString || value.toString().size() < kLongFrom)
                    continue;
                ++longOnes;
                QVERIFY2(takesNtext(statement.text, marks.at(i)),
                         qPrintable(QStringLiteral("value %1 of: %2").arg(i).arg(statement.text)));
            }
        }
        QVERIFY2(longOnes > 0, "no long text reached a statement");
    }
};

CORVELIX_TEST(tst_LongTexts)
#include "tst_LongTexts.moc"
