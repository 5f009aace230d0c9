#pragma once

#include "support/TestCase.h"

#include <memory>

namespace corvelix::test {

class CatalogFixture;

// Base of the test classes that need real windows under a window manager: the whole class is
// skipped without one (desktopProblem() says why; under CI it fails), and runs on the demo
// catalog otherwise.
class DesktopTestCase : public TestCase {
    Q_OBJECT

public:
    DesktopTestCase();
    ~DesktopTestCase() override;

private slots:
    void initTestCase();
    void cleanupTestCase();

private:
    std::unique_ptr<CatalogFixture> fixture_;
};

} // namespace corvelix::test
