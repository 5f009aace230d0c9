#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;
class frmItemDetalle;

// The pro-rating and option controls of the item editor's "Prorrateos" page (the values common
// to all items): the four amount spreads, the net-kilo spread, the FOB adjustment, and the IVA
// and income-tax answers. Each operation touches every item of the declaration `operacion` (the
// editor's member, read at every click) in one transaction. `form` is the editor window.
class ProrrateosTab : public QObject {
    Q_OBJECT

public:
    ProrrateosTab(QWidget& form, QWidget& page, const QString& operacion);

    // The amount spreads, by pro-rating kind (1 insurance, 2 freight, 3 and 4 adjustments).
    void prorratearMonto(int campo);
    void cmdProrrKGNETO_Click();
    void AjusteAFOB();

    void contestarOpecionesIVA(const QString& despacho, int posicion);
    void contestarOpecionesGANANCIAS(const QString& despacho, int posicion);
    static QString GetCodigoIVAByIndex(int posicion);
    static QString GetCodigoGananciasByIndex(int posicion);

    // The entries of the two option lists, as the editor's load puts them.
    static void llenarOpciones(QComboBox& iva, QComboBox& ganancias);

    // An amount typed under the user's locale, read by the number rule every box uses; false
    // for anything else and for amounts beyond any declaration.
    static bool leerMonto(const QString& text, double& value);

private:
    struct Opcion;
    void contestar(const Opcion& opcion, const QString& despacho, int posicion);

    QWidget& form_;
    const QString& operacion_;
    QLineEdit* txtSeguroTotal;
    QLineEdit* txtFleteTotal;
    QLineEdit* txtAjusteIncTotal;
    QLineEdit* txtAjusteDedTotal;
    QLineEdit* txtKgNetoTotal;
    QLineEdit* txtAjusteFOB;
    QComboBox* cboOpcionesIVA;
    QComboBox* cboOpcionesGanancias;
};

// Builds the page's controls on the editor's "Prorrateos" area.
void instalarProrrateos(frmItemDetalle& form);
