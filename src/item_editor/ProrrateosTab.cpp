#include "item_editor/ProrrateosTab.h"

#include "item_editor/frmItemDetalle.h"

#include "data/global_items.h"
#include "data/item_values.h"
#include "data/modDA.h"
#include "data/prorating.h"
#include "runtime/FormKit.h"
#include "runtime/Format.h"
#include "runtime/Ui.h"
#include "runtime/VbError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using corvelix::MsgButtons;
using corvelix::MsgIcon;
using corvelix::MsgResult;
using corvelix::ui;

struct FilaMonto {
    int campo;
    const char* boton;
    const char* handler;
    const char* noNumerico;
    const char* noPositivo;
    bool recalculaCaratula;
};

const FilaMonto kFilas[] = {
    {modDA::kCampoSeguro, "cmdProrratear_Seguro", "cmdProrratear_Seguro_Click",
     "En Seguro debe ingresar un valor númerico", "El campo Seguro debe ser mayor a 0", true},
    {modDA::kCampoFlete, "cmdProrratear_Flete", "cmdProrratear_Flete_Click",
     "En flete debe ingresar un valor numerico", "El campo flete debe ser mayor a 0", true},
    {modDA::kCampoAjusteIncluir, "cmdProrratearAjInc", "cmdProrratearAjInc_Click",
     "En Ajusge a Incluir debe ingresar un valor númerico",
     "El campo Ajuste a Incluir debe ser mayor a 0", false},
    {modDA::kCampoAjusteDeducir, "cmdProrratearAjDed", "cmdProrratearAjDed_Click",
     "En Ajusge a Deducir debe ingresar un valor númerico",
     "El campo Ajuste a Deducir debe ser mayor a 0", false},
};

const FilaMonto& fila(int campo) {
    for (const FilaMonto& f : kFilas)
        if (f.campo == campo)
            return f;
    throw corvelix::VbError(5, QStringLiteral("Corvelix"), QStringLiteral("Campo Invalido"));
}

void warn(const QString& text) {
    ui().msgBox(text, MsgButtons::Ok, MsgIcon::Exclamation);
}

void inform(const QString& text) {
    ui().msgBox(text, MsgButtons::Ok, MsgIcon::Information);
}

double dosDecimales(double value) {
    return corvelix::toNumber(corvelix::formatNumber(value, QStringLiteral("00.00")));
}

QLineEdit* caja(QWidget& page, const char* name, int x, int y) {
    auto* box = new QLineEdit(&page);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(x, y, 110, 22);
    return box;
}

void etiqueta(QWidget& page, const QString& text, int x, int y, int width = 110) {
    auto* label = new QLabel(text, &page);
    // Never narrower than the caption in the page's font.
    label->setGeometry(x, y, std::max(width, label->sizeHint().width()), 22);
}

QPushButton* boton(QWidget& page, const char* name, const QString& caption, int x, int y) {
    QPushButton* button = corvelix::plainButton(&page, name, caption);
    button->setGeometry(x, y, 110, 24);
    return button;
}

} // namespace

struct ProrrateosTab::Opcion {
    const char* procedimiento;
    const char* codigo;
    const char* nadaElegido;
    const char* pregunta;
    QComboBox* combo;
    QString (*valor)(int);
};

