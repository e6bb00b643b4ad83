// The options window: the decimal separator chosen there is the one every cell is read with and
// every report number is written with, until another choice; the regional choice follows the
// system. Runs under a Brazilian locale (comma), inside the real application object.
#include "UntOpcoes.h"
#include "koravel_application.h"
#include "main_windows_fixture.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using koravel::DecimalChoice;
using koravel::FakeDialogs;
using koravel::KoravelApplication;

namespace {

const QByteArray kPointData = "1 2 6\n1 3 5\n1 4 5.5\n2 3 4.75\n2 4 5.75\n3 4 7\n";
const QByteArray kCommaData = "1 2 6\n1 3 5\n1 4 5,5\n2 3 4,75\n2 4 5,75\n3 4 7\n";
const QString kPointLine = QStringLiteral("HD (1x2)(3x4) =>\t5.250\t8.7\t5\t5.5\t4.75\t5.75");
const QString kCommaLine = QStringLiteral("HD (1x2)(3x4) =>\t5,250\t8,7\t5\t5,5\t4,75\t5,75");

void announceLocaleChange()
{
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(qApp, &change);
}

} // namespace

class OptionsWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<koravel::test::MainWindows<>> w;

    void importText(const QByteArray &bytes) { w->importText(m_dir, bytes); }

    // The first candidate line of a double-cross prediction of 4 lines, or the error shown.
    QString predict()
    {
        w->dialogs.messages.clear();
        w->form1.Edit1->setText(QStringLiteral("4"));
        w->form1.BitBtn1->click();
        if (!w->dialogs.messages.isEmpty())
            return w->dialogs.messages.join('\n');
        return w->form2.reportText().split(QStringLiteral("\r\n")).value(7);
    }

    // Opens the options window, checks the item that shows, picks an item and leaves with OK
    // or Cancelar. Returns the item that was checked on opening.
    QString choose(const QString &item, bool ok, QString *hint = nullptr)
    {
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<TForm7 *>(QApplication::activeModalWidget());
            if (!dialog) {
                qWarning("no options window");
                return;
            }
            for (QRadioButton *button : dialog->RadioGroup1->findChildren<QRadioButton *>()) {
                if (button->isChecked())
                    shown = button->text();
                if (button->text() == item)
                    button->click();
            }
            if (hint)
                *hint = dialog->Label1->text();
            (ok ? dialog->BitBtn1 : dialog->BitBtn2)->click();
        });
        w->form1.Opcoes1->trigger();
        return shown;
    }

private slots:
    void init()
    {
        KoravelApplication::setDecimalChoice(DecimalChoice::Regional);
        w = std::make_unique<koravel::test::MainWindows<>>();
    }
    void cleanup() { w.reset(); }

    void menuHasTheNewCommandsInPlaceOnOneLine()
    {
        QMenuBar *bar = w->form1.menuBar();
        QStringList captions;
        for (const QAction *action : bar->actions())
            captions << action->text();
        QCOMPARE(captions,
            QStringList({ ".:: Importar dados ::.", ".:: Opções ::.", ".:: Matriz dialélica ::.",
                ".:: Sobre ::.", ".:: Sair ::." }));
        w->form1.show();
        const QRect first = bar->actionGeometry(bar->actions().constFirst());
        const QRect last = bar->actionGeometry(bar->actions().constLast());
        QCOMPARE(last.top(), first.top());
        QVERIFY(last.right() < w->form1.width());
        // The client area keeps its size under the one-line menu.
        QCOMPARE(w->form1.centralWidget()->geometry().top(), bar->height());
        QCOMPARE(w->form1.size(), QSize(637, bar->sizeHint().height() + 484));
    }

    void choiceDecidesHowCellsAreReadAndReportNumbersWritten_data()
    {
        const QString pointInCommaCells =
            QStringLiteral("error: '5.5' is not a valid floating point value.");
        const QString commaInPointCells =
            QStringLiteral("error: '5,5' is not a valid floating point value.");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("withPointData");
        QTest::addColumn<QString>("withCommaData");
        // The system of these tests writes 2,5.
        QTest::newRow("regional") << QStringLiteral("Configuração regional") << pointInCommaCells
                                  << kCommaLine;
        QTest::newRow("point") << QStringLiteral("Ponto") << kPointLine << commaInPointCells;
        QTest::newRow("comma") << QStringLiteral("Vírgula") << pointInCommaCells << kCommaLine;
    }
    void choiceDecidesHowCellsAreReadAndReportNumbersWritten()
    {
        QFETCH(QString, item);
        QFETCH(QString, withPointData);
        QFETCH(QString, withCommaData);
        choose(item, true);
        importText(kPointData);
        QCOMPARE(predict(), withPointData);
        importText(kCommaData);
        QCOMPARE(predict(), withCommaData);
        // The window shows the choice in force when opened again.
        QCOMPARE(choose(QString(), false), item);
    }

    void fixedChoiceOutlivesALocaleChangeAndRegionalFollowsTheSystem()
    {
        QString hint;
        QCOMPARE(
            choose(QStringLiteral("Ponto"), true, &hint), QStringLiteral("Configuração regional"));
        QCOMPARE(hint, QStringLiteral("neste computador: a vírgula (2,5)"));
        announceLocaleChange();
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, '.');
        QCOMPARE(KoravelApplication::decimalChoice(), DecimalChoice::Point);

        // Cancelar changes nothing.
        QCOMPARE(choose(QStringLiteral("Vírgula"), false), QStringLiteral("Ponto"));
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, '.');

        // Back to the regional settings: the system's comma at once, and after its next change.
        choose(QStringLiteral("Configuração regional"), true);
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');
        KoravelApplication::setFormatSettings({ '.' });
        announceLocaleChange();
        QCOMPARE(KoravelApplication::formatSettings().decimalSeparator, ',');
    }
};

int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "pt_BR.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    FakeDialogs dialogs;
    KoravelApplication application(argc, argv, dialogs);
    OptionsWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_window_test.moc"
