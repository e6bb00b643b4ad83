// The options window: the decimal separator of the data for the rest of the run.
#pragma once

#include <QDialog>

#include "session.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Shown modally from the main menu; the caller applies choice() when the user presses OK.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget *parent = nullptr);

    // Selects the item of the choice and names the system's own separator in Label1.
    void setChoice(koravel::DecimalChoice choice, char regionalSeparator);
    koravel::DecimalChoice choice() const;

    QGroupBox *RadioGroup1;
    QRadioButton *RadioButton1; // "Configuração regional"
    QRadioButton *RadioButton2; // "Ponto"
    QRadioButton *RadioButton3; // "Vírgula"
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *BitBtn1; // "OK"
    QPushButton *BitBtn2; // "Cancelar"
};