ProrrateosTab::ProrrateosTab(QWidget& form, QWidget& page, const QString& operacion)
    : QObject(&page), form_(form), operacion_(operacion) {
    // Our controls in one block of the page, stacked with whatever else the page holds.
    auto* bloque = new QWidget(&page);
    bloque->setObjectName(QStringLiteral("prorrateosMontos"));
    bloque->setMinimumSize(820, 230);
    if (page.layout() == nullptr)
        new QVBoxLayout(&page);
    page.layout()->addWidget(bloque);
    QWidget& area = *bloque;

    etiqueta(area, QStringLiteral("Seguro"), 10, 10);
    txtSeguroTotal = caja(area, "txtSeguroTotal", 130, 10);
    etiqueta(area, QStringLiteral("Flete"), 10, 40);
    txtFleteTotal = caja(area, "txtFleteTotal", 130, 40);
    etiqueta(area, QStringLiteral("Ajuste a Incluir"), 10, 70);
    txtAjusteIncTotal = caja(area, "txtAjusteIncTotal", 130, 70);
    etiqueta(area, QStringLiteral("Ajuste a Deducir"), 10, 100);
    txtAjusteDedTotal = caja(area, "txtAjusteDedTotal", 130, 100);
    etiqueta(area, QStringLiteral("KG Neto Total"), 10, 130);
    txtKgNetoTotal = caja(area, "txtKgNetoTotal", 130, 130);
    etiqueta(area, QStringLiteral("Ajuste a FOB"), 10, 170);
    txtAjusteFOB = caja(area, "txtAjusteFOB", 130, 170);
    etiqueta(area, QStringLiteral("Acepta % (beta) ej: %4"), 130, 194, 200);

    QLineEdit* const cajas[] = {txtSeguroTotal, txtFleteTotal, txtAjusteIncTotal,
                                txtAjusteDedTotal};
    for (int i = 0; i < 4; ++i) {
        const FilaMonto& f = kFilas[i];
        QPushButton* button =
            boton(area, f.boton, QStringLiteral("Prorratear"), 250, cajas[i]->y() - 1);
        const int campo = f.campo;
        connect(button, &QPushButton::clicked, this, [this, campo, handler = f.handler] {
            corvelix::runHandler(form_, QLatin1String(handler),
                                 [this, campo] { prorratearMonto(campo); });
        });
    }
    connect(boton(area, "cmdProrrKGNETO", QStringLiteral("Prorratear"), 250, 129),
            &QPushButton::clicked, this, [this] {
                corvelix::runHandler(form_, QStringLiteral("cmdProrrKGNETO_Click"),
                                     [this] { cmdProrrKGNETO_Click(); },
                                     {MsgIcon::Exclamation, {}, {}});
            });
    connect(boton(area, "cmdAjusteAFOB", QStringLiteral("Recalcular FOB"), 250, 169),
            &QPushButton::clicked, this, [this] {
                corvelix::runHandler(form_, QStringLiteral("cmdAjusteAFOB_Click"),
                                     [this] { AjusteAFOB(); });
            });

    etiqueta(area, QStringLiteral("Opciones IVA"), 400, 10);
    cboOpcionesIVA = new QComboBox(&area);
    cboOpcionesIVA->setObjectName(QStringLiteral("cboOpcionesIVA"));
    cboOpcionesIVA->setGeometry(400, 34, 280, 24);
    etiqueta(area, QStringLiteral("Opciones Ganancias"), 400, 70);
    cboOpcionesGanancias = new QComboBox(&area);
    cboOpcionesGanancias->setObjectName(QStringLiteral("cboOpcionesGanancias"));
    cboOpcionesGanancias->setGeometry(400, 94, 280, 24);
    llenarOpciones(*cboOpcionesIVA, *cboOpcionesGanancias);
    connect(boton(area, "cmdOpcionesIVA", QStringLiteral("Contestar"), 690, 33),
            &QPushButton::clicked, this, [this] {
                corvelix::runHandler(form_, QStringLiteral("cmdOpcionesIVA_Click"), [this] {
                    contestarOpecionesIVA(operacion_, cboOpcionesIVA->currentIndex());
                });
            });
    connect(boton(area, "cmdOpcionesGanancias", QStringLiteral("Contestar"), 690, 93),
            &QPushButton::clicked, this, [this] {
                corvelix::runHandler(form_, QStringLiteral("cmdOpcionesGanancias_Click"), [this] {
                    contestarOpecionesGANANCIAS(operacion_, cboOpcionesGanancias->currentIndex());
                });
            });
}

