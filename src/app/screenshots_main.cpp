// koravel-screenshots: plays a short session with the three windows and saves pictures of them.
//
//   koravel-screenshots FOLDER DATA_FILE [LINES]
//
// The data file is imported through scripted dialogs, the number of lines is stepped up to
// LINES (default 9) with "Não" chosen for reciprocals, both predictions run, the double
// crosses are ranked (ordenacao.png) and the export dialog shown (exportar.png), the report is
// shown maximised (relatorio_maximizado.png) and printed (relatorio_impresso.pdf), the options
// window is opened and left with Cancelar, the diallel matrix is shown without and then with
// reciprocals (and its PNG picture saved as the export writes it), a two-way table of single
// crosses is pasted into the main window's table (tabela_colada.png), and the about window is
// opened. The menu .:: Ferramentas ::. is pictured open (menu_ferramentas.png) and the help
// window as F1 opens it (ajuda.png). Each window is saved as a PNG of its client area with its
// menu bar, and the whole screen once while all three are open. Last, names of the lines are
// loaded and the diallel analysis is shown with the trial's error (analise_dialelica.png, and its
// chart as the export writes it). scripts/screenshots.sh runs it under Xvfb.
#include "DiallelAnalysisWindow.h"
#include "DiallelMatrixWindow.h"
#include "ExportDialog.h"
#include "HelpWindow.h"
#include "RankingWindow.h"
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "dialogs.h"
#include "gca_chart_view.h"
#include "heat_map_view.h"
#include "koravel_application.h"
#include "session.h"
#include "up_down.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinter>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <utility>

namespace {

class ScriptedDialogs : public koravel::UserDialogs
{
public:
    QString dataFile;
    QString nextOpen; // answered once, before the data file

    std::optional<koravel::FileDialogAnswer> openFile(
        QWidget *, const koravel::FileDialogRequest &request) override
    {
        const QString answer = nextOpen.isEmpty() ? dataFile : std::exchange(nextOpen, {});
        return koravel::FileDialogAnswer { answer, request.selectedFilter };
    }
    std::optional<koravel::FileDialogAnswer> saveFile(
        QWidget *, const koravel::FileDialogRequest &) override
    {
        return std::nullopt;
    }
    void information(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "mensagem: %s\n", qPrintable(text));
    }
    // The print dialog prints to this PDF file.
    QString printTo;
    bool print(QWidget *, QPrinter &printer, bool) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return !printTo.isEmpty();
    }
    void error(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "erro: %s\n", qPrintable(text));
        failed = true;
    }
    bool failed = false;
};

