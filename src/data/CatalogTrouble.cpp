#include "data/CatalogTrouble.h"

namespace modDA {

namespace {

std::function<bool(const CatalogTrouble&)>& handler() {
    static std::function<bool(const CatalogTrouble&)> stored;
    return stored;
}

} // namespace

void setCatalogTroubleHandler(std::function<bool(const CatalogTrouble&)> value) {
    handler() = std::move(value);
}

bool reportCatalogTrouble(const CatalogTrouble& trouble) {
    return handler() ? handler()(trouble) : false;
}

} // namespace modDA