void ProrrateosTab::llenarOpciones(QComboBox& iva, QComboBox& ganancias) {
    iva.clear();
    iva.addItems({QStringLiteral("Ninguno"), QStringLiteral("Uso o Consumo Particular"),
                  QStringLiteral("Importación definitiva de cosas muebles")});
    ganancias.clear();
    ganancias.addItems({QStringLiteral("Ninguno"), QStringLiteral("Comercial"),
                        QStringLiteral("Bien de Uso"), QStringLiteral("Uso Particular")});
    // Both open with nothing chosen, so that an answer is always the user's own choice.
    iva.setCurrentIndex(-1);
    ganancias.setCurrentIndex(-1);
}

bool ProrrateosTab::leerMonto(const QString& text, double& value) {
    // The number rule every box reads by.
    if (!corvelix::isNumeric(text))
        return false;
    value = corvelix::toNumber(text);
    // Beyond what the catalog holds with two decimals the amount is refused as not numeric.
    return corvelix::fitsCatalog(value, 2);
}

void ProrrateosTab::prorratearMonto(int campo) {
    const FilaMonto& f = fila(campo);
    QLineEdit* const cajas[] = {txtSeguroTotal, txtFleteTotal, txtAjusteIncTotal,
                                txtAjusteDedTotal};
    QLineEdit* box = cajas[campo - 1];
    ui().setBusy(true);
    double valor = 0;
    if (!leerMonto(box->text(), valor)) {
        warn(QString::fromUtf8(f.noNumerico));
        ui().setBusy(false);
        return;
    }
    if (!(valor > 0)) {
        warn(QString::fromUtf8(f.noPositivo));
        ui().setBusy(false);
        return;
    }
    // The amount spread is the one left in the box: two decimals.
    box->setText(corvelix::formatNumber(valor, QStringLiteral("00.00")));
    const double monto = corvelix::toNumber(box->text());
    {
        modDA::Transaction transaction;
        modDA::prorratear_DatosCaratula(operacion_, campo, monto);
        if (f.recalculaCaratula)
            modDA::recalcularCaratula(operacion_);
        modDA::Invalidar_ITEM(operacion_, QStringLiteral("0000"), true);
        transaction.commit();
    }
    inform(QStringLiteral("El proceso termino correctamente."));
    ui().setBusy(false);
}

void ProrrateosTab::cmdProrrKGNETO_Click() {
    ui().setBusy(true);
    double kilos = 0;
    if (!leerMonto(txtKgNetoTotal->text(), kilos)) {
        warn(QStringLiteral("Debe ingresa un valor numerico"));
        ui().setBusy(false);
        return;
    }
    {
        // A refusal leaves it untouched and reaches the handler's guard, which shows it.
        modDA::Transaction transaction;
        modDA::ProrratearKilos(operacion_, kilos);
        modDA::Invalidar_ITEM(operacion_, QStringLiteral("0000"), true);
        transaction.commit();
    }
    inform(QStringLiteral("Termino el proceso de prorrateo"));
    ui().setBusy(false);
}

