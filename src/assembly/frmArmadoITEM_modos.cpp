// The grid loaders of the item view's four modes.

#include "assembly/frmArmadoITEM.h"

#include "data/declaration_reads.h"
#include "data/liquidation_lines.h"
#include "data/modDA.h"
#include "platform/FlexGrid.h"
#include "platform/TextWidths.h"
#include "runtime/Format.h"
#include "runtime/Twips.h"
#include "runtime/VbError.h"

#include <QFontMetrics>
#include <QHash>

#include <array>
#include <vector>

using corvelix::FlexAlign;
using corvelix::FlexGrid;
using corvelix::formatNumber;
using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::ui;
using corvelix::vbColor;

namespace {

const QString kSinOperacion = QStringLiteral("no hay operacion seleccionada");
const QString kSeparadorLista = QStringLiteral("|#|");

QString location(const char* procedure) {
    return QStringLiteral("Corvelix.frmArmadoITEM.") + QLatin1String(procedure);
}

// A value as the number it holds: numbers as read, texts in machine form; false for Null and
// for texts that are no number.
bool comoNumero(const QVariant& value, double& number) {
    if (value.isNull())
        return false;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        number = value.toDouble();
        return true;
    default: {
        bool ok = false;
        number = value.toString().trimmed().toDouble(&ok);
        return ok;
    }
    }
}

// Fields shown through one mask. Each distinct number is formatted once per load: a
// declaration repeats its quantities, units and zero amounts on many rows.
class Mascara {
public:
    explicit Mascara(const QString& mask) : mask_(mask) {}
    // Null gives an empty cell; a text that is no number is shown as it is.
    QString operator()(const QVariant& value) {
        double number = 0;
        if (!comoNumero(value, number))
            return value.isNull() ? QString() : value.toString();
        auto it = hechos_.constFind(number);
        if (it == hechos_.constEnd())
            it = hechos_.insert(number, mask_(number));
        return *it;
    }

private:
    corvelix::NumberMask mask_;
    QHash<double, QString> hechos_;
};

// Attached lists ("a|#|b") as one cell: trimmed, elements joined by `separador`.
QString lista(const QVariant& value, const QString& separador) {
    QString text = value.toString().trimmed();
    text.replace(kSeparadorLista, separador);
    return text;
}

