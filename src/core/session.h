// What a run of the program holds: the single-cross table, the number-of-lines field, the
// reciprocal option, the decimal choice, the report the last prediction wrote and the names of
// the lines. The windows
// are views of one session; the command line makes its own.
#pragma once

#include <optional>
#include <string>

#include "analysis/line_names.h"
#include "numtext/locale_settings.h"
#include "numtext/numtext.h"
#include "prediction/lines_field.h"
#include "prediction/lookup.h"
#include "prediction/prediction.h"
#include "report/report_line.h"
#include "table/cell_grid.h"

namespace koravel {

class ProgressBar;

// The decimal separator of the data for the rest of the run: the one of the system's regional
// settings (following its changes), or a fixed point or comma.
enum class DecimalChoice { Regional, Point, Comma };

// The report a prediction last wrote: its kind and the settings its numbers were written with,
// which the ranking and the export read it back with; the data file, the number-of-lines field
// and the reciprocal option it was predicted from, which a printout names.
struct ReportOrigin
{
    HybridKind kind;
    FormatSettings settings;
    std::string dataFile;
    std::string lines;
    Reciprocals reciprocals = Reciprocals::Distinct;
};

// A new session: the table's headings "Pai A", "Pai B", "PRODUÇÃO", the field "0", reciprocals
// distinct ("Sim"), the regional separator, no report.
//   Session(',').formatSettings()                         -> {','}
//   setDecimalChoice(Point); setRegionalSeparator(',')    -> formatSettings() {'.'}
//   setDecimalChoice(Regional)                            -> formatSettings() the regional one
//   predict(DoubleCross, ...) that clears the report      -> lastReport() {DoubleCross, settings}
//   predict(...) refused before it clears (field "x")     -> lastReport() as it was
class Session
{
public:
    // The regional separator as the caller reads the system's settings; by default the C
    // library's locale (systemDecimalSeparator).
    explicit Session(char regionalSeparator = systemDecimalSeparator());

    CellGrid &grid() { return m_grid; }
    const CellGrid &grid() const { return m_grid; }

    const LinesField &lines() const { return m_lines; }
    void setLines(LinesField lines) { m_lines = std::move(lines); }

    Reciprocals reciprocals() const { return m_reciprocals; }
    void setReciprocals(Reciprocals reciprocals) { m_reciprocals = reciprocals; }

    DecimalChoice decimalChoice() const { return m_choice; }
    void setDecimalChoice(DecimalChoice choice) { m_choice = choice; }
    // The separator of the system's regional settings, set anew whenever they change.
    char regionalSeparator() const { return m_regionalSeparator; }
    void setRegionalSeparator(char separator) { m_regionalSeparator = separator; }
    // The settings every conversion of the run uses now.
    FormatSettings formatSettings() const;

    // The name of the data file the last completed import read (as the file system spells it),
    // or empty; edits of the table since do not change it.
    const std::string &dataFile() const { return m_dataFile; }
    void setDataFile(std::string name) { m_dataFile = std::move(name); }

    // The table, the field, the option and the settings as they stand.
    PredictionInput predictionInput() const;

    // Runs the prediction of the kind into report. The moment the run clears the report, the
    // report becomes this run's: lastReport() then gives its kind and settings, even when the
    // run stops at an error later. Errors propagate.
    void predict(HybridKind kind, ReportSink &report, ProgressBar &progress, MessageSink &messages);
    // Unset until a prediction clears the report.
    const std::optional<ReportOrigin> &lastReport() const { return m_lastReport; }

    // The names of the lines and the file they came from ("" while none is loaded). A names
    // file describes the inbreds, not one table: the names stay through later imports, as the
    // number-of-lines field does, until another names file replaces them.
    const LineNames &lineNames() const { return m_lineNames; }
    const std::string &lineNamesFile() const { return m_lineNamesFile; }
    void setLineNames(LineNames names, std::string file)
    {
        m_lineNames = std::move(names);
        m_lineNamesFile = std::move(file);
    }

private:
    CellGrid m_grid;
    LinesField m_lines { "0" };
    Reciprocals m_reciprocals = Reciprocals::Distinct;
    DecimalChoice m_choice = DecimalChoice::Regional;
    char m_regionalSeparator;
    std::optional<ReportOrigin> m_lastReport;
    std::string m_dataFile;
    LineNames m_lineNames;
    std::string m_lineNamesFile;
};

} // namespace koravel
