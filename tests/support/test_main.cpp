#include "support/test_main.h"

#include "platform/HeapKeeping.h"
#include "platform/QtSpanish.h"
#include "support/ScriptedUi.h"
#include "support/TestCase.h"
#include "support/TestRegistry.h"
#include "support/TestXServer.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace corvelix::test {

std::map<std::string, TestFactory>& registry();

namespace {
QTemporaryDir& sandbox() {
    static QTemporaryDir dir;
    return dir;
}
} // namespace

QString sandboxFolder() {
    return sandbox().path();
}

void useSandboxSettings() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       sandbox().filePath(QStringLiteral("user")));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       sandbox().filePath(QStringLiteral("system")));
}

int runTests(int argc, char** argv) {
    startDesktopIfAsked();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelix"));
    // As the program does: Qt's own texts in Spanish.
    installQtSpanish();
    if (!sandbox().isValid()) {
        std::fputs("tests: no temporary folder\n", stderr);
        return 1;
    }
    useSandboxSettings();
    qputenv("CORVELIX_HOME", sandbox().filePath(QStringLiteral("home")).toUtf8());

    std::vector<std::string> names;
    std::vector<char*> args{argv[0]};
    if (argc > 1 && registry().count(argv[1]) != 0) {
        names.emplace_back(argv[1]);
        for (int i = 2; i < argc; ++i)
            args.push_back(argv[i]);
    } else {
        for (const auto& [name, factory] : registry())
            names.push_back(name);
        for (int i = 1; i < argc; ++i)
            args.push_back(argv[i]);
    }

    int failures = 0;
    for (const auto& name : names) {
        auto object = registry().at(name)();
        if (const QString problem = testCaseProblem(*object); !problem.isEmpty()) {
            std::fprintf(stderr, "tests: %s\n", qPrintable(problem));
            ++failures;
            continue;
        }
        // Each class starts from the same ground: a fresh scripted seam and the es_AR locale.
        QLocale::setDefault(QLocale(QStringLiteral("es_AR")));
        ScriptedUi seam;
        failures += QTest::qExec(object.get(), static_cast<int>(args.size()), args.data());
    }
    // An exit status keeps only the low byte: 256 failures must not read as success.
    return std::min(failures, 127);
}

} // namespace corvelix::test

int main(int argc, char** argv) {
    // The program's heap settings, first thing as in its main: the tests run what ships.
    corvelix::keepFreedHeap();
    return corvelix::test::runTests(argc, argv);
}
