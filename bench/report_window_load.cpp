// Times the report window on a large run: the double-cross report of a complete diallel of n
// lines (11.8 million lines for n = 100) written into the window, shown, scrolled to its end,
// cleaned up and saved; prints wall times and the peak memory of the process.
//
//   QT_QPA_PLATFORM=offscreen report_window_load [n] [--missing K] [--core] [--dir FOLDER]
//
// --missing K leaves out every K-th single cross, so that the clean-up has FALSO lines to drop;
// --core first times the prediction alone, its lines thrown away; the report is saved in FOLDER.
#include "UntRelatorio.h"
#include "dialogs.h"
#include "report_editor.h"

#include "cell_grid.h"
#include "prediction.h"
#include "progress.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

namespace {

class ScriptedDialogs : public koravel::UserDialogs
{
public:
    QString saveName;
    QStringList messages;

    std::optional<koravel::FileDialogAnswer> openFile(
        QWidget *, const koravel::FileDialogRequest &) override
    {
        return std::nullopt;
    }
    std::optional<koravel::FileDialogAnswer> saveFile(
        QWidget *, const koravel::FileDialogRequest &request) override
    {
        return koravel::FileDialogAnswer { saveName, request.selectedFilter };
    }
    void information(QWidget *, const QString &text) override { messages.append(text); }
    void error(QWidget *, const QString &text) override
    {
        messages.append(QStringLiteral("ERRO: ") + text);
    }
};

class QuietMessages : public koravel::MessageSink
{
public:
    void information(const std::string &message) override
    {
        std::printf("mensagem: %s\n", message.c_str());
    }
};

class DiscardingSink : public koravel::ReportSink
{
public:
    void clear() override { }
    void appendLine(std::string_view) override { }
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Every ordered pair i x j of lines 1 to n, i != j, one row each, values from 5.00 to 8.99.
void fillDiallel(koravel::CellGrid &grid, int lines, int missingEvery)
{
    int row = 0;
    grid.reserveRows(lines * lines + 1);
    for (int a = 1; a <= lines; ++a) {
        for (int b = 1; b <= lines; ++b) {
            if (a == b)
                continue;
            const int pair = (a - 1) * lines + b;
            if (missingEvery > 0 && pair % missingEvery == 0)
                continue;
            ++row;
            char value[32];
            std::snprintf(
                value, sizeof value, "%d.%02d", 5 + (a * 37 + b * 11) % 4, (a * 13 + b * 7) % 100);
            grid.setCell(0, row, "HS " + std::to_string(row));
            grid.setCell(1, row, std::to_string(a));
            grid.setCell(2, row, std::to_string(b));
            grid.setCell(3, row, value);
        }
    }
    grid.setRowCount(row + 1);
}

// Wall time and processor time (user and system) since the last call, and the peak memory.
class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = cpuSeconds();
    }
    void report(const char *step)
    {
        std::printf("%-40s %7.2f s  (processador %6.2f s)  pico de memória %6.0f MB\n", step,
            static_cast<double>(m_wall.elapsed()) / 1000.0, cpuSeconds() - m_cpu, peakMegabytes());
        std::fflush(stdout);
        restart();
    }

private:
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// Shows the first page, then the last one, painting each.
void showAndScroll(ReportEditor &editor)
{
    QApplication::processEvents();
    editor.setFirstVisibleLine(0);
    editor.grab();
    editor.setFirstVisibleLine(std::max(0, editor.lines() - 10));
    editor.grab();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int lines = 100;
    int missingEvery = 0;
    bool coreAlone = false;
    QString folder = QDir::tempPath();
    for (int at = 1; at < argc; ++at) {
        const std::string argument = argv[at];
        if (argument == "--missing" && at + 1 < argc)
            missingEvery = std::atoi(argv[++at]);
        else if (argument == "--core")
            coreAlone = true;
        else if (argument == "--dir" && at + 1 < argc)
            folder = QString::fromLocal8Bit(argv[++at]);
        else
            lines = std::atoi(argv[at]);
    }

    koravel::CellGrid grid;
    fillDiallel(grid, lines, missingEvery);
    std::printf("dialelo de %d linhagens: %d híbridos simples\n", lines, grid.rowCount() - 1);

    ScriptedDialogs dialogs;
    TForm2 form(dialogs);
    koravel::ProgressBar progress;
    QuietMessages messages;
    const std::string linesText = std::to_string(lines);
    const koravel::PredictionInput input { grid, linesText, koravel::Reciprocals::Distinct, {} };

    Stopwatch timer;
    if (coreAlone) {
        DiscardingSink discard;
        koravel::predictDoubleCrosses(input, discard, progress, messages);
        timer.report("predição sem janela (só o núcleo)");
    }
    Stopwatch total;
    koravel::predictDoubleCrosses(input, form.reportSink(), progress, messages);
    timer.report("predição (linhas para o Memo1)");
    form.publishReport();
    timer.report("publicação no Memo1");
    showAndScroll(*form.Memo1);
    timer.report("janela mostrada, rolada até o fim");
    total.report("total: predição até relatório rolável");
    std::printf("linhas no Memo1: %d (com a linha vazia final), %zu bytes\n", form.Memo1->lines(),
        form.Memo1->bytes().size());

    timer.restart();
    form.LIMPAR1Click();
    showAndScroll(*form.Memo1);
    timer.report(".:: LIMPAR ::.");
    std::printf("linhas no Memo1: %d\n", form.Memo1->lines());

    dialogs.saveName = QDir(folder).filePath(QStringLiteral("koravel_relatorio_grande.txt"));
    timer.restart();
    form.Salvar1Click();
    timer.report(".:: Salvar ::.");
    std::printf("arquivo: %lld bytes; mensagem: %s\n",
        static_cast<long long>(QFileInfo(dialogs.saveName).size()),
        qPrintable(dialogs.messages.value(0)));
    QFile::remove(dialogs.saveName);
    return 0;
}
