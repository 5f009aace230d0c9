// .ods: content.xml holds every table; the first one whose table style does not hide it is
// the first sheet. Rows and cells may stand for many through their repeat counts. The part
// is read with libxml2 as it inflates, as the .xlsx parts are.
#include "platform/SheetXmlParts.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <string>

namespace corvelix {

namespace {

const std::string_view kOfficeNs[] = {"urn:oasis:names:tc:opendocument:xmlns:office:1.0"};
const std::string_view kTableNs[] = {"urn:oasis:names:tc:opendocument:xmlns:table:1.0"};
const std::string_view kTextNs[] = {"urn:oasis:names:tc:opendocument:xmlns:text:1.0"};
const std::string_view kStyleNs[] = {"urn:oasis:names:tc:opendocument:xmlns:style:1.0"};
// The elements read are in these; others (drawings, another writer's extensions) are passed
// over with their content.
const std::string_view kContentNs[] = {kOfficeNs[0], kTableNs[0], kTextNs[0], kStyleNs[0],
                                       "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"};

qint64 repeatCount(std::string_view v) {
    qint64 n = 0;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    return ec == std::errc() && ptr == v.data() + v.size() && n > 0 ? n : 1;
}

QString fromUtf8(std::string_view v) {
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

// A shown text of letters without digits.
bool shownAsWord(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }) &&
           std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// "PT14H30M05.5S" as a fraction of a day.
double durationDays(const QString& text) {
    double total = 0;
    double number = 0;
    double scale = 0;
    bool inTime = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (scale > 0) {
                number += (c.unicode() - u'0') * scale;
                scale /= 10;
            } else {
                number = number * 10 + (c.unicode() - u'0');
            }
        } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            scale = 0.1;
        } else {
            const char16_t u = c.toUpper().unicode();
            if (u == u'T')
                inTime = true;
            else if (u == u'D')
                total += number;
            else if (u == u'H' && inTime)
                total += number / 24;
            else if (u == u'M' && inTime)
                total += number / 1440;
            else if (u == u'S' && inTime)
                total += number / 86400;
            number = 0;
            scale = 0;
        }
    }
    return total;
}

// What a cell's attributes say of its value.
struct CellValue {
    std::string type; // office:value-type
    std::string value;
    std::string dateValue;
    std::string timeValue;
    std::string booleanValue;
    QString style;
    bool formula = false;
};

class ContentHandler : public PartHandler {
public:
    explicit ContentHandler(SheetBuilder& builder) : b_(builder) {}

    void start(XmlName name, const XmlAttributes& atts) override {
        if (skip_ > 0) {
            ++skip_;
            return;
        }
        switch (where_) {
        case Where::Outside:
            if (name == "style") {
                style_ = fromUtf8(atts.value(kStyleNs, "name"));
                const std::string_view data = atts.value(kStyleNs, "data-style-name");
                if (!data.empty())
                    dataStyles_.insert(style_, fromUtf8(data));
            } else if (name == "boolean-style") {
                booleanStyles_.insert(fromUtf8(atts.value(kStyleNs, "name")));
            } else if (name == "table-properties") {
                if (atts.value(kTableNs, "display") == "false")
                    hiddenStyles_.insert(style_);
            } else if (name == "table") {
                if (hiddenStyles_.contains(fromUtf8(atts.value(kTableNs, "style-name"))))
                    skip_ = 1;
                else
                    where_ = Where::Table;
            }
            break;
        case Where::Table:
            if (name == "table-row") {
                rowRepeat_ = repeatCount(atts.value(kTableNs, "number-rows-repeated"));
                column_ = 1;
                cells_.clear();
                where_ = Where::Row;
            } else if (name == "table-header-rows" || name == "table-row-group" ||
                       name == "table-rows") {
                ++groups_; // rows inside these count like any other
            } else {
                skip_ = 1; // columns, shapes, named ranges
            }
            break;
        case Where::Row:
            span_ = repeatCount(atts.value(kTableNs, "number-columns-repeated"));
            if (name == "table-cell") {
                startCell(atts);
                where_ = Where::Cell;
            } else {
                skip_ = 1; // covered cells of a merge show nothing
                advance();
            }
            break;
        case Where::Cell:
            if (name == "p") {
                if (paragraphs_ > 0)
                    text_ += '\n';
                ++paragraphs_;
                depth_ = 1;
                where_ = Where::Paragraph;
            } else {
                skip_ = 1; // annotations, frames
            }
            break;
        case Where::Paragraph:
            if (name == "s") {
                const qint64 n = repeatCount(atts.value(kTextNs, "c"));
                text_.append(std::size_t(std::min<qint64>(n, qint64(kMaxCellBytes))), ' ');
                bound();
                skip_ = 1;
            } else if (name == "tab" || name == "line-break") {
                text_ += name == "tab" ? '\t' : '\n';
                skip_ = 1;
            } else if (name == "note" || name == "annotation") {
                skip_ = 1;
            } else {
                ++depth_; // spans, links
            }
            break;
        }
    }

