// The diallel matrix window opened from the main menu: what its cells look like, what their
// tooltips say, and the PNG it writes through the save dialog.
#include "UntMatriz.h"
#include "heat_map_view.h"
#include "koravel_application.h"
#include "main_windows_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Four lines with reciprocals distinct: 1 x 2 to 2 x 3 have values, 3 x 4 is 0, 2 x 4 and every
// j x i are missing.
const QByteArray kFourLines = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n3 4 0\n";

double luminance(QRgb pixel)
{
    return 0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel);
}

bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

} // namespace

class DiallelMatrixWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<koravel::test::MainWindows<>> w;

    void importText(const QByteArray &bytes) { w->importText(m_dir, bytes); }

    void reciprocals(bool distinct)
    {
        for (QRadioButton *item : w->form1.RadioGroup1->findChildren<QRadioButton *>()) {
            if (item->text() == (distinct ? QStringLiteral("Sim") : QStringLiteral("Não")))
                item->setChecked(true);
        }
    }

    // Imports the data, sets the field and opens the matrix; its window, if any opened.
    TForm6 *open(const QByteArray &data, const QString &lines, bool distinct = true)
    {
        importText(data);
        w->form1.Edit1->setText(lines);
        reciprocals(distinct);
        w->dialogs.messages.clear();
        w->form1.Matrizdialelica1->trigger();
        TForm6 *window = w->form1.findChild<TForm6 *>();
        if (window)
            window->resize(640, 640);
        return window;
    }

