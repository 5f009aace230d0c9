#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QListWidget;
class QMovie;
class QPushButton;
class QTimer;

namespace corvelix {
class HttpAbandon;
}

// The update window, shown modeless: a short animation, then the update file of the first
// server; it can hand the package it names to the browser and end the program. While a
// server is asked the window (and the rest of the program) stays usable, and "Salir" gives
// the read up.
class frmActualizacion : public QWidget {
    Q_OBJECT

public:
    explicit frmActualizacion(QWidget* parent = nullptr);
    ~frmActualizacion() override;

    // Shows the window without waiting, or brings forward the one already open.
    static frmActualizacion& mostrar();

    void agregarEstado(const QString& texto);
    void comprobarActualizacion(bool manual);
    void Timer1_Timer();
    void cmdActualizar_Click();
    void cmdActualizarConUltimaDisponible_Click();
    void cmdSalir_Click();

    [[nodiscard]] int ticks() const { return ticks_; }
    [[nodiscard]] const QString& paquete() const { return paquete_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void detenerAnimacion();

    QListWidget* ListaEstado;
    QLabel* lbEstado;
    QLabel* lbComprobando;
    QLabel* Animation1;
    QLabel* Image1;
    QTimer* Timer1;
    QPushButton* cmdActualizar;
    QPushButton* cmdActualizarConUltimaDisponible;
    QPushButton* cmdSalir;
    QMovie* animacion_ = nullptr;

    int ticks_ = 0;
    QString paquete_;
    // The read of the update file while it waits, so that closing the window can give it up.
    corvelix::HttpAbandon* lectura_ = nullptr;
};
