// The about window and the real dialogs of Qt behind the dialog interface.
#include "globe_animation.h"
#include "maize_picture.h"
#include "windows_fixture.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QUrl>

using koravel::test::whenModalOpens;

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class AboutAndDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void aboutTextIsVerbatim()
    {
        TForm3 form;
        QStringList lines = form.Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11);
        QVERIFY(lines.takeLast().contains(QStringLiteral("@example.org")));
        QCOMPARE(lines,
            QStringList(
                { "Koravel versão 1.1.2010 - Aplicativo para predição de Híbridos Duplos e Triplos",
                    "", "Requisitos mínimos do computador em relação a softwares:",
                    "->   Plataforma Windows 9x/2000/XP/Vista" + QString(49, ' ') + "(® Microsoft)",
                    "->   *** Os limites dos números de linhagens e HS utlilizados, bem como a "
                    "velocidade dos cálculos, estão ",
                    "condicionados à memória livre disponível (RAM) e a velocidade do processador",
                    "",
                    "ALTERAR EM CONFIGURAÇÕES REGIONAIS, O PADRÃO DECIMAL DE VÍRGULA PARA PONTO",
                    "", "Recompilado em junho de 2010" }));
        QCOMPARE(maizePicture().size(), QSize(154, 267));
        QCOMPARE(qAlpha(maizePicture().toImage().pixel(0, 0)), 0);
    }

    // While open: centred, the globe turns, the link opens the curriculum page. The user's
    // notes and the place the user moved it to stay for the next opening.
    void whileOpenAndAcrossOpenings()
    {
        TForm3 form;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QPoint movedTo;
        QList<int> frames;
        whenModalOpens([&](QWidget *) {
            const QRect screen = form.screen()->availableGeometry();
            QVERIFY((form.frameGeometry().center() - screen.center()).manhattanLength() <= 4);
            QTest::mouseClick(form.RxLabel6, Qt::LeftButton);
            form.Memo3->setPlainText(QStringLiteral("anotação"));
            form.move(form.pos() + QPoint(-30, 20));
            movedTo = form.pos();
            frames << form.Animate1->currentFrame();
            QTest::qWait(400);
            frames << form.Animate1->currentFrame();
            form.Sair1->trigger();
        });
        form.exec();
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls, QList<QUrl> { QUrl(TForm3::curriculumAddress()) });
        QVERIFY(!form.Animate1->isPlaying());
        QVERIFY(frames[0] != frames[1]);
        whenModalOpens([&](QWidget *) {
            QCOMPARE(form.pos(), movedTo);
            QCOMPARE(form.Memo3->toPlainText(), QStringLiteral("anotação"));
            form.Sair1->trigger();
        });
        form.exec();
    }

    void qtDialogsShowTheLabelsCaptionsAndIcons()
    {
        const QStringList filters { QStringLiteral("Arquivo de texto (*txt) (*.txt)"),
            QStringLiteral("Arquivo separado por espaços (*.prn) (*.prn)") };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dados.prn"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QStringList seen;
        whenModalOpens([&](QWidget *modal) {
            auto *types = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; types && i < types->count(); ++i)
                seen << types->itemText(i);
            QMetaObject::invokeMethod(modal, "accept");
        });
        koravel::QtUserDialogs dialogs;
        const auto answer = dialogs.openFile(nullptr, { filters, path, filters.at(1), {} });
        QVERIFY(answer && answer->fileName == path && answer->selectedFilter == filters.at(1));
        whenModalOpens([](QWidget *modal) { QMetaObject::invokeMethod(modal, "reject"); });
        QVERIFY(!dialogs.saveFile(nullptr, { filters, {}, {}, "txt" }));
        const auto record = [&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box && box->buttons().size() == 1 && box->button(QMessageBox::Ok));
            seen << box->windowTitle() + " " + QString::number(box->icon()) + " " + box->text();
            box->accept();
        };
        whenModalOpens(record);
        dialogs.information(nullptr, QStringLiteral("nenhum arquivo carregado"));
        whenModalOpens(record);
        dialogs.error(nullptr, QStringLiteral("Stream write error."));
        QCOMPARE(seen,
            QStringList({ "Arquivo de texto (*txt)", "Arquivo separado por espaços (*.prn)",
                "Koravel 0 nenhum arquivo carregado",
                "Koravel " + QString::number(QMessageBox::Critical) + " Stream write error." }));
    }
};

QTEST_MAIN(AboutAndDialogsTest)
#include "about_and_dialogs_test.moc"
