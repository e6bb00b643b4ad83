// The ranking window: the best hybrids of the last prediction's report, K chosen by the user,
// with how often each line is a parent among them.
#pragma once

#include <QMainWindow>

#include <memory>
#include <optional>

#include "export/ranking.h"
#include "numtext/numtext.h"
#include "report/report_document.h"
#include "report_printer.h"
#include "ui_RankingWindow.h"

namespace koravel {
class LineFrequencyModel;
class LineNames;
class MissingCrossEstimates;
class Session;
struct ErrorTerm;
class RankingTableModel;
class SpreadsheetExporter;
class UserDialogs;
} // namespace koravel

// Shows a ranking the report window made and keeps a copy of the report it came from, so that
// a change of K or of the pairing option ranks the same text again and an export writes what
// is shown. Closing the window drops the copy.
class RankingWindow : public QMainWindow, public Ui::RankingWindow
{
    Q_OBJECT
public:
    static constexpr int kMaxTop = 1000;

    RankingWindow(koravel::SpreadsheetExporter &exporter, koravel::UserDialogs &dialogs,
        QWidget *parent = nullptr);
    ~RankingWindow() override;

    // K and the pairing option as the controls hold them.
    koravel::RankingOptions options() const;
    // ranking was made from document with options() and the settings of the prediction that
    // wrote it.
    void showRanking(koravel::ReportDocument document, koravel::FormatSettings settings,
        const koravel::RankingResult &ranking);
    const koravel::RankingResult &ranking() const { return m_ranking; }
    // The table and options the report was predicted from, for the estimates of its missing
    // crosses; without it the option is off.
    void setSession(const koravel::Session *session);
    // The names of the lines shown beside their numbers (a copy is kept); null shows numbers.
    void setLineNames(const koravel::LineNames *names);
    // What a printout's heading names: the report the ranking comes from.
    void setPrintHeading(const koravel::PrintHeading &heading) { m_heading = heading; }

public slots:
    void SpinEdit1Change();
    void CheckBox1Click();
    void CheckBox2Click();
    void Edit1Exit();
    void Exportar1Click();
    void Imprimir1Click();
    void Sair1Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void rankAgain();
    void addExtras();
    std::optional<koravel::ErrorTerm> errorTerm() const;
    void showResult();

    koravel::SpreadsheetExporter &m_exporter;
    koravel::UserDialogs &m_dialogs;
    koravel::RankingTableModel *m_rankingModel;
    koravel::LineFrequencyModel *m_frequencyModel;
    koravel::ReportDocument m_document;
    koravel::FormatSettings m_settings;
    koravel::RankingResult m_ranking;
    bool m_hasReport = false;
    koravel::PrintHeading m_heading;
    const koravel::Session *m_session = nullptr;
    std::shared_ptr<const koravel::LineNames> m_names;
    std::shared_ptr<const koravel::MissingCrossEstimates> m_estimates; // made when first asked
};
