#pragma once

#include <QDialog>
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
    void SetLista(const QString& operacion, const QString& lista, int item);
    void SetCertificadoOrigen(const QString& operacion, int item, const QString& valor);
    void CCPackReset(const QString& operacion);
    void SetCCPack(const QString& operacion, int item, const QString& valor,
                   const QString& origen);
    void marcarART_Eliminar(const QString& operacion);
    void EliminarART(const QString& operacion);
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
