#pragma once

#include <QList>
#include <QString>

#include <cstddef>

namespace modDA {

// Statement text. It can only be built from string literals, other Sql values, the dialect
// helpers and checked names, so a value read from the user, a file or the database cannot be
// pasted into a statement: values go to '?' placeholders and are bound.
class Sql {
public:
    Sql() = default;

    // A string literal (implicit, so that getRs(kCatalog, "SELECT ...") reads naturally).
    template <std::size_t N>
    Sql(const char (&literal)[N]) // NOLINT(google-explicit-constructor)
        : text_(QString::fromUtf8(literal, static_cast<qsizetype>(N) - 1)) {}

    // A writable buffer is no literal; nor is any run-time text.
    template <std::size_t N> Sql(char (&)[N]) = delete;
    Sql(const QString&) = delete;
    Sql(const std::string&) = delete;

    // A table or column name: letters, digits and underscore, not starting with a digit.
    // Anything else raises a VbError.
    [[nodiscard]] static Sql identifier(const QString& name);
    // A whole number written into the text (a scale, a count, a field number).
    [[nodiscard]] static Sql integer(qint64 value);
    // "?, ?, ?": one placeholder per value of a list (at least one).
    [[nodiscard]] static Sql placeholders(qsizetype count);
    // A script kept among the program's resources (a path starting with ":/").
    [[nodiscard]] static Sql fromResource(const QString& path);
    // The parts with `separator` between them.
    [[nodiscard]] static Sql join(const QList<Sql>& parts, const Sql& separator);

    // The text without a leading `prefix` (ignoring letter case and leading blanks).
    [[nodiscard]] Sql withoutPrefix(const QString& prefix) const;

    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] bool isEmpty() const { return text_.isEmpty(); }

    Sql& operator+=(const Sql& other) {
        text_ += other.text_;
        return *this;
    }
    friend Sql operator+(Sql a, const Sql& b) { return a += b; }
    friend bool operator==(const Sql& a, const Sql& b) { return a.text_ == b.text_; }

private:
    // Tests build statements of their own at run time (tests/support/TestSql.h).
    friend struct SqlTestAccess;
    struct Trusted {};
    Sql(Trusted, QString text) : text_(std::move(text)) {}

    QString text_;
};

} // namespace modDA
