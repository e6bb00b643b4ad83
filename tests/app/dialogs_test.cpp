// Qt's own dialogs and message boxes behind UserDialogs, answered by a timer as a user would.
#include "dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `answer` on the modal window once it is open; closes it if the answer did not.
void whenModalOpens(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModalOpens(answer);
            return;
        }
        const QPointer<QWidget> opened = modal;
        answer(modal);
        QTimer::singleShot(0, [opened] {
            if (opened && QApplication::activeModalWidget() == opened)
                QMetaObject::invokeMethod(opened, "reject");
        });
    });
}

const QStringList kOpenFilters { QStringLiteral("Arquivo de texto (*txt) (*.txt)"),
    QStringLiteral("Arquivo separado por espaços (*.prn) (*.prn)"),
    QStringLiteral("Arquivo de dados (*.dat) (*.dat)") };

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void openDialogShowsTheLabelsAndHandsBackTheWholeFilter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dados.prn"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QStringList shownTypes;
        whenModalOpens([&](QWidget *modal) {
            auto *types = modal->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; types && i < types->count(); ++i)
                shownTypes << types->itemText(i);
            QMetaObject::invokeMethod(modal, "accept");
        });
        koravel::QtUserDialogs dialogs;
        const auto answer =
            dialogs.openFile(nullptr, { kOpenFilters, path, kOpenFilters.at(1), {} });

        QCOMPARE(shownTypes,
            QStringList({ "Arquivo de texto (*txt)", "Arquivo separado por espaços (*.prn)",
                "Arquivo de dados (*.dat)" }));
        QVERIFY(answer.has_value());
        QCOMPARE(answer->fileName, path);
        // Handed back whole, the filter is preselected at the next opening.
        QCOMPARE(answer->selectedFilter, kOpenFilters.at(1));
    }

    void cancelledDialogAnswersNothing()
    {
        whenModalOpens([](QWidget *modal) { QMetaObject::invokeMethod(modal, "reject"); });
        koravel::QtUserDialogs dialogs;
        QVERIFY(!dialogs.saveFile(
            nullptr, { { QStringLiteral("Arquivo texto (*.txt)") }, {}, {}, "txt" }));
    }

    void messageBoxes_data()
    {
        QTest::addColumn<bool>("isError");
        QTest::addColumn<int>("icon");
        QTest::newRow("information") << false << int(QMessageBox::NoIcon);
        QTest::newRow("error") << true << int(QMessageBox::Critical);
    }
    void messageBoxes()
    {
        QFETCH(bool, isError);
        QFETCH(int, icon);
        QString caption;
        QString text;
        int shownIcon = -1;
        QStringList buttons;
        whenModalOpens([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            shownIcon = int(box->icon());
            for (QAbstractButton *button : box->buttons())
                buttons << (box->standardButton(button) == QMessageBox::Ok ? QStringLiteral("OK")
                                                                           : button->text());
            box->accept();
        });
        koravel::QtUserDialogs dialogs;
        if (isError)
            dialogs.error(nullptr, QStringLiteral("Stream write error."));
        else
            dialogs.information(nullptr, QStringLiteral("nenhum arquivo carregado"));

        QCOMPARE(caption, QStringLiteral("Koravel"));
        QCOMPARE(text,
            isError ? QStringLiteral("Stream write error.")
                    : QStringLiteral("nenhum arquivo carregado"));
        QCOMPARE(shownIcon, icon);
        QCOMPARE(buttons, QStringList { QStringLiteral("OK") });
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
