#include "runtime/Ui.h"

#include <cstdio>
#include <cstdlib>

namespace corvelix {

namespace {
Ui* current = nullptr;
}

Ui& ui() {
    if (current == nullptr) {
        std::fputs("corvelix: no UI seam installed\n", stderr);
        std::abort();
    }
    return *current;
}

Ui* setUi(Ui* seam) {
    Ui* previous = current;
    current = seam;
    return previous;
}

} // namespace corvelix
