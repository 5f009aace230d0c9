#pragma once

#include "runtime/FormKit.h"

#include <QDialog>
#include <QHash>
#include <QString>

class QLabel;
class QPushButton;

// The SIMI processing menu of one declaration: loads a SIMI sheet into the local work rows,
// applies them to the declaration's items (the whole run or one kind of value), clears the
// SIMI complementary information and opens the item view. Shown modeless in place of the
// main window, which comes back when it closes.
class frmMenuIC : public QDialog {
    Q_OBJECT

public:
    explicit frmMenuIC(QWidget* parent = nullptr);

    QString m_Despacho;

    // The sibling program run between the marking and the deletion: the setting
    // config/programaSIMI, by default "pernatex" in the program folder.
    static QString programaHermano();
    // How long the run waits for the sibling program before it offers to stop waiting, and
    // again after each "keep waiting" (ms).
    static corvelix::ProcessStatic<int>& esperaHermanoMs();

    // Label and "Enviar todo" from the work-row count, docking, caption; every activation.
    void Form_Activate();
    void cargarDatos();

    void cmdIniciarProceso_Click();
    void ProcesarITEM(const QString& operacion);
    void EnviarLista(const QString& operacion);
    void EnviarCerifOrigen(const QString& operacion);
    void enviarCCPACK(const QString& operacion);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

public slots:
    void reject() override;

private:
    // Item keys (NART) by the number they show, four digits.
    using Claves = QHash<QString, QString>;

    void SetLista(const QString& operacion, const QString& lista, int item, const Claves& claves);
    void SetCertificadoOrigen(const QString& operacion, int item, const QString& valor,
                              const Claves& claves);
    void CCPackReset(const QString& operacion);
    void SetCCPack(const QString& operacion, int item, const QString& valor, const QString& origen,
                   const Claves& claves);
    void marcarART_Eliminar(const QString& operacion);
    void EliminarART(const QString& operacion, const Claves& claves);
    // Refuses, with the message of a failed start, a sibling program that cannot be started.
    static void verificarHermano();
    void ejecutarHermano(const QString& operacion);
    void setBotones(bool enabled);

    QLabel* Label;
    QLabel* lbOperacion;
    QPushButton* cmdIniciarProceso;
    QPushButton* cmdSoloLista;
    QPushButton* cmdsoloCEO;
    QPushButton* cmdCCPACK;
    QPushButton* cmdLimpiarInfoAd;
    QPushButton* cmdCargar;
    QPushButton* cmdArticulos;
    QPushButton* cmdCerrar;
    bool enProceso_ = false;
    // Handed back to the main window in this showing.
    bool cerrado_ = false;
};
