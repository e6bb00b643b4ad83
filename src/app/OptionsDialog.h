// The options window: the decimal separator of the data for the rest of the run.
#pragma once

#include <QDialog>

#include "session.h"
#include "ui_OptionsDialog.h"

// Shown modally from the main menu; the caller applies choice() when the user presses OK.
class OptionsDialog : public QDialog, public Ui::OptionsDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget *parent = nullptr);

    // Selects the item of the choice and names the system's own separator in Label1.
    void setChoice(koravel::DecimalChoice choice, char regionalSeparator);
    koravel::DecimalChoice choice() const;
};
