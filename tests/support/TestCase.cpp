#include "support/TestCase.h"

#include "runtime/FormKit.h"
#include "support/ScriptedUi.h"

#include <QLocale>
#include <QMetaMethod>
#include <QTest>

namespace corvelix::test {

void TestCase::init() {
    // Every function starts from the same locale, whatever the one before it left.
    QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
    ScriptedUi::current().reset();
    resetProcessStatics();
    initTest();
}

void TestCase::cleanup() {
    cleanupTest();
    const QString unused = ScriptedUi::current().unusedAnswers();
    ScriptedUi::current().reset();
    if (!unused.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("scripted answers left unused: ") + unused),
                     __FILE__, __LINE__);
}

QString testCaseProblem(const QObject& object) {
    if (qobject_cast<const TestCase*>(&object) == nullptr)
        return QStringLiteral("%1 does not derive from corvelix::test::TestCase")
            .arg(QLatin1String(object.metaObject()->className()));
    for (const char* hook : {"init()", "cleanup()"}) {
        const QMetaObject* meta = object.metaObject();
        const int index = meta->indexOfMethod(hook);
        if (index < 0 || meta->method(index).enclosingMetaObject() != &TestCase::staticMetaObject)
            return QStringLiteral("%1 defines its own %2; use initTest()/cleanupTest()")
                .arg(QLatin1String(meta->className()), QLatin1String(hook));
    }
    return {};
}

} // namespace corvelix::test
