// The about window while it shows: its text, its link, its turning globe, the place and edits it
// keeps, and the pictures the program draws.
#include "UntSobre.h"
#include "globe_animation.h"
#include "maize_picture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace {

// Runs check while the dialog shows modally, then closes it through its menu.
void whileOpen(TForm3 &form, const std::function<void()> &check)
{
    QTimer::singleShot(0, &form, [&form, check] {
        check();
        form.Sair1->trigger();
    });
    form.exec();
}

int opaquePixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class AboutWindowTest : public QObject
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
    }

    // While open: centred, the globe turns and the link opens the curriculum page. The user's
    // notes and the place the user moved it to stay for the next opening.
    void whileOpenAndAcrossOpenings()
    {
        TForm3 form;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QPoint movedTo;
        QList<int> frames;
        whileOpen(form, [&] {
            const QRect screen = form.screen()->availableGeometry();
            QVERIFY((form.frameGeometry().center() - screen.center()).manhattanLength() <= 4);
            QTest::mouseClick(form.RxLabel6, Qt::LeftButton);
            form.Memo3->setPlainText(QStringLiteral("anotação do usuário"));
            form.move(form.pos() + QPoint(-30, 20));
            movedTo = form.pos();
            frames << form.Animate1->currentFrame();
            QTest::qWait(400);
            frames << form.Animate1->currentFrame();
        });
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls, QList<QUrl> { QUrl(TForm3::curriculumAddress()) });
        QCOMPARE(catcher.urls.first().host(), QStringLiteral("www.example.org"));
        QVERIFY(frames[0] != frames[1]);
        QVERIFY(!form.Animate1->isPlaying());
        whileOpen(form, [&] {
            QCOMPARE(form.pos(), movedTo);
            QCOMPARE(form.Memo3->toPlainText(), QStringLiteral("anotação do usuário"));
        });
    }

    void picturesAreDrawnOnATransparentBackground()
    {
        const QImage plant = maizePicture().toImage();
        QCOMPARE(plant.size(), QSize(154, 267));
        for (const QPoint corner :
            { QPoint(0, 0), QPoint(153, 0), QPoint(0, 266), QPoint(153, 266) })
            QCOMPARE(qAlpha(plant.pixel(corner)), 0);
        QVERIFY(opaquePixels(plant, QRect(0, 0, 154, 20)) > 20); // tassel at the top
        QVERIFY(opaquePixels(plant, QRect(0, 245, 154, 22)) > 20); // roots at the bottom
        QCOMPARE(koravelIcon().pixmap(32, 32).size(), QSize(32, 32));
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
