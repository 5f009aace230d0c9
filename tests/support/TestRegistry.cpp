#include "support/TestRegistry.h"

#include <map>
#include <string>

namespace corvelix::test {

std::map<std::string, TestFactory>& registry() {
    static std::map<std::string, TestFactory> tests;
    return tests;
}

bool registerTest(const char* name, TestFactory factory) {
    registry().emplace(name, std::move(factory));
    return true;
}

} // namespace corvelix::test
