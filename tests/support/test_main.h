#pragma once

namespace corvelix::test {
// Runs the registered class named by argv[1], or all of them; returns the failure count
// (capped at 127, so that it survives as an exit status).
int runTests(int argc, char** argv);
} // namespace corvelix::test
