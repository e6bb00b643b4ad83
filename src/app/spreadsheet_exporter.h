// The export commands of the report and ranking windows: the export dialog, the save dialog,
// the file and the closing message.
#pragma once

#include <QString>

#include <optional>

#include "dialogs.h"
#include "numtext/numtext.h"

class QWidget;

namespace koravel {

class ReportDocument;
struct RankingResult;

inline constexpr const char *kSpreadsheetSavedMessage = "Planilha salva com sucesso em ";
inline constexpr const char *kSpreadsheetNotSavedMessage = "A planilha n\xE3o foi gravada !!!";

// Remembers, within the run, the last choice of the export dialog and the last file name of
// each kind of export, and proposes them the next time. A cancelled dialog writes nothing and
// says so; an error of the file propagates (the window's handler shows it) and no success
// message is shown.
class SpreadsheetExporter
{
public:
    explicit SpreadsheetExporter(UserDialogs &dialogs);

    // The candidate lines of the report: a CSV file, or a workbook with the sheet "Candidatos".
    void exportReport(
        QWidget *parent, const ReportDocument &document, const FormatSettings &reportSettings);
    // The ranking: a CSV file of the ranking and the line frequencies, or a workbook with the
    // report's candidates and the ranking on two sheets.
    void exportRanking(QWidget *parent, const ReportDocument &document,
        const FormatSettings &reportSettings, const RankingResult &ranking);

    // The save dialog's file types: the one of the chosen format.
    static QString filter(SpreadsheetFormat format);

private:
    enum Kind { Report, Ranking };
    struct Target
    {
        SpreadsheetChoice choice;
        QString fileName;
    };

    std::optional<Target> chooseTarget(QWidget *parent, Kind kind, const ReportDocument &document);

    UserDialogs &m_dialogs;
    SpreadsheetChoice m_lastChoice;
    QString m_lastNames[2][2]; // by kind, then by format
};

} // namespace koravel
