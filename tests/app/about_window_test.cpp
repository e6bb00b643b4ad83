// The about window opened modally and closed, its texts, its link, its turning globe, and the
// pictures the program draws.
#include "UntSobre.h"
#include "globe_animation.h"
#include "maize_picture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
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

// Pixels whose colour is near the given hue (0-359), fairly saturated and not transparent.
int pixelsOfHue(const QImage &image, int low, int high)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = QColor::fromRgba(image.pixel(x, y));
            if (colour.alpha() > 200 && colour.hsvSaturation() > 80 && colour.hsvHue() >= low
                && colour.hsvHue() <= high)
                ++count;
        }
    }
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
    void opensModallyAndCloses()
    {
        TForm3 form;
        QVERIFY(!form.isVisible());
        bool wasModal = false;
        whileOpen(form,
            [&] { wasModal = form.isVisible() && QApplication::activeModalWidget() == &form; });
        QVERIFY(wasModal);
        QVERIFY(!form.isVisible());
    }

    void layoutAndCaptions()
    {
        TForm3 form;
        QCOMPARE(form.windowTitle(), QStringLiteral(".:: Koravel v.1.1.2010 - SOBRE O APLICATIVO"));
        QCOMPARE(form.GroupBox1->parentWidget()->size(), QSize(576, 425));
        QCOMPARE(form.MainMenu1->actions().size(), 1);
        QCOMPARE(form.Sair1->text(), QStringLiteral(".:: Sair ::."));
        QCOMPARE(form.GroupBox1->title(), QStringLiteral(".:: Sobre o Aplicativo ::."));
        QCOMPARE(form.GroupBox1->geometry(), QRect(8, 8, 561, 169));
        QCOMPARE(form.Memo1->geometry(), QRect(16, 16, 537, 145));
        QCOMPARE(form.GroupBox2->title(), QStringLiteral(".:: Sobre o autor ::."));
        QCOMPARE(form.GroupBox2->geometry(), QRect(8, 184, 561, 233));
        QCOMPARE(form.Image1->geometry(), QRect(16, 24, 89, 121));
        QCOMPARE(form.Animate1->geometry(), QRect(504, 104, 39, 42));
        whileOpen(form, [&] { QCOMPARE(form.minimumSize(), form.maximumSize()); });
    }

    void aboutTextIsVerbatim()
    {
        TForm3 form;
        const QStringList lines = form.Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[0],
            QStringLiteral(
                "Koravel versão 1.1.2010 - Aplicativo para predição de Híbridos Duplos e Triplos"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(
            lines[2], QStringLiteral("Requisitos mínimos do computador em relação a softwares:"));
        const QRegularExpression platform(
            QStringLiteral("^->   Plataforma Windows 9x/2000/XP/Vista( +)\\(® Microsoft\\)$"));
        const QRegularExpressionMatch match = platform.match(lines[3]);
        QVERIFY2(match.hasMatch(), qPrintable(lines[3]));
        QCOMPARE(match.capturedLength(1), 49);
        QCOMPARE(lines[4],
            QStringLiteral("->   *** Os limites dos números de linhagens e HS utlilizados, bem "
                           "como a velocidade dos cálculos, estão "));
        QCOMPARE(lines[5],
            QStringLiteral(
                "condicionados à memória livre disponível (RAM) e a velocidade do processador"));
        QCOMPARE(lines[6], QString());
        QCOMPARE(lines[7],
            QStringLiteral(
                "ALTERAR EM CONFIGURAÇÕES REGIONAIS, O PADRÃO DECIMAL DE VÍRGULA PARA PONTO"));
        QCOMPARE(lines[8], QString());
        QCOMPARE(lines[9], QStringLiteral("Recompilado em junho de 2010"));
        QVERIFY(lines[10].contains(QStringLiteral("@example.org")));
        QVERIFY(!form.Memo1->isReadOnly());
    }

    void authorCard()
    {
        TForm3 form;
        QCOMPARE(form.RxLabel1->text(), QStringLiteral("Vescarin"));
        QVERIFY(form.RxLabel1->font().bold());
        QCOMPARE(form.RxLabel1->font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.RxLabel1->font().pixelSize(), 19);
        QVERIFY(form.RxLabel5->text().contains(QStringLiteral("@example.org")));
        QVERIFY(form.RxLabel5->font().bold());
        QVERIFY(form.RxLabel6->font().underline());
        QVERIFY(!form.Image1->pixmap().isNull());
        for (QPlainTextEdit *area : { form.Memo2, form.Memo3 }) {
            QVERIFY(!area->toPlainText().isEmpty());
            QVERIFY(!area->isReadOnly());
            QCOMPARE(area->palette().color(QPalette::Base), QColor(215, 228, 242));
        }
        QVERIFY(form.Memo2->toPlainText().contains(QStringLiteral("\n1. ")));
    }

    void linkOpensTheCurriculumPage()
    {
        TForm3 form;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        whileOpen(form, [&] { QTest::mouseClick(form.RxLabel6, Qt::LeftButton); });
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first().scheme(), QStringLiteral("http"));
        QCOMPARE(catcher.urls.first().host(), QStringLiteral("www.example.org"));
        QVERIFY(TForm3::curriculumAddress().startsWith(QStringLiteral("http://")));
    }

    void globeTurnsWhileShown()
    {
        TForm3 form;
        QVERIFY(!form.Animate1->isPlaying());
        QList<int> frames;
        bool playing = false;
        whileOpen(form, [&] {
            playing = form.Animate1->isPlaying();
            frames << form.Animate1->currentFrame();
            QTest::qWait(400);
            frames << form.Animate1->currentFrame();
        });
        QVERIFY(playing);
        QVERIFY(frames[0] != frames[1]);
        QVERIFY(!form.Animate1->isPlaying());

        const QImage first = GlobeAnimation::drawFrame(0, 24, QSize(39, 42)).toImage();
        const QImage later = GlobeAnimation::drawFrame(6, 24, QSize(39, 42)).toImage();
        QVERIFY(first != later);
        QCOMPARE(qAlpha(first.pixel(0, 0)), 0);
        QVERIFY(opaquePixels(first, QRect(15, 15, 9, 9)) == 81); // the middle of the sphere
    }

    void editsStayAndPlaceIsKeptAcrossOpenings()
    {
        TForm3 form;
        QPoint centredAt;
        whileOpen(form, [&] {
            const QRect screen = form.screen()->availableGeometry();
            QVERIFY((form.frameGeometry().center() - screen.center()).manhattanLength() <= 4);
            form.Memo3->setPlainText(QStringLiteral("anotação do usuário"));
            form.move(form.pos() + QPoint(-30, 20));
            centredAt = form.pos();
        });
        whileOpen(form, [&] {
            QCOMPARE(form.pos(), centredAt);
            QCOMPARE(form.Memo3->toPlainText(), QStringLiteral("anotação do usuário"));
        });
    }

    void maizePictureFromTasselToRoots()
    {
        const QImage plant = maizePicture().toImage();
        QCOMPARE(plant.size(), QSize(154, 267));
        QVERIFY(plant.hasAlphaChannel());
        for (const QPoint corner :
            { QPoint(0, 0), QPoint(153, 0), QPoint(0, 266), QPoint(153, 266) })
            QCOMPARE(qAlpha(plant.pixel(corner)), 0);
        QVERIFY(opaquePixels(plant, QRect(0, 0, 154, 20)) > 20); // tassel at the top
        QVERIFY(opaquePixels(plant, QRect(0, 245, 154, 22)) > 20); // roots at the bottom
        QVERIFY(pixelsOfHue(plant, 80, 150) > 2000); // green leaves and stalk
        QVERIFY(pixelsOfHue(plant, 38, 56) > 40); // yellow kernels of the ear

        const QIcon icon = koravelIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(32, 32).size(), QSize(32, 32));
        QCOMPARE(authorPortrait().size(), QSize(89, 121));
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
