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

} // namespace corvelix::test