void ProrrateosTab::AjusteAFOB() {
    try {
        const QString texto = txtAjusteFOB->text();
        double total = 0;
        double monto = 0;
        if (texto.startsWith(QLatin1Char('%'))) {
            QString resto = texto;
            resto.remove(QLatin1Char('%'));
            double p = 0;
            if (!leerMonto(resto, p))
                throw corvelix::VbError(13, QStringLiteral("Corvelix"),
                                        QStringLiteral("No coinciden los tipos"));
            if (p == 4)
                p = 3.99;
            p = dosDecimales(p);
            total = modDA::getFOBTotalItems(operacion_);
            monto = dosDecimales(total * p / 100);
        } else {
            double valor = 0;
            if (!leerMonto(texto, valor)) {
                warn(QStringLiteral("Debe ingresar un valor numerico en el campo Ajuste a FOB"));
                ui().setBusy(false);
                return;
            }
            txtAjusteFOB->setText(corvelix::formatNumber(valor, QStringLiteral("00.00")));
            monto = corvelix::toNumber(txtAjusteFOB->text());
            total = modDA::getFOBTotalItems(operacion_);
        }
        const double fobFinal = total + monto;
        if (!(fobFinal > 0)) {
            warn(QStringLiteral("El valor a ajustar es invalido, ya que da como resultado un FOB "
                                "Negavito: ") +
                 corvelix::generalNumber(fobFinal));
            ui().setBusy(false);
            return;
        }
        if (ui().msgBox(QStringLiteral("El FOB final sera de ") +
                            corvelix::formatNumber(fobFinal, QStringLiteral("00.00")) +
                            QStringLiteral(" confirma iniciar el proceso?"),
                        MsgButtons::YesNo, MsgIcon::Question, {},
                        corvelix::MsgDefault::Second) == MsgResult::Yes) {
            ui().setBusy(true);
            {
                modDA::Transaction transaction;
                modDA::prorratear_DatosCaratula(operacion_, modDA::kCampoFob, fobFinal);
                modDA::RecalcularUnitariosItems(operacion_);
                modDA::prorratearSubItems(operacion_);
                modDA::Invalidar_ITEM(operacion_, QString(), true);
                modDA::recalcularCaratula(operacion_);
                transaction.commit();
            }
            inform(QStringLiteral("Proceso de ajuste a fob terminado"));
            txtAjusteFOB->clear();
        }
        ui().setBusy(false);
    } catch (const corvelix::VbError& e) {
        ui().msgBox(e.description, MsgButtons::Ok, MsgIcon::Critical,
                    QStringLiteral("Error al procesar Ajustes a FOB "));
        ui().setBusy(false);
    }
}

QString ProrrateosTab::GetCodigoIVAByIndex(int posicion) {
    switch (posicion) {
    case 0:
        return QStringLiteral("NO_VALIDA");
    case 1:
        return QStringLiteral("IVAAD1");
    case 2:
        return QStringLiteral("IVAAD2");
    default:
        return {};
    }
}

QString ProrrateosTab::GetCodigoGananciasByIndex(int posicion) {
    switch (posicion) {
    case 0:
        return QStringLiteral("NO_VALIDA");
    case 1:
        return QStringLiteral("COMERC");
    case 2:
        return QStringLiteral("BDEUSO");
    case 3:
        return QStringLiteral("USOPAR");
    default:
        return {};
    }
}

void ProrrateosTab::contestarOpecionesIVA(const QString& despacho, int posicion) {
    contestar({"contestarOpecionesIVA", "IVAADICIONAL1", "Debe seleccionar una Opcion IVA",
               "Confirma establecer Opcion IVA en ", cboOpcionesIVA, &GetCodigoIVAByIndex},
              despacho, posicion);
}

void ProrrateosTab::contestarOpecionesGANANCIAS(const QString& despacho, int posicion) {
    contestar({"contestarOpecionesGANANCIAS", "GANANCIASOP3",
               "Debe seleccionar una Opcion Ganancias", "Confirma establecer Opcion Ganancias en ",
               cboOpcionesGanancias, &GetCodigoGananciasByIndex},
              despacho, posicion);
}

void ProrrateosTab::contestar(const Opcion& opcion, const QString& despacho, int posicion) {
    ui().setBusy(true);
    if (posicion == -1) {
        warn(QLatin1String(opcion.nadaElegido));
        ui().setBusy(false);
        return;
    }
    const QString valor = opcion.valor(posicion);
    if (valor.isEmpty()) {
        warn(QStringLiteral("Opcion seleccionada inválida"));
        ui().setBusy(false);
        return;
    }
    if (ui().msgBox(QLatin1String(opcion.pregunta) + opcion.combo->currentText(), MsgButtons::YesNo,
                    MsgIcon::Question) != MsgResult::Yes) {
        ui().setBusy(false);
        return;
    }
    int line = 50;
    corvelix::chainedNumbered(
        QStringLiteral("Corvelix.frmItemDetalle.") + QLatin1String(opcion.procedimiento), line,
        [&] { modDA::contestarOpcionItems(despacho, QLatin1String(opcion.codigo), valor); });
    inform(QStringLiteral("Respuesta enviada correstamente"));
    ui().setBusy(false);
}

void instalarProrrateos(frmItemDetalle& form) {
    new ProrrateosTab(form, *form.tabProrrateos(), form.m_Operacion);
}
