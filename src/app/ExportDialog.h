// The export dialog: a spreadsheet's format and, for CSV, its field separator and decimal mark.
#pragma once

#include <QDialog>

#include "dialogs.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Opened by the export commands of the report and ranking windows through UserDialogs; a
// separator equal to the decimal mark cannot be confirmed.
class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ExportDialog(QWidget *parent = nullptr);

    void setChoice(const koravel::SpreadsheetChoice &choice);
    koravel::SpreadsheetChoice choice() const;

    QGroupBox *RadioGroup1;
    QRadioButton *RadioButton1; // CSV
    QRadioButton *RadioButton2; // XLSX
    QGroupBox *GroupBox1;
    QComboBox *ComboBox1; // separator
    QComboBox *ComboBox2; // decimal mark
    QLabel *Label3;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

private:
    void updateControls();
};