// Lets the windows lay out and paint.
void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(const QPixmap &picture, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    const bool saved = picture.save(path, "PNG");
    std::printf("%s %s\n", saved ? "gravado" : "FALHOU", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    ScriptedDialogs dialogs;
    koravel::KoravelApplication application(argc, argv, dialogs);
    if (argc < 3) {
        std::fprintf(stderr, "uso: koravel-screenshots PASTA ARQUIVO_DE_DADOS [LINHAGENS]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    dialogs.dataFile = QString::fromLocal8Bit(argv[2]);
    const int lines = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : 9;
    // The example files write the point as decimal separator.
    koravel::Session session('.');
    application.follow(session);

    TForm1 form1(session, dialogs);
    TForm2 form2(session, dialogs);
    TForm3 form3;
    form1.setOtherWindows(form2, form3);
    form1.show();
    pause(300);

    form1.Importardados1->trigger();
    for (QRadioButton *choice : form1.RadioGroup1->findChildren<QRadioButton *>()) {
        if (choice->text() == QStringLiteral("Não"))
            choice->click();
    }
    for (int step = 0; step < 110 && form1.Edit1->text() != QString::number(lines); ++step)
        form1.UpDown1->upButton()->click();
    pause(200);

    bool saved = true;
    form1.BitBtn2->click();
    pause(300);
    saved = save(form2.grab(), folder, QStringLiteral("relatorio_ht.png")) && saved;
    form1.BitBtn1->click();
    pause(300);
    saved = save(form2.grab(), folder, QStringLiteral("relatorio_hd.png")) && saved;
    saved = save(form1.grab(), folder, QStringLiteral("janela_principal.png")) && saved;

    // The report maximised, then restored and printed to a PDF file, whose first page
    // scripts/screenshots.sh turns into a picture.
    form2.showMaximized();
    pause(400);
    saved = save(form2.grab(), folder, QStringLiteral("relatorio_maximizado.png")) && saved;
    form2.showNormal();
    pause(300);
    dialogs.printTo = folder.filePath(QStringLiteral("relatorio_impresso.pdf"));
    form2.Imprimir1->trigger();
    saved = QFile::exists(dialogs.printTo) && saved;

    // The ranking of the double crosses, then the export dialog as it first opens.
    form2.Ordenar1->trigger();
    pause(300);
    saved = save(form2.Ranking->grab(), folder, QStringLiteral("ordenacao.png")) && saved;
    form2.Ranking->hide();
    {
        ExportDialog exportDialog(&form2);
        exportDialog.show();
        pause(300);
        saved = save(exportDialog.grab(), folder, QStringLiteral("exportar.png")) && saved;
    }

    // The options window is modal too; it is left with Cancelar, so nothing changes.
    QTimer::singleShot(0, &form1, [&] {
        pause(300);
        QWidget *options = QApplication::activeModalWidget();
        saved = options && save(options->grab(), folder, QStringLiteral("opcoes.png")) && saved;
        if (options)
            options->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    });
    form1.Opcoes1->trigger();

    // The diallel matrix without reciprocals (symmetric), then with them (i < j only).
    form1.Matrizdialelica1->trigger();
    pause(400);
    auto *matrix = form1.findChild<DiallelMatrixWindow *>();
    saved = matrix && save(matrix->grab(), folder, QStringLiteral("matriz_dialelica.png")) && saved;
    for (QRadioButton *choice : form1.RadioGroup1->findChildren<QRadioButton *>()) {
        if (choice->text() == QStringLiteral("Sim"))
            choice->click();
    }
    form1.Matrizdialelica1->trigger();
    pause(300);
    if (matrix) {
        saved = save(matrix->grab(), folder, QStringLiteral("matriz_dialelica_sim.png")) && saved;
        saved = save(QPixmap::fromImage(matrix->PaintBox1->picture()), folder,
                    QStringLiteral("matriz_dialelica_exportada.png"))
            && saved;
        matrix->hide();
    }

    // A two-way table of four lines pasted into the single-cross table, as a spreadsheet copies
    // it: its crosses go below the imported rows, selected.
    QGuiApplication::clipboard()->setText(
        QStringLiteral("\t1\t2\t3\t4\n1\t\t6\t5\t5.5\n2\t6\t\t4.75\t5.75\n3\t5\t4.75\t\t7.70\n4\t5."
                       "5\t5.75\t7\t\n"));
    form1.StringGrid1->setFocus();
    for (QAction *action : form1.StringGrid1->actions()) {
        if (action->text() == QStringLiteral("Colar"))
            action->trigger();
    }
    pause(300);
    saved = save(form1.grab(), folder, QStringLiteral("tabela_colada.png")) && saved;

    // The tools menu open under its caption, then the help window that F1 opens.
    const QRect tools = form1.MainMenu1->actionGeometry(form1.Ferramentas1->menuAction());
    form1.Ferramentas1->popup(form1.MainMenu1->mapToGlobal(tools.bottomLeft()));
    pause(300);
    saved =
        save(form1.Ferramentas1->grab(), folder, QStringLiteral("menu_ferramentas.png")) && saved;
    form1.Ferramentas1->hide();
    form1.Ajuda1->trigger();
    pause(400);
    auto *help = form1.findChild<HelpWindow *>();
    saved = help && save(help->grab(), folder, QStringLiteral("ajuda.png")) && saved;
    if (help)
        help->hide();

    // Invented names of the nine lines, then the analysis with the trial's error.
    QTemporaryDir namesDir;
    QFile namesFile(namesDir.filePath(QStringLiteral("nomes.txt")));
    if (namesFile.open(QIODevice::WriteOnly)) {
        namesFile.write("1 KV-11\n2 KV-12 tardia\n3 Catet\xC3\xA3o-3\n4 Dente-4A\n5 KV-15\n"
                        "6 Flint-6\n7 KV-17 precoce\n8 Opaco-8\n9 KV-19\n");
        namesFile.close();
    }
    dialogs.nextOpen = namesFile.fileName();
    form1.findChild<QAction *>(QStringLiteral("Nomesdaslinhagens1"))->trigger();
    form1.findChild<QAction *>(QStringLiteral("Analisedialelica1"))->trigger();
    if (auto *analysis = form1.findChild<DiallelAnalysisWindow *>()) {
        analysis->Edit1->setText(QStringLiteral("250"));
        analysis->SpinEdit1->setValue(175);
        analysis->SpinEdit2->setValue(6);
        pause(400);
        saved = save(analysis->grab(), folder, QStringLiteral("analise_dialelica.png")) && saved;
        saved = save(QPixmap::fromImage(analysis->PaintBox1->picture()), folder,
                    QStringLiteral("analise_dialelica_gca.png"))
            && saved;
        analysis->hide();
    } else {
        saved = false;
    }

    // The about window is modal: its pictures are taken from inside its own event loop.
    QTimer::singleShot(0, &form3, [&] {
        pause(500);
        saved = save(form3.grab(), folder, QStringLiteral("sobre.png")) && saved;
        saved = save(QGuiApplication::primaryScreen()->grabWindow(0), folder,
                    QStringLiteral("tela.png"))
            && saved;
        form3.Sair1->trigger();
    });
    form1.Sobre1->trigger();

    form2.hide();
    form1.hide();
    return saved && !dialogs.failed ? 0 : 1;
}
