#include "shell/MainWindowOpener.h"

namespace corvelix {

namespace {

std::function<void()>& opener() {
    static std::function<void()> stored;
    return stored;
}

} // namespace

void setMainWindowOpener(std::function<void()> value) {
    opener() = std::move(value);
}

void openMainWindow() {
    if (opener())
        opener()();
}

} // namespace corvelix