// Position of a field in the reader's rows, letter case ignored; -1 when missing.
int indiceCampo(const modDA::Recordset& rs, const char* name) {
    const QLatin1String wanted(name);
    for (int i = 0; i < rs.fieldCount(); ++i)
        if (rs.fields().at(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The positions of `names` in the reader's rows; a missing one is our own fault, told as
// `procedure` failing over `what`.
template <std::size_t N>
std::array<int, N> indicesCampos(const modDA::Recordset& rs, const char* const (&names)[N],
                                 const char* procedure, const char* what) {
    std::array<int, N> columnas{};
    for (std::size_t i = 0; i < N; ++i) {
        columnas[i] = indiceCampo(rs, names[i]);
        if (columnas[i] < 0)
            throw corvelix::VbError(corvelix::kErrInternal, QLatin1String(procedure),
                                    QStringLiteral("Falta una columna en la lectura de ") +
                                        QLatin1String(what));
    }
    return columnas;
}

// Fills the grid hidden and undrawn; shows it again however the fill ends.
class Llenado {
public:
    explicit Llenado(FlexGrid& grid) : grid_(grid) {
        grid_.hide();
        grid_.setRedraw(false);
    }
    ~Llenado() { grid_.setRedraw(true); }
    Llenado(const Llenado&) = delete;
    Llenado& operator=(const Llenado&) = delete;
    void mostrar() {
        grid_.setRedraw(true);
        grid_.show();
    }

private:
    FlexGrid& grid_;
};

void encabezados(FlexGrid& grid, const QStringList& textos) {
    for (int c = 0; c < textos.size(); ++c)
        grid.setTextMatrix(0, c, textos.at(c));
}

void anchos(FlexGrid& grid, const std::vector<int>& twips) {
    for (std::size_t c = 0; c < twips.size(); ++c)
        grid.setColWidth(int(c), twips[c]);
}

const QColor& fondoBanda() {
    static const QColor color = vbColor(0xEAEAEA);
    return color;
}

const QColor& fondoTotales() {
    static const QColor color = vbColor(0x665428);
    return color;
}

} // namespace

void frmArmadoITEM::completarDatosDeItems() {
    // The items' advantages, complementary information and documents as the catalog's
    // procedures gather them; not while the grid is only read again after a failed change.
    if (soloLectura_)
        return;
    modDA::runProcedure(QStringLiteral("setitemventajas"), {m_Operacion});
    modDA::runProcedure(QStringLiteral("SETITEMINFOAD"), {m_Operacion});
    modDA::runProcedure(QStringLiteral("SETITEMDOCS"), {m_Operacion});
}

void frmArmadoITEM::cargarITEMs() {
    corvelix::chained(location("cargarItems"), [&] {
        FlexGrid& grid = *grdITEMS;
        Llenado llenado(grid);
        grid.clear();
        grid.setCols(17);
        grid.setRows(1);
        grid.setFixedRows(1);
        grid.setFixedCols(0);
        encabezados(grid,
                    {QStringLiteral("nart"), QStringLiteral("Item"), QStringLiteral("NCM"),
                     QStringLiteral("Lista"), QStringLiteral("Origen"), QStringLiteral("Proceden"),
                     QStringLiteral("Unidad"), QStringLiteral("Cantidad"),
                     QStringLiteral("Estadistica"), QStringLiteral("Cantidasd Est"),
                     QStringLiteral("KiloNeto"), QStringLiteral("FOB"), QStringLiteral("FLETE"),
                     QStringLiteral("SEGURO"), QStringLiteral("Aj Inc"), QStringLiteral("Aj Ded"),
                     QStringLiteral("Ventajas")});
        anchos(grid, {0, 630, 1945, 1700, 750, 750, 745, 960, 775, 960, 960, 1200, 1200, 1200, 1200,
                      1200, -1});
        for (int c = 1; c < 17; ++c)
            grid.setColAlignment(c, FlexAlign::RightTop);
        grid.setWordWrap(false);

        if (m_Operacion.isEmpty()) {
            llenado.mostrar();
            ui().msgBox(kSinOperacion, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        completarDatosDeItems();
        const modDA::Recordset rs = modDA::getITEMsByDespacho(m_Operacion);

        const auto columnas =
            indicesCampos(rs,
                          {"nart", "nartext", "ncm", "lista", "paisorigen", "paisproc",
                           "unidad_dec", "cantidad_dec", "unidad_est", "cantidasd_est", "KiloNeto",
                           "fob", "flete", "seguro", "ajuste_inc", "ajuste_ded", "ventajas"},
                          "cargarItems", "items");

        const QString dos = QStringLiteral("###,##0.00");
        const QString tres = QStringLiteral("###,##0.000");
        Mascara conDos(dos);
        Mascara conTres(tres);
        // Net kilos, FOB, freight, insurance, adjustment plus, adjustment minus.
        std::array<double, 6> sumas{};
        std::vector<QStringList> filas;
        filas.reserve(std::size_t(rs.recordCount()) + 1);
        filas.emplace_back(); // the totals row, filled below
        for (const QVariantList& fila : rs.rows()) {
            const auto v = [&](int i) -> const QVariant& {
                return fila.at(columnas[std::size_t(i)]);
            };
            QStringList celdas;
            celdas.reserve(17);
            for (int i = 0; i <= 6; ++i)
                celdas << v(i).toString();
            celdas << conDos(v(7)) << v(8).toString() << conDos(v(9)) << conTres(v(10));
            for (int i = 11; i <= 15; ++i)
                celdas << conDos(v(i));
            celdas << lista(v(16), QStringLiteral(" - "));
            filas.push_back(std::move(celdas));
            // Each value is summed as it is shown: rounded to its decimals.
            double numero = 0;
            if (comoNumero(v(10), numero))
                sumas[0] += corvelix::roundedAsShown(numero, 3);
            for (int i = 11; i <= 15; ++i)
                if (comoNumero(v(i), numero))
                    sumas[std::size_t(i - 10)] += corvelix::roundedAsShown(numero, 2);
        }
        QStringList& totales = filas.front();
        totales << QStringLiteral("0000") << QStringLiteral("0000");
        for (int c = 2; c <= 9; ++c)
            totales << QStringLiteral("-");
        totales << formatNumber(sumas[0], tres);
        for (std::size_t i = 1; i < sumas.size(); ++i)
            totales << formatNumber(sumas[i], dos);
        totales << QStringLiteral("-");
        grid.appendRows(filas);

        // Item rows from row 2: the first, third, fifth... item is banded.
        const int ultima = grid.cols() - 1;
        for (int r = 2; r < grid.rows(); r += 2)
            grid.fillBackColor(r, 0, r, ultima, fondoBanda());
        grid.fillBackColor(1, 0, 1, ultima, fondoTotales());
        grid.fillForeColor(1, 0, 1, ultima, vbColor(0xFFFFFF));
        grid.setRowHeight(1, grid.rowHeight(1) * 2);
        grid.setCellAlignment(1, 0, 1, ultima, FlexAlign::RightCenter);
        grid.select(1, 0, 1, ultima);
        grid.setColWidth(0, 0);
        // Codes and amounts whole in the grid's font; the advantages stay as designed.
        corvelix::widenColumnsToTexts(grid, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
        llenado.mostrar();
    });
}

void frmArmadoITEM::cargarItems_SoloDatos() {
    corvelix::chained(location("cargarItems_SoloDatos"), [&] {
        FlexGrid& grid = *grdITEMS;
        Llenado llenado(grid);
        grid.clear();
        grid.setCols(9);
        grid.setRows(1);
        grid.setFixedRows(1);
        grid.setFixedCols(0);
        encabezados(grid, {QStringLiteral("nart"), QStringLiteral("Item"), QStringLiteral("NCM"),
                           QStringLiteral("Lista"), QStringLiteral("Origen"),
                           QStringLiteral("Proceden"), QStringLiteral("Ventajas"),
                           QStringLiteral("Info Adic"), QStringLiteral("Documentos")});
        grid.setColAlignment(0, FlexAlign::General);
        for (int c = 1; c <= 5; ++c)
            grid.setColAlignment(c, FlexAlign::CenterCenter);
        for (int c = 6; c <= 8; ++c)
            grid.setColAlignment(c, FlexAlign::LeftCenter);
        grid.setWordWrap(true);

        if (m_Operacion.isEmpty()) {
            llenado.mostrar();
            ui().msgBox(kSinOperacion, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        completarDatosDeItems();
        const modDA::Recordset rs = modDA::getITEMs_Solodatos_ByDespacho(m_Operacion);
        const auto columnas = indicesCampos(rs,
                                            {"nart", "nartext", "ncm", "lista", "paisorigen",
                                             "paisproc", "ventajas", "INFOAD", "DOCS"},
                                            "cargarItems_SoloDatos", "items");

        const QString salto = QStringLiteral("\r\n");
        std::vector<QStringList> filas;
        filas.reserve(std::size_t(rs.recordCount()) + 1);
        QStringList global{QStringLiteral("0000"), QStringLiteral("0000")};
        for (int c = 2; c <= 8; ++c)
            global << QStringLiteral("-");
        filas.push_back(global);
        for (const QVariantList& fila : rs.rows()) {
            QStringList celdas;
            celdas.reserve(9);
            for (int i = 0; i <= 5; ++i)
                celdas << fila.at(columnas[std::size_t(i)]).toString();
            for (int i = 6; i <= 8; ++i)
                celdas << lista(fila.at(columnas[std::size_t(i)]), salto);
            filas.push_back(std::move(celdas));
        }
        grid.appendRows(filas);
        const int ultima = grid.cols() - 1;
        for (int r = 2; r < grid.rows(); r += 2)
            grid.fillBackColor(r, 0, r, ultima, fondoBanda());
        grid.setWordWrap(true);

        AjustaColumnas(grid, true, true);
        grid.setColWidth(0, 0);
        grid.select(1, 0, 1, ultima);
        grid.fillBackColor(1, 0, 1, ultima, fondoTotales());
        grid.fillForeColor(1, 0, 1, ultima, vbColor(0xFFFFFF));
        llenado.mostrar();
    });
}

void frmArmadoITEM::AjustaColumnas(FlexGrid& Rejilla, bool AjustarColumnas, bool AjustarRenglones) {
    const QFontMetrics metricas(Rejilla.font());
    const int alto = corvelix::pixelsToTwips(metricas.height());
    const int filas = Rejilla.rows();
    const int columnas = Rejilla.cols();
    std::vector<int> lineasMax(std::size_t(filas), 1);
    // Each column as wide as its widest line, each row as tall as its cell of most lines.
    for (int c = 0; c < columnas; ++c) {
        QStringList lineas;
        lineas.reserve(filas);
        for (int r = 0; r < filas; ++r) {
            const QString texto = Rejilla.textMatrix(r, c);
            if (!texto.contains(QLatin1Char('\n'))) {
                lineas << texto;
                continue;
            }
            const QStringList partes = texto.split(QLatin1Char('\n'));
            lineasMax[std::size_t(r)] = std::max(lineasMax[std::size_t(r)], int(partes.size()));
            for (QString parte : partes)
                lineas << parte.remove(QLatin1Char('\r'));
        }
        if (AjustarColumnas)
            Rejilla.setColWidth(
                c,
                corvelix::pixelsToTwips(corvelix::widestTextPixels(Rejilla.font(), lineas)) + 150);
    }
    if (AjustarRenglones)
        for (int r = 0; r < filas; ++r)
            Rejilla.setRowHeight(r, lineasMax[std::size_t(r)] * alto + 100);
    if (Rejilla.rows() > 0 && Rejilla.cols() > 0)
        Rejilla.setCurrentCell(0, 0);
}

void frmArmadoITEM::cargar_Articulos() {
    corvelix::chained(location("cargar_Articulos"), [&] {
        FlexGrid& grid = *grdITEMS;
        Llenado llenado(grid);
        grid.clear();
        grid.setCols(13);
        grid.setRows(1);
        grid.setFixedRows(1);
        grid.setFixedCols(0);
        encabezados(grid, {QStringLiteral("IDDT"), QStringLiteral("NART"), QStringLiteral("Codigo"),
                           QStringLiteral("Item"), QStringLiteral("SubIt"), QStringLiteral("NCM"),
                           QStringLiteral("Sufijos"), QStringLiteral("Unidad"),
                           QStringLiteral("Cantidad"), QStringLiteral("Estad"),
                           QStringLiteral("Cantidad"), QStringLiteral("Unitario"),
                           QStringLiteral("Total")});
        anchos(grid, {0, 0, 1500, 600, 600, 1600, 4200, 600, 1000, 600, 1000, 1500, 1300});
        for (int c = 0; c < 13; ++c)
            grid.setColAlignment(c, FlexAlign::General);

        const modDA::Recordset rs = modDA::getArticulosByDespacho(m_Operacion, filtroArticulos());
        const auto columnas = indicesCampos(rs,
                                            {"IDDT", "NART", "IEXT", "NARTEXT", "ISBT", "IESPNCE",
                                             "CSBTSVL", "CARTUNTDCL", "cantidad", "CARTUNTEST",
                                             "CANTIDAD_ESTADISTICA", "FOB_UNITARIO", "FOB_TOTAL"},
                                            "cargar_Articulos", "articulos");
        Mascara dos(QStringLiteral("00.00"));
        Mascara unitario(QStringLiteral("#0.00000"));
        // Row after row, with room for the headings: the grid keeps this store.
        std::vector<QString> celdas;
        celdas.reserve(std::size_t(grid.rows() + rs.recordCount()) * 13);
        for (const QVariantList& fila : rs.rows()) {
            const auto v = [&](int i) -> const QVariant& {
                return fila.at(columnas[std::size_t(i)]);
            };
            for (int i = 0; i <= 7; ++i)
                celdas.push_back(v(i).toString());
            celdas.push_back(dos(v(8)));
            celdas.push_back(v(9).toString());
            celdas.push_back(dos(v(10)));
            celdas.push_back(unitario(v(11)));
            celdas.push_back(dos(v(12)));
        }
        grid.appendRows(std::move(celdas));
        grid.setWordWrap(false);
        setModo(QStringLiteral("articulos"));
        // Codes and amounts whole in the grid's font; the suffixes stay as designed.
        corvelix::widenColumnsToTexts(grid, {2, 3, 4, 5, 7, 8, 9, 10, 11, 12});
        if (grid.rows() > 1)
            grid.select(1, 0, 1, grid.cols() - 1);
        llenado.mostrar();
    });
}

void frmArmadoITEM::cargar_Liquidacion() {
    corvelix::chained(location("cargar_Liquidacion"), [&] {
        FlexGrid& grid = *grdITEMS;
        Llenado llenado(grid);
        grid.setRows(0);
        grid.setCols(0);
        grid.setRows(2);
        grid.setFixedRows(1);
        grid.setFixedCols(0);
        grid.setCols(16);
        grid.setRows(1);
        encabezados(grid,
                    {QStringLiteral("IDDT"), QStringLiteral("NART"), QStringLiteral("ITEM"),
                     QStringLiteral("NCM"), QStringLiteral("FOB Dol"), QStringLiteral("Seguro"),
                     QStringLiteral("Flete"), QStringLiteral("Aj Inc"), QStringLiteral("Aj Ded"),
                     QStringLiteral("Lista"), QStringLiteral("Codigo"),
                     QStringLiteral("Descripcion"), QStringLiteral("Tipo"), QStringLiteral("Base"),
                     QStringLiteral("Coef"), QStringLiteral("Total")});
        anchos(grid, {0, 0, 600, 1600, 1400, 1400, 1400, 1400, 1400, 1000, 600, 2400, 400, 1400,
                      800, 1400});

        const modDA::Recordset rs = modDA::getLiquidacionFULL(m_Operacion);
        Mascara dos(QStringLiteral("00.00"));
        Mascara coef(QStringLiteral("#0.00"));
        // Each column's mask; none: as read.
        const std::array<Mascara*, 16> mascaras{
            nullptr, nullptr, nullptr, nullptr, &dos,    &dos, &dos,  &dos,
            &dos,    nullptr, nullptr, nullptr, nullptr, &dos, &coef, &dos};
        if (rs.fieldCount() < 16)
            throw corvelix::VbError(
                corvelix::kErrInternal, QStringLiteral("cargar_Liquidacion"),
                QStringLiteral("Falta una columna en la lectura de liquidacion"));
        // Row after row, with room for the headings: the grid keeps this store.
        std::vector<QString> celdas;
        celdas.reserve(std::size_t(grid.rows() + rs.recordCount()) * 16);
        for (const QVariantList& fila : rs.rows()) {
            for (int c = 0; c < 16; ++c)
                celdas.push_back(mascaras[std::size_t(c)] == nullptr
                                     ? fila.at(c).toString()
                                     : (*mascaras[std::size_t(c)])(fila.at(c)));
        }
        grid.appendRows(std::move(celdas));
        grid.setWordWrap(false);
        setModo(QStringLiteral("liquidacion"));
        // Codes and amounts whole in the grid's font; the descriptions stay as designed.
        corvelix::widenColumnsToTexts(grid, {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15});
        if (grid.rows() > 1)
            grid.select(1, 0, 1, grid.cols() - 1);
        llenado.mostrar();
    });
}