private slots:
    void init()
    {
        koravel::KoravelApplication::setFormatSettings({ '.' });
        w = std::make_unique<koravel::test::MainWindows<>>();
        w->dialogs.messages.clear();
    }
    void cleanup() { w.reset(); }

    void withoutDataOrLinesTheMenuSaysSo()
    {
        w->form1.Matrizdialelica1->trigger();
        QCOMPARE(w->dialogs.messages,
            QStringList { "information: Importe os dados para ver a matriz dialélica." });
        QVERIFY(!w->form1.findChild<TForm6 *>());

        // A single line: no cross between two lines.
        TForm6 *window = open("1 1 5\n", QStringLiteral("0"));
        QCOMPARE(w->dialogs.messages,
            QStringList { "information: A tabela não tem cruzamentos entre duas ou mais "
                          "linhagens: não há matriz a mostrar." });
        QVERIFY(!window || !window->isVisible());
    }

    void cellsAreColouredByValueAndMissingCrossesMarked()
    {
        TForm6 *window = open(kFourLines, QStringLiteral("4"));
        QVERIFY(window && window->isVisible());
        QCOMPARE(w->dialogs.messages, QStringList());
        QCOMPARE(window->Label1->text(),
            QStringLiteral("4 linhagens, do campo número de linhagens.\n"
                           "Recíprocos considerados: linha = pai A, coluna = pai B.\n"
                           "4 cruzamentos com valor, 7 ausentes, 1 com valor zero."));
        koravel::HeatMapView *view = window->PaintBox1;
        const QImage picture = view->picture();
        QCOMPARE(picture.size(), view->size());
        const auto corner = [&](int i, int j) {
            return picture.pixel(view->cellRect(i, j).topLeft() + QPoint(2, 2));
        };

        // From the smallest value to the largest: darker to lighter, the ends of the scale.
        const std::vector<std::pair<int, int>> byValue { { 2, 3 }, { 1, 3 }, { 1, 4 }, { 1, 2 } };
        for (std::size_t k = 1; k < byValue.size(); ++k) {
            QVERIFY2(luminance(corner(byValue[k - 1].first, byValue[k - 1].second))
                    < luminance(corner(byValue[k].first, byValue[k].second)),
                qPrintable(QString::number(k)));
        }
        QCOMPARE(QColor(corner(2, 3)), QColor(0x44, 0x01, 0x54));
        QCOMPARE(QColor(corner(1, 2)), QColor(0xFD, 0xE7, 0x25));

        // A missing cross is grey, hatched light and crossed dark; a zero and the diagonal have
        // colours of their own, off the scale.
        for (const auto &[i, j] : { std::pair { 2, 1 }, std::pair { 2, 4 } }) {
            const QRect cell = view->cellRect(i, j).adjusted(0, 0, -2, -2);
            int dark = 0, light = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QRgb pixel = picture.pixel(x, y);
                    QVERIFY(isGrey(pixel));
                    dark += qRed(pixel) < 0x70;
                    light += qRed(pixel) > 0xC0;
                }
            }
            QVERIFY(dark > cell.width() && light > cell.width() * cell.height() / 4);
        }
        QCOMPARE(QColor(corner(3, 4)), QColor(0xF4, 0xCC, 0xCC));
        const QRect diagonal = view->cellRect(4, 4);
        QCOMPARE(QColor(picture.pixel(diagonal.topRight() + QPoint(-4, 3))), QColor(Qt::white));
        QCOMPARE(QColor(picture.pixel(diagonal.center())), QColor(0x80, 0x80, 0x80));
        QVERIFY(!isGrey(corner(1, 4)));

        const struct
        {
            int i, j;
            const char *tip;
        } tips[] = { { 1, 4, "1 x 4 = 5.5" }, { 4, 1, "4 x 1: ausente" },
            { 3, 4, "3 x 4 = 0 (zero: a predição o toma como ausente)" },
            { 2, 2, "2 x 2: diagonal, fora das predições" } };
        for (const auto &tip : tips)
            QCOMPARE(
                view->toolTipAt(view->cellRect(tip.i, tip.j).center()), QString::fromUtf8(tip.tip));
        QCOMPARE(view->toolTipAt(QPoint(1, 1)), QString());
    }

    void matrixReadsAsThePredictionsDo()
    {
        // Without reciprocals the matrix is symmetric; a field that does not read gives way to
        // the largest parent; the comma separator reads and writes "5,5".
        koravel::KoravelApplication::setFormatSettings({ ',' });
        TForm6 *window = open("1 2 6\n1 3 5\n1 4 5,5\n", QStringLiteral("x"), false);
        QVERIFY(window);
        QVERIFY(window->Label1->text().startsWith(
            QStringLiteral("4 linhagens: o maior pai da tabela, pois o campo número de "
                           "linhagens não traz um inteiro de 2 ou mais.\n"
                           "Recíprocos não considerados")));
        koravel::HeatMapView *view = window->PaintBox1;
        QCOMPARE(view->toolTipAt(view->cellRect(4, 1).center()), QStringLiteral("4 x 1 = 5,5"));

        // A cell that is not a number stops it with the prediction's message; the window keeps
        // the matrix it showed.
        window->hide();
        open("1 2 6\n1 3 5\n1 4 5.5\n", QStringLiteral("4"));
        QCOMPARE(w->dialogs.messages,
            QStringList { "error: '5.5' is not a valid floating point value." });
        QVERIFY(!window->isVisible());
        QCOMPARE(view->toolTipAt(view->cellRect(4, 1).center()), QStringLiteral("4 x 1 = 5,5"));
    }

    void exportWritesThePictureAsPngAndCancelWritesNothing()
    {
        TForm6 *window = open(kFourLines, QStringLiteral("4"));
        QVERIFY(window);
        const QDir folder(m_dir.path());
        const QStringList before = folder.entryList(QDir::Files);

        w->dialogs.messages.clear();
        window->BitBtn1->click();
        QCOMPARE(w->dialogs.messages, QStringList { "information: A imagem não foi gravada." });
        QCOMPARE(folder.entryList(QDir::Files), before);

        const QString path = m_dir.filePath(QStringLiteral("matriz.png"));
        w->dialogs.queue(path, TForm6::pictureFilters().constFirst());
        w->dialogs.messages.clear();
        window->BitBtn1->click();
        QCOMPARE(w->dialogs.messages,
            QStringList { QStringLiteral("information: A imagem foi gravada em ") + path });
        const koravel::FileDialogRequest &request = w->dialogs.saveRequests.constLast();
        QCOMPARE(request.filters, QStringList { "Imagem PNG (*.png)" });
        QCOMPARE(request.proposedName, QStringLiteral("matriz_dialelica.png"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("png"));

        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage written = reader.read();
        koravel::HeatMapView *view = window->PaintBox1;
        QCOMPARE(written.size(), view->size());
        const QPoint inCell = view->cellRect(1, 2).topLeft() + QPoint(2, 2);
        QCOMPARE(QColor(written.pixel(inCell)), QColor(0xFD, 0xE7, 0x25));

        // A folder that does not exist: the error is shown and no file appears.
        const QString missing = m_dir.filePath(QStringLiteral("nao/existe.png"));
        w->dialogs.queue(missing);
        w->dialogs.messages.clear();
        window->BitBtn1->click();
        QCOMPARE(w->dialogs.messages.size(), 1);
        QVERIFY2(w->dialogs.messages[0].startsWith(
                     QStringLiteral("error: Não foi possível gravar a imagem \"") + missing),
            qPrintable(w->dialogs.messages[0]));
        QVERIFY(!QFile::exists(missing));
        // The next save proposes the name written last.
        w->dialogs.messages.clear();
        window->BitBtn1->click();
        QCOMPARE(w->dialogs.saveRequests.constLast().proposedName, missing);
    }
};

QTEST_MAIN(DiallelMatrixWindowTest)
#include "diallel_matrix_window_test.moc"
