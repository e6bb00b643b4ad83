// How the windows look, under the C locale: the captions, the maize icon and the one font of
// every window, Portuguese in Qt's own dialogs, and texts that keep clear of their frames.
#include "ExportDialog.h"
#include "HelpWindow.h"
#include "OptionsDialog.h"
#include "koravel_application.h"
#include "maize_picture.h"
#include "up_down.h"
#include "windows_fixture.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

using namespace koravel;
using namespace koravel::test;

class WindowLookTest : public QObject
{
    Q_OBJECT

private slots:
    void windowsShowTheirCaptionIconAndFont()
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
            QCOMPARE(window->font().family(), QStringLiteral("Liberation Sans"));
        }
    }

    void qtDialogsSpeakPortugueseWhateverTheLocale()
    {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text(),
            QStringLiteral("&Nome do arquivo:"));
    }

    void textsKeepClearOfTheirFrames()
    {
        Windows w;
        // The about window's text shows whole, its last line too: there is nothing to scroll.
        w.form3.show();
        for (const QPlainTextEdit *memo : { w.form3.Memo1, w.form3.Memo2, w.form3.Memo3 })
            QCOMPARE(memo->verticalScrollBar()->maximum(), 0);
        // The 8 digits of the HDs of 100 lines stand apart from the frame.
        for (int step = 0; step < 99; ++step)
            w.form1.UpDown1->upButton()->click();
        QCOMPARE(w.form1.Label3->text(), QStringLiteral("11763675"));
        QVERIFY(w.form1.GroupBox1->width() - w.form1.Label3->geometry().right() > 6);
        // The ranking keeps its width when the pairing note is added to its counts.
        w.import();
        w.predict(true);
        w.form2.Ordenar1->trigger();
        const int width = w.ranking().width();
        w.ranking().CheckBox1->click();
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
    WindowLookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_look_test.moc"
