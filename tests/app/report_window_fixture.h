// A report window fed as a prediction feeds it, and the tables of the ranking window as text,
// for the tests of ranking and export.
#pragma once

#include "UntRelatorio.h"
#include "fake_dialogs.h"
#include "report_editor.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTableView>

namespace koravel::test {

inline const QByteArray kRule(128, '-');

// A report as a prediction writes it: the header block, the candidate lines, the closing rule,
// every line followed by CR LF.
inline QByteArray reportText(const QList<QByteArray> &candidates, bool doubleCross = true)
{
    const QList<QByteArray> header { kRule,
        doubleCross ? QByteArray("APLICATIVO Koravel  -  PREDI\xC7\xC3O DE H\xCD"
                                 "BRIDOS DUPLOS")
                    : QByteArray("APLICATIVO Koravel   -   PREDI\xC7\xC3O DE H\xCD"
                                 "BRIDOS TRIPLOS"),
        "Desenvolvido por Vescarin - 16/10/2008", kRule, "",
        doubleCross ? "HD(ij)(kl)    \tMedia\tCV%\tHS(ik)\tHS(il)\tHS(jk)\tHS(jl)"
                    : "HT(ij)k    \t\tMedia\tCV%\tHS(ik)\tHS(jk)",
        "" };
    QByteArray text;
    for (const QByteArray &line : header + candidates + QList<QByteArray> { kRule })
        text += line + "\r\n";
    return text;
}

struct ReportWindow
{
    FakeDialogs dialogs;
    TForm2 form { dialogs };

    QByteArray shown() const
    {
        const std::string_view bytes = form.Memo1->bytes();
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    // What a run does: the settings, clear, the lines, a request to show, then publish.
    void predict(const QByteArray &text, FormatSettings settings = {})
    {
        form.setReportSettings(settings);
        ReportSink &sink = form.reportSink();
        sink.clear();
        for (const QByteArray &line : text.split('\n'))
            if (!line.isEmpty())
                sink.appendLine(std::string_view(line.constData(), line.size() - 1)); // no CR
        sink.show();
        form.publishReport();
    }
};

// The table as the user reads it: the headings, then one row per line, cells joined by "|".
inline QStringList tableText(const QTableView *table)
{
    const QAbstractItemModel *model = table->model();
    QStringList rows, cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells << model->headerData(column, Qt::Horizontal).toString();
    rows << cells.join('|');
    for (int row = 0; row < model->rowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join('|');
    }
    return rows;
}

} // namespace koravel::test
