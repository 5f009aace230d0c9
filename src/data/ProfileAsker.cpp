#include "data/ProfileAsker.h"

namespace modDA {

namespace {

std::function<QString()>& asker() {
    static std::function<QString()> stored;
    return stored;
}

} // namespace

void setProfileAsker(std::function<QString()> value) {
    asker() = std::move(value);
}

QString askForProfile() {
    return asker() ? asker()() : QString();
}

} // namespace modDA
