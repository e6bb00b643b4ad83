// The main menu, the keys, the help and the look of the windows, under the C locale: Qt's own
// dialogs speak Portuguese all the same.
#include "ExportDialog.h"
#include "HelpWindow.h"
#include "OptionsDialog.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "up_down.h"
#include "windows_fixture.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QToolButton>

using namespace koravel;
using namespace koravel::test;

class MenusAndLooksTest : public QObject
{
    Q_OBJECT

private slots:
    // The three original commands keep their order, the later ones share one menu and the bar
    // stays one line. Each key acts from the window it serves, the main window's from the report
    // window too (it covers the main window's controls), with the focus in the report's text;
    // the last report comes back once a prediction has written one.
    void menuAndKeysTriggerTheirCommands()
    {
        Windows w;
        w.form1.show();
        QStringList bar;
        for (QAction *action : w.form1.MainMenu1->actions())
            bar << action->text();
        QCOMPARE(
            bar.join('|'), ".:: Importar dados ::.|.:: Ferramentas ::.|.:: Sobre ::.|.:: Sair ::.");
        // One line of the 637-pixel bar in the window's font; Wine substitutes a wider one.
#ifndef _WIN32
        const QRect sair = w.form1.MainMenu1->actionGeometry(w.form1.Sair1);
        QVERIFY(sair.top() == 0 && sair.right() < 637);
#endif
        QVERIFY(!w.form1.Ultimorelatorio1->isEnabled());
        w.import();
        w.form1.Edit1->setText(QStringLiteral("4"));
        TForm2 &report = w.form2;
        RankingWindow &ranking = w.ranking();
        using Row = std::tuple<QWidget *, const char *, QObject *>;
        const Row rows[] = { { &report, "F5", w.form1.BitBtn1 }, { &report, "F6", w.form1.BitBtn2 },
            { &report, "Ctrl+O", w.form1.Importardados1 },
            { &report, "Ctrl+M", w.form1.Matrizdialelica1 }, { &report, "F1", w.form1.Ajuda1 },
            { &report, "Ctrl+,", w.form1.Opcoes1 }, { &report, "Shift+F1", w.form1.Sobre1 },
            { &report, "Ctrl+S", report.Salvar1 }, { &report, "F8", report.LIMPAR1 },
            { &report, "Ctrl+E", report.Exportar1 }, { &report, "F7", report.Ordenar1 },
            { &ranking, "Ctrl+E", ranking.Exportar1 }, { &ranking, "Ctrl+W", ranking.Sair1 },
            { &report, "Ctrl+W", report.Sair1 }, { &w.form1, "Ctrl+R", w.form1.Ultimorelatorio1 },
            { &w.form1, "Ctrl+Q", w.form1.Sair1 } };
        for (const auto &[window, key, command] : rows) {
            window->show();
            QApplication::setActiveWindow(window);
            if (window == &report)
                report.Memo1->setFocus();
            auto *button = qobject_cast<QAbstractButton *>(command);
            QSignalSpy acted(command,
                button ? QMetaMethod::fromSignal(&QAbstractButton::clicked)
                       : QMetaMethod::fromSignal(&QAction::triggered));
            if (command == w.form1.Opcoes1 || command == w.form1.Sobre1)
                whenModalOpens([](QWidget *) {});
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(QLatin1String(key)));
            QVERIFY2(acted.size() == 1, key);
        }
        QVERIFY(!w.form1.isVisible() && report.isVisible());
    }

    // Its sections, and every key the windows answer to.
    void helpTellsItsSectionsAndEveryKey()
    {
        Windows w;
        w.form1.Ajuda1->trigger();
        auto *help = w.form1.findChild<HelpWindow *>();
        QVERIFY(help && help->isVisible());
        const QTextDocument *text = help->Browser1->document();
        QStringList sections;
        for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() == 2)
                sections << block.text();
        }
        QCOMPARE(sections.join('|'),
            "Formato do arquivo de dados|HD e HT|Método B de Jenkins|CV%|FALSO|Recíprocos|LIMPAR|"
            "Ordenação|Exportação|Opções e ferramentas|Atalhos de teclado");
        const QStringList words = text->toPlainText().split(QRegularExpression("\\s+"));
        QVERIFY(words.contains(QStringLiteral("6.00")));
        const QList<QAction *> actions = w.form1.findChildren<QAction *>()
            + w.form2.findChildren<QAction *>() + help->findChildren<QAction *>();
        for (const QAction *action : actions) {
            const QString key = action->shortcut().toString();
            QVERIFY2(key.isEmpty() || words.contains(key), qPrintable(key));
        }
    }

    // Captions, the maize icon and one font; Qt's dialogs in Portuguese; texts that keep clear of
    // their frames.
    void windowsLookAsTheProgramsOwn()
    {
        Windows w;
        w.import();
        w.predict(true);
        w.form2.Ordenar1->trigger();
        OptionsDialog options;
        ExportDialog exporting;
        HelpWindow help;
        const std::pair<QWidget *, QString> rows[] = {
            { &w.form1, ".:: Koravel v.1.1 - Predição de Híbridos Duplos e Triplos" },
            { &w.form2, ".:: Koravel v.1.1.2010 - RELATÓRIO DE DADOS" },
            { &w.form3, ".:: Koravel v.1.1.2010 - SOBRE O APLICATIVO" },
            { &w.ranking(), ".:: Koravel v.1.1.2010 - ORDENAÇÃO DOS HÍBRIDOS DUPLOS" },
            { &options, ".:: Koravel - OPÇÕES" },
            { &exporting, ".:: Exportar planilha ::." },
            { &help, ".:: Koravel v.1.1.2010 - AJUDA" },
        };
        const QImage maize = koravelIcon().pixmap(32).toImage();
        for (const auto &[window, caption] : rows) {
            QCOMPARE(window->windowTitle(), caption);
            QVERIFY2(window->windowIcon().pixmap(32).toImage() == maize, qPrintable(caption));
            QCOMPARE(window->font().pixelSize(), 11);
        }
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text(),
            QStringLiteral("&Nome do arquivo:"));
        // The about window's texts show whole, their last lines too: nothing to scroll (in the
        // window's font; Wine substitutes a taller one).
        w.form3.show();
#ifndef _WIN32
        for (const QPlainTextEdit *memo : { w.form3.Memo1, w.form3.Memo2, w.form3.Memo3 })
            QCOMPARE(memo->verticalScrollBar()->maximum(), 0);
#endif
        // The 8 digits of the HDs of 100 lines stand apart from the frame.
        for (int step = 0; step < 99; ++step)
            w.form1.UpDown1->upButton()->click();
        QCOMPARE(w.form1.Label3->text(), QStringLiteral("11763675"));
        QVERIFY(w.form1.GroupBox1->width() - w.form1.Label3->geometry().right() > 6);
        // The ranking keeps its width when the pairing note is added to its counts.
        const int width = w.ranking().width();
        w.ranking().CheckBox1->click();
        QCoreApplication::processEvents(); // the layout asks for its size
        QVERIFY(w.ranking().Label2->text().contains(QStringLiteral("um pareamento")));
        QCOMPARE(w.ranking().width(), width);
    }
};

int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "C");
    qputenv("LANGUAGE", "");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FakeDialogs dialogs;
    KoravelApplication application(argc, argv, dialogs);
    MenusAndLooksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "menus_and_looks_test.moc"
