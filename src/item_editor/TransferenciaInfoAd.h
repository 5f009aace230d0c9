#pragma once

#include <QDialog>
#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// What the two transfer-to-information dialogs share: the heading and the declaration, the
// boxes of what is transferred, the complementary-information code with its lookup (Delete
// empties it), the line of the item processed last, and Procesar/Cancelar. A dialog adds its
// own boxes with agregarCampo, then calls completar. Set m_Despacho and show it modally.
class TransferenciaInfoAd : public QDialog {
    Q_OBJECT

public:
    QString m_Despacho;

    void bucarInfoAdicional();
    // The transfer under the guard, with the buttons disabled and the busy pointer on.
    void cmdProcesar_Click();
    void cmdCancelar_Click();

    QLabel* lbDespacho;
    QLineEdit* txtInfoAdicional = nullptr;
    QPushButton* cmdInfoAdic = nullptr;
    QPushButton* cmdProcesar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QLabel* lbItem = nullptr;

protected:
    TransferenciaInfoAd(QWidget* parent, const QString& nombre, const QString& titulo,
                        const QString& encabezado);

    // A captioned box of the dialog's own, in the next row; `mayusculas`: what it holds is
    // written in capitals when it loses the focus.
    QLineEdit* agregarCampo(const QString& rotulo, const char* nombre, const QString& texto = {},
                            bool mayusculas = false);
    // The rows below the dialog's own boxes.
    void completar();

    // The body of cmdProcesar_Click.
    virtual void procesar() = 0;
    // At each showing, after the declaration is shown.
    virtual void alAbrir() {}

    // The code and the picked items; false, after the warning, when either is missing.
    bool leerDestino(QString& codigo, QString& items);
    // "procesando item <item> ....", then the screen catches up.
    void mostrarProcesado(const QString& item);
    static void avisar(const QString& texto);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void habilitar(bool si);

    QGridLayout* grid_;
    QLineEdit* mayusculas_ = nullptr;
};
