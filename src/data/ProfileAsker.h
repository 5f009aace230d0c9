#pragma once

#include <QString>

#include <functional>

// The profile dialog stands above the data layer; when the catalog cannot be opened, the data
// layer asks for another profile through this hook, which the program sets at start.
namespace modDA {

// `asker` shows the dialog and answers the chosen profile's word (already stored), empty when
// the user cancelled.
void setProfileAsker(std::function<QString()> asker);
// The chosen word; empty when cancelled or when no asker is set.
QString askForProfile();

} // namespace modDA
