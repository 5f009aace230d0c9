#pragma once

#include <functional>

// The main window stands above every subsystem; a form that hands control back to it (the
// SIMI menu on closing) asks for a new one through this hook, which the program sets at start.
namespace corvelix {

void setMainWindowOpener(std::function<void()> opener);
// Shows a new main window; nothing when no opener is set.
void openMainWindow();

} // namespace corvelix
