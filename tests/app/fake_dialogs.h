// Dialogs and message boxes answered by the test: queued answers in, recorded questions out.
#pragma once

#include "dialogs.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

namespace koravel {

class FakeDialogs : public UserDialogs
{
public:
    // Answers for the next file dialogs, open or save, in order; std::nullopt or none is a cancel.
    std::deque<std::optional<FileDialogAnswer>> answers;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    // Every message box in the order shown: "information: <text>" or "error: <text>".
    QStringList messages;
    // Answers for the next export dialogs, in order; std::nullopt or none is a cancel.
    std::deque<std::optional<SpreadsheetChoice>> spreadsheetAnswers;
    QList<SpreadsheetChoice> spreadsheetRequests;

    std::optional<FileDialogAnswer> openFile(QWidget *, const FileDialogRequest &request) override
    {
        openRequests.append(request);
        return next();
    }
    std::optional<FileDialogAnswer> saveFile(QWidget *, const FileDialogRequest &request) override
    {
        saveRequests.append(request);
        return next();
    }
    void information(QWidget *, const QString &text) override
    {
        messages.append(QStringLiteral("information: ") + text);
    }
    void error(QWidget *, const QString &text) override
    {
        messages.append(QStringLiteral("error: ") + text);
    }
    std::optional<SpreadsheetChoice> spreadsheetChoice(
        QWidget *, const SpreadsheetChoice &proposed) override
    {
        spreadsheetRequests.append(proposed);
        std::optional<SpreadsheetChoice> answer;
        if (!spreadsheetAnswers.empty()) {
            answer = spreadsheetAnswers.front();
            spreadsheetAnswers.pop_front();
        }
        return answer;
    }
    void queue(const QString &fileName, const QString &filter = QString())
    {
        answers.push_back(FileDialogAnswer { fileName, filter });
    }

private:
    std::optional<FileDialogAnswer> next()
    {
        std::optional<FileDialogAnswer> answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
};

} // namespace koravel
