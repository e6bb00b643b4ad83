// Qt's own dialogs and message boxes behind UserDialogs, answered by a timer as a user would.
#include "dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
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
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal)
            return whenModalOpens(answer);
        answer(modal);
        QTimer::singleShot(0, [modal] {
            if (modal && QApplication::activeModalWidget() == modal)
                QMetaObject::invokeMethod(modal, "reject");
        });
    });
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void openDialogShowsTheLabelsAndHandsBackTheWholeFilter()
    {
        const QStringList filters { QStringLiteral("Arquivo de texto (*txt) (*.txt)"),
            QStringLiteral("Arquivo separado por espaços (*.prn) (*.prn)") };
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
        const auto answer = dialogs.openFile(nullptr, { filters, path, filters.at(1), {} });

        QCOMPARE(shownTypes,
            QStringList({ "Arquivo de texto (*txt)", "Arquivo separado por espaços (*.prn)" }));
        QVERIFY(answer.has_value());
        QCOMPARE(answer->fileName, path);
        // Handed back whole, the filter is preselected at the next opening.
        QCOMPARE(answer->selectedFilter, filters.at(1));

        whenModalOpens([](QWidget *modal) { QMetaObject::invokeMethod(modal, "reject"); });
        QVERIFY(!dialogs.saveFile(nullptr, { filters, {}, {}, "txt" }));
    }

    void messageBoxesHaveTheCaptionTheIconAndOneOk()
    {
        QStringList seen;
        const auto record = [&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            QVERIFY(box->buttons().size() == 1 && box->button(QMessageBox::Ok));
            seen << box->windowTitle() + " " + QString::number(box->icon()) + " " + box->text();
            box->accept();
        };
        koravel::QtUserDialogs dialogs;
        whenModalOpens(record);
        dialogs.information(nullptr, QStringLiteral("nenhum arquivo carregado"));
        whenModalOpens(record);
        dialogs.error(nullptr, QStringLiteral("Stream write error."));
        QCOMPARE(seen,
            QStringList({ "Koravel 0 nenhum arquivo carregado",
                "Koravel " + QString::number(QMessageBox::Critical) + " Stream write error." }));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
