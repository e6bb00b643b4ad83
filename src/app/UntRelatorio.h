// The report window: the report's text in Memo1, with the commands to save it, hide the window,
// drop the "FALSO" lines, rank the predicted hybrids, export the report as a spreadsheet and
// print it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

#include "numtext/numtext.h"
#include "report/report_line.h"
#include "ui_UntRelatorio.h"

class EditorReportSink;
class RankingWindow;

namespace koravel {
class ReportDocument;
class Session;
class SpreadsheetExporter;
class UserDialogs;
} // namespace koravel

// A view of the session's last report: ranking and export read it with the settings it was
// written with.
class TForm2 : public QMainWindow, public Ui::TForm2
{
    Q_OBJECT
public:
    TForm2(
        const koravel::Session &session, koravel::UserDialogs &dialogs, QWidget *parent = nullptr);
    ~TForm2() override;

    // The sink a prediction writes into. Lines are gathered aside while the prediction runs (no
    // widget work per line); show() only records that the window must show.
    koravel::ReportSink &reportSink();
    // The size of the report the next prediction writes, so that Memo1 makes room for it once.
    void expectReport(koravel::HybridKind kind, const koravel::LinesField &lines);
    // Puts the gathered lines into Memo1 and, when the prediction asked to show, shows the
    // window and brings it to the front. Called after every prediction, also after an error, so
    // a partial report is shown as it stands. Never throws: a failure is shown as an error.
    void publishReport();
    // The text as it stands in Memo1.
    QString reportText() const;
    // The save dialog's file types, in the order offered.
    static const QStringList &saveFilters();

    RankingWindow *Ranking;

public slots:
    void Salvar1Click();
    void Sair1Click();
    void LIMPAR1Click();
    void Ordenar1Click();
    void Exportar1Click();
    void Imprimir1Click();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    koravel::ReportDocument shownDocument() const;
    // The window's size when not maximised: the client area with the menu bar above it.
    QSize normalSize() const;
    // Back to that size, at the window's place, with the play that lets maximise work.
    void restoreNormalGeometry();

    const koravel::Session &m_session;
    koravel::UserDialogs &m_dialogs;
    std::unique_ptr<EditorReportSink> m_sink;
    std::unique_ptr<koravel::SpreadsheetExporter> m_exporter;
    QString m_lastSaveName;
    QString m_lastSaveFilter;
};
