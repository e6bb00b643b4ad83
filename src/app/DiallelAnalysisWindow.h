// The diallel analysis window: general and specific combining ability of the session's single
// crosses, their analysis of variance with the trial's error, the estimates of missing crosses,
// a bar chart of the GCA, exportable as CSV, XLSX and PNG.
#pragma once

#include <QMainWindow>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "analysis/diallel_analysis.h"
#include "analysis/diallel_tables.h"
#include "analysis/line_names.h"
#include "dialogs.h"
#include "ui_DiallelAnalysisWindow.h"

namespace koravel {
class DiallelTableModel;
class Session;
} // namespace koravel

// Keeps the table it read when it was shown, so that a change of the error fields or of the
// names analyses the same crosses again; a new look at the session's table is a new
// showAnalysis.
class DiallelAnalysisWindow : public QMainWindow, public Ui::DiallelAnalysisWindow
{
    Q_OBJECT
public:
    explicit DiallelAnalysisWindow(koravel::UserDialogs &dialogs, QWidget *parent = nullptr);
    ~DiallelAnalysisWindow() override;

    // Reads the session's table as a prediction would now (the number-of-lines field, the
    // decimal choice; pairs as with reciprocals "Não"), analyses it with the error fields and
    // the session's names, and shows the window. Raises the Error of the field, of a cell, or
    // of too few or too many lines; the window then stays as it was.
    void showAnalysis(const koravel::Session &session);
    // The names of the lines beside their numbers, from now on.
    void setLineNames(const koravel::LineNames &names, const std::string &file);

    const koravel::DiallelAnalysis &analysis() const { return m_analysis; }
    // The error fields as typed: none until QMR, its degrees of freedom and r are all given.
    // Raises an Error for a QMR that is not a number.
    std::optional<koravel::ErrorTerm> errorTerm() const;

public slots:
    void Edit1Change();
    void Exportar1Click();
    void Exportar2Click();
    void Sair1Click();

private:
    void showResult();
    void fitTables();

    koravel::UserDialogs &m_dialogs;
    koravel::DiallelTableModel *m_models[4];
    koravel::CrossTable m_table;
    koravel::DiallelAnalysis m_analysis;
    koravel::LineNames m_names;
    std::string m_namesFile;
    char m_decimalMark = '.';
    std::vector<koravel::DiallelTable> m_tables;
    koravel::SpreadsheetChoice m_lastChoice;
    QString m_lastNames[3]; // CSV, XLSX, PNG
};
