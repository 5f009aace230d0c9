#pragma once

#include <QObject>

#include <functional>
#include <memory>

// Every test class registers itself under its class name; the common main runs the class
// named by the first argument (or every class when none is named).
namespace corvelix::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

bool registerTest(const char* name, TestFactory factory);

} // namespace corvelix::test

#define CORVELIX_TEST(Class)                                                                       \
    namespace {                                                                                    \
    [[maybe_unused]] const bool Class##_registered =                                               \
        corvelix::test::registerTest(#Class, [] { return std::unique_ptr<QObject>(new Class); });  \
    }
