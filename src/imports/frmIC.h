#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidget;

// The subitems of one declaration as the SIMI report lists them, with their export to a
// tab-separated ".xls" text file.
class frmIC : public QDialog {
    Q_OBJECT

public:
    explicit frmIC(QWidget* parent = nullptr);

    QString p_IdOperacion;

    void cargarOperaciones();
    void cmdExportarExcel_Click();

private:
    QLabel* lbDespacho;
    QTreeWidget* lstART;
    QPushButton* cmdExportarExcel;
    corvelix::FirstActivation* activacion_ = nullptr;
};
