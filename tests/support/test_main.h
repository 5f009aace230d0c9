#pragma once

#include <QString>

namespace corvelix::test {
// A temporary folder for the whole test process. The settings stores (user and machine-wide)
// and CORVELIX_HOME point into it unless a test points them elsewhere, so no test touches the
// real user's files.
QString sandboxFolder();
// Points both settings stores back into the sandbox.
void useSandboxSettings();

// Runs the registered class named by argv[1], or all of them; returns the failure count
// (capped at 127, so that it survives as an exit status).
int runTests(int argc, char** argv);
} // namespace corvelix::test
