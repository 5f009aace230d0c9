#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;

// Asks for another connection profile when the catalog cannot be opened. The chosen word is
// stored as the profile and handed back in sRespuesta (empty when cancelled).
class frmPerfil : public QDialog {
    Q_OBJECT

public:
    explicit frmPerfil(QWidget* parent = nullptr);

    QString sRespuesta;

    // Stored words in the order of the list.
    static const QStringList& profileWords();
    // Shows the dialog and answers the chosen word (stored already), empty when cancelled:
    // what the data layer asks for when the catalog cannot be opened (set at start).
    static QString preguntar();

    QLabel* Label1 = nullptr;
    QComboBox* cboPerfil = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;

    void cmdAceptar_Click();
    void cmdCancelar_Click();

private:
    void preseleccionar();
};
