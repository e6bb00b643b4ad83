// The export dialog: a spreadsheet's format and, for CSV, its field separator and decimal mark.
#pragma once

#include <QDialog>

#include "dialogs.h"
#include "ui_ExportDialog.h"

// Opened by the export commands of the report and ranking windows through UserDialogs; a
// separator equal to the decimal mark cannot be confirmed.
class ExportDialog : public QDialog, public Ui::ExportDialog
{
    Q_OBJECT
public:
    explicit ExportDialog(QWidget *parent = nullptr);

    void setChoice(const koravel::SpreadsheetChoice &choice);
    koravel::SpreadsheetChoice choice() const;

private:
    void updateControls();
};
