// The windows as the program makes them, over one session, with dialogs the test answers: the
// common ground of every window test.
#pragma once

#include "RankingWindow.h"
#include "Unit1.h"
#include "UntRelatorio.h"
#include "UntSobre.h"
#include "dialogs.h"
#include "report_editor.h"
#include "session.h"

#include <QFile>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

namespace koravel::test {

// Single crosses of four lines, each once with the smaller parent first, point decimals.
inline const QByteArray kFourLines =
    "1 2 6\r\n1 3 5\r\n1 4 5.5\r\n2 3 4.75\r\n2 4 5.75\r\n3 4 7\r\n";

template <class T> std::optional<T> takeFirst(std::deque<std::optional<T>> &queue)
{
    std::optional<T> answer = queue.empty() ? std::nullopt : queue.front();
    if (!queue.empty())
        queue.pop_front();
    return answer;
}

// Queued answers in (none left is a cancel), recorded questions out. Every message box is kept
// in the order shown: "information: <text>" or "error: <text>".
struct FakeDialogs : UserDialogs
{
    std::deque<std::optional<FileDialogAnswer>> answers; // open and save dialogs
    QList<FileDialogRequest> requests;
    QStringList messages;
    std::deque<std::optional<SpreadsheetChoice>> choices; // the export dialog
    QList<SpreadsheetChoice> proposedChoices;

    std::optional<FileDialogAnswer> openFile(QWidget *, const FileDialogRequest &r) override
    {
        return saveFile(nullptr, r);
    }
    std::optional<FileDialogAnswer> saveFile(QWidget *, const FileDialogRequest &r) override
    {
        requests << r;
        return takeFirst(answers);
    }
    void information(QWidget *, const QString &text) override
    {
        messages << "information: " + text;
    }
    void error(QWidget *, const QString &text) override { messages << "error: " + text; }
    std::optional<SpreadsheetChoice> spreadsheetChoice(
        QWidget *, const SpreadsheetChoice &p) override
    {
        proposedChoices << p;
        return takeFirst(choices);
    }
    // The print dialog: each answer sets the printer up as the user would; none left is a
    // cancel. The questions are answered from their own queue, none left is Não.
    std::deque<std::optional<std::function<void(QPrinter &)>>> printAnswers;
    QList<bool> selectionOffered;
    std::deque<std::optional<bool>> questionAnswers;
    bool print(QWidget *, QPrinter &printer, bool hasSelection) override
    {
        selectionOffered << hasSelection;
        const auto answer = takeFirst(printAnswers);
        if (answer)
            (*answer)(printer);
        return answer.has_value();
    }
    bool question(QWidget *, const QString &text) override
    {
        messages << "question: " + text;
        return takeFirst(questionAnswers).value_or(false);
    }
    void queue(const QString &name, const QString &filter = {})
    {
        answers.push_back(FileDialogAnswer { name, filter });
    }
};

struct Windows
{
    FakeDialogs dialogs;
    Session session { '.' };
    TForm1 form1 { session, dialogs };
    TForm2 form2 { session, dialogs };
    TForm3 form3;
    QTemporaryDir dir;

    Windows() { form1.setOtherWindows(form2, form3); }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // Writes "dados.txt" and imports it through the open dialog.
    void import(const QByteArray &bytes = kFourLines)
    {
        dialogs.queue(write(QStringLiteral("dados.txt"), bytes));
        form1.Importardados1->trigger();
    }
    void choose(bool sim)
    {
        for (QRadioButton *item : form1.RadioGroup1->findChildren<QRadioButton *>())
            item->setChecked(item->text() == (sim ? QStringLiteral("Sim") : QStringLiteral("Não")));
    }
    // Types the field, chooses the option and presses the button of HDs or HTs.
    void predict(bool hd, const QString &lines = QStringLiteral("4"), bool sim = false)
    {
        form1.Edit1->setText(lines);
        choose(sim);
        (hd ? form1.BitBtn1 : form1.BitBtn2)->click();
    }
    QByteArray shown() const
    {
        const std::string_view bytes = form2.Memo1->bytes();
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    }
    // Line i of the report, without its CR LF.
    QString reportLine(int i) const
    {
        return form2.reportText().split(QStringLiteral("\r\n")).value(i);
    }
    RankingWindow &ranking() { return *form2.Ranking; }
};

// Runs answer on the modal window once it is open; closes it if the answer did not.
inline void whenModalOpens(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal)
            return whenModalOpens(answer);
        answer(modal);
        if (modal && modal->isVisible())
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
    });
}

// A table as the user reads it: the headings, then one row a line, cells joined by "|".
inline QStringList tableText(const QTableView *table)
{
    const QAbstractItemModel *model = table->model();
    QStringList rows;
    for (int row = -1; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << (row < 0 ? model->headerData(column, Qt::Horizontal)
                              : model->index(row, column).data())
                         .toString();
        rows << cells.join('|');
    }
    return rows;
}

} // namespace koravel::test