    void end(XmlName) override {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (where_) {
        case Where::Outside:
            break;
        case Where::Table:
            if (groups_ > 0)
                --groups_;
            else
                stop(); // the first table shown is the sheet
            break;
        case Where::Row:
            endRow();
            where_ = Where::Table;
            break;
        case Where::Cell:
            endCell();
            where_ = Where::Row;
            break;
        case Where::Paragraph:
            if (--depth_ == 0)
                where_ = Where::Cell;
            break;
        }
    }

    void text(const char* s, int n) override {
        if (where_ == Where::Paragraph && skip_ == 0) {
            text_.append(s, std::size_t(n));
            bound();
        }
    }

private:
    enum class Where { Outside, Table, Row, Cell, Paragraph };

    void startCell(const XmlAttributes& atts) {
        cell_.type = atts.value(kOfficeNs, "value-type");
        cell_.value = atts.value(kOfficeNs, "value");
        cell_.dateValue = atts.value(kOfficeNs, "date-value");
        cell_.timeValue = atts.value(kOfficeNs, "time-value");
        cell_.booleanValue = atts.value(kOfficeNs, "boolean-value");
        cell_.style =
            booleanStyles_.isEmpty() ? QString() : fromUtf8(atts.value(kTableNs, "style-name"));
        cell_.formula = !atts.value(kTableNs, "formula").empty();
        text_.clear();
        paragraphs_ = 0;
    }

    // A cell's text is kept as far as enough bytes for more characters than the bound, to be
    // refused whole.
    void bound() {
        if (text_.size() > kMaxCellBytes)
            text_.resize(kMaxCellBytes);
    }

    void advance() { column_ = std::min<qint64>(column_ + span_, qint64(1) << 40); }

    void endCell() {
        const QString text = cellText();
        if (!text.isEmpty()) {
            b_.checkBounds(row_, column_ + span_ - 1);
            for (qint64 k = 0; k < span_; ++k)
                cells_.emplace_back(static_cast<int>(column_ + k), text);
        }
        advance();
    }

    void endRow() {
        if (!cells_.empty()) {
            b_.checkBounds(row_ + rowRepeat_ - 1, 1);
            for (qint64 r = 0; r < rowRepeat_; ++r)
                for (const auto& [c, text] : cells_)
                    b_.setText(static_cast<int>(row_ + r), c, text);
        }
        row_ += rowRepeat_;
    }

    QString cellText() const {
        const QString shown = fromUtf8(text_);
        const std::string& type = cell_.type;
        if (type == "float" || type == "percentage" || type == "currency") {
            bool ok = false;
            const double value =
                QByteArrayView(cell_.value.data(), qsizetype(cell_.value.size())).toDouble(&ok);
            if (!ok)
                return shown;
            // Truth values are saved as numbers shown through a boolean style.
            if (!booleanStyles_.isEmpty() &&
                booleanStyles_.contains(dataStyles_.value(cell_.style)))
                return SheetBuilder::booleanText(value != 0);
            // So is the result of TRUE() or a comparison, shown as a word ("TRUE", "VERDADERO").
            if ((value == 0 || value == 1) && cell_.formula && shownAsWord(shown))
                return SheetBuilder::booleanText(value != 0);
            return b_.numberText(value);
        }
        if (type == "date") {
            const QString value = fromUtf8(cell_.dateValue);
            const QDateTime when = QDateTime::fromString(value, Qt::ISODate);
            if (when.isValid())
                return SheetBuilder::dateText(b_.locale(), when.date(), when.time());
            const QDate date = QDate::fromString(value, Qt::ISODate);
            return date.isValid() ? SheetBuilder::dateText(b_.locale(), date, QTime()) : shown;
        }
        if (type == "time")
            return b_.dateSerialText(durationDays(fromUtf8(cell_.timeValue)));
        if (type == "boolean")
            return SheetBuilder::booleanText(cell_.booleanValue == "true");
        return shown;
    }

    SheetBuilder& b_;
    Where where_ = Where::Outside;
    int skip_ = 0;   // depth inside an element passed over with its content
    int groups_ = 0; // depth inside row groups
    int depth_ = 0;  // inside the paragraph
    QString style_;  // the style being read
    QSet<QString> hiddenStyles_;
    QHash<QString, QString> dataStyles_; // cell style -> its number style
    QSet<QString> booleanStyles_;
    qint64 row_ = 1;
    qint64 rowRepeat_ = 1;
    qint64 column_ = 1;
    qint64 span_ = 1;
    std::vector<std::pair<int, QString>> cells_; // of the row
    CellValue cell_;
    std::string text_; // the cell's paragraphs
    int paragraphs_ = 0;
};

} // namespace

void readOds(const QByteArray& data, SheetBuilder& builder) {
    ZipPackage zip(data, builder);
    if (!zip.has(QStringLiteral("content.xml")))
        builder.fail(QStringLiteral("no es una hoja de cálculo OpenDocument (falta content.xml)"));
    ContentHandler handler(builder);
    parsePart(zip, builder, QStringLiteral("content.xml"), handler, kContentNs);
}

} // namespace corvelix
