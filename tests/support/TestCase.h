#pragma once

#include <QObject>

namespace corvelix::test {

// Base of every test class. Around each test function (each data row) it gives a fresh
// scripted seam, process statics at their initial values and the es_AR locale, and fails the function when a
// scripted answer was left unused. Test classes put their own per-function work in
// initTest()/cleanupTest(), never in init()/cleanup() slots of their own (the common main
// refuses such a class).
class TestCase : public QObject {
    Q_OBJECT

protected:
    virtual void initTest() {}
    virtual void cleanupTest() {}

private slots:
    void init();
    void cleanup();
};

// Why `object` cannot run under the common main (empty when it can).
QString testCaseProblem(const QObject& object);

} // namespace corvelix::test
