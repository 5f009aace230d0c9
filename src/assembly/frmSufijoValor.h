#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace corvelix {
class FirstActivation;
}

// Asks for the value of one two-character suffix code. Enter accepts, Esc cancels. Read
// m_Resulado after the modal showing: the accepted value, "" when cancelled.
class frmSufijoValor : public QDialog {
    Q_OBJECT

public:
    explicit frmSufijoValor(QWidget* parent = nullptr);

    QString m_Sufijo;
    QString m_SufijoValor;
    QString m_Resulado;
    bool bInicio = false;

    void Form_Activate();
    void Guardar();
    void GuardarNumero();
    void GuardarString();
    // Trimmed, upper-cased, cut to 40 characters, every character outside the allowed set
    // turned into a blank; `p_Valor` is trimmed and upper-cased in place.
    static QString m_sVALSUF(QString& p_Valor);
    static QChar m_sVALCHAR(QChar p_Valor);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* lbSufijos;
    QLineEdit* txtValorSufijo;
    corvelix::FirstActivation* activacion_;
};
