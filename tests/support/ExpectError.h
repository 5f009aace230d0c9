#pragma once

#include "runtime/VbError.h"

#include <QString>
#include <QTest>

#include <functional>

namespace corvelix::test {

// `fn` must fail with a chained error whose source starts with `source` and whose description
// contains `description`.
inline void expectChainedError(const std::function<void()>& fn, const QString& source,
                               const QString& description) {
    try {
        fn();
        QFAIL("no error");
    } catch (const VbError& e) {
        QCOMPARE(e.number, kErrChained);
        QVERIFY2(e.source.startsWith(source), qPrintable(e.source));
        QVERIFY2(e.description.contains(description), qPrintable(e.description));
    }
}

// `fn` must be refused with exactly `text`: a refusal, which the form shows, not a failure.
inline void expectRefusal(const std::function<void()>& fn, const QString& text) {
    try {
        fn();
        QFAIL("not refused");
    } catch (const Refusal& refusal) {
        QCOMPARE(refusal.description, text);
    }
}

} // namespace corvelix::test
