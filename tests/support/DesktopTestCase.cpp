#include "support/DesktopTestCase.h"

#include "support/CatalogFixture.h"
#include "support/TestXServer.h"

#include <QTest>

namespace corvelix::test {

DesktopTestCase::DesktopTestCase() = default;
DesktopTestCase::~DesktopTestCase() = default;

void DesktopTestCase::initTestCase() {
    if (desktopServer() == nullptr)
        CORVELIX_WITHOUT_DISPLAY(QStringLiteral("no X server with a window manager: ") +
                                 desktopProblem());
    fixture_ = std::make_unique<CatalogFixture>();
    fixture_->loadDemoSeed();
}

void DesktopTestCase::cleanupTestCase() {
    fixture_.reset();
}

} // namespace corvelix::test
