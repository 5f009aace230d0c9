#pragma once

class QMenu;
class QTreeWidget;
class QWidget;

// Enables the main window's two sheet-import entries and opens the import windows on the
// declaration selected in its list (nothing when the list has no selection).
void conectarImportacionesHoja(QWidget& principal, QMenu& menu, QTreeWidget& lista);
