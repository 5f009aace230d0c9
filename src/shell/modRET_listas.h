#pragma once

class QTreeWidget;

namespace modRET {

// Sizes every column of the list to the wider of its longest entry and its header.
void ajustarColumnasListView(QTreeWidget& lista);

} // namespace modRET
