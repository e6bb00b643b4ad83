// Times the report window on a large run, driven through the main window as a user would: a
// complete diallel of n lines is imported, "Predição de HD's" writes its report (11.8 million
// lines for n = 100) into the report window, which is shown and scrolled to its end; then the
// clean-up and the save. Prints wall and processor times and the peak memory of the process.
//
//   QT_QPA_PLATFORM=offscreen report_window_load [n] [--missing K] [--core] [--dir FOLDER]
//
// --missing K leaves out every K-th single cross, so that the clean-up has FALSO lines to drop;
// --core first times the prediction alone, its lines thrown away; FOLDER holds the data file
// and the saved report (removed at the end).
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "session.h"
#include "dialogs.h"
#include "koravel_application.h"
#include "report_editor.h"

#include "report/report_line.h"
#include "progress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class ScriptedDialogs : public koravel::UserDialogs
{
public:
    QString openName;
    QString saveName;
    QStringList messages;

    std::optional<koravel::FileDialogAnswer> openFile(
        QWidget *, const koravel::FileDialogRequest &request) override
    {
        return koravel::FileDialogAnswer { openName, request.selectedFilter };
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

class DiscardingSink : public koravel::ReportSink
{
public:
    void clear() override { }
    void appendLine(std::string_view) override { }
};

class QuietMessages : public koravel::MessageSink
{
public:
    void information(const std::string &) override { }
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

// Every ordered pair a x b of lines 1 to n, a != b, one line each, values from 5.00 to 8.99.
bool writeDiallel(const QString &path, int lines, int missingEvery)
{
    QByteArray text;
    for (int a = 1; a <= lines; ++a) {
        for (int b = 1; b <= lines; ++b) {
            const int pair = (a - 1) * lines + b;
            if (a == b || (missingEvery > 0 && pair % missingEvery == 0))
                continue;
            char line[64];
            std::snprintf(line, sizeof line, "%d %d %d.%02d\r\n", a, b, 5 + (a * 37 + b * 11) % 4,
                (a * 13 + b * 7) % 100);
            text += line;
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Paints the first page, then the last one.
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
    ScriptedDialogs dialogs;
    koravel::KoravelApplication application(argc, argv, dialogs);
    koravel::Session session('.'); // the example files write the point
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

    dialogs.openName = QDir(folder).filePath(QStringLiteral("koravel_dialelo.txt"));
    dialogs.saveName = QDir(folder).filePath(QStringLiteral("koravel_relatorio.txt"));
    if (!writeDiallel(dialogs.openName, lines, missingEvery)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(dialogs.openName));
        return 1;
    }

    TForm1 form1(session, dialogs);
    TForm2 form2(session, dialogs);
    TForm3 form3;
    form1.setOtherWindows(form2, form3);
    form1.show();

    Stopwatch timer;
    form1.Importardados1Click();
    std::printf(
        "dialelo de %d linhagens: %d híbridos simples\n", lines, session.grid().rowCount() - 1);
    timer.report("importação");
    form1.Edit1->setText(QString::number(lines));

    if (coreAlone) {
        koravel::ProgressBar progress;
        QuietMessages quiet;
        DiscardingSink discard;
        const std::string linesText = std::to_string(lines);
        koravel::predictDoubleCrosses(
            { session.grid(), linesText, koravel::Reciprocals::Distinct, {} }, discard, progress,
            quiet);
        timer.report("predição sem janela (só o núcleo)");
    }

    form1.BitBtn1->click();
    timer.report("Predição de HD's até o relatório no Memo1");
    showAndScroll(*form2.Memo1);
    timer.report("janela mostrada, rolada até o fim");
    std::printf("janela visível: %s; linhas no Memo1: %d (com a linha vazia final), %zu bytes\n",
        form2.isVisible() ? "sim" : "não", form2.Memo1->lines(), form2.Memo1->bytes().size());

    form2.LIMPAR1->trigger();
    showAndScroll(*form2.Memo1);
    timer.report(".:: LIMPAR ::.");
    std::printf("linhas no Memo1: %d\n", form2.Memo1->lines());

    form2.Salvar1->trigger();
    timer.report(".:: Salvar ::.");
    std::printf("arquivo: %lld bytes; mensagens: %s\n",
        static_cast<long long>(QFileInfo(dialogs.saveName).size()),
        qPrintable(dialogs.messages.join(QStringLiteral(" | "))));
    QFile::remove(dialogs.saveName);
    QFile::remove(dialogs.openName);
    return 0;
}
