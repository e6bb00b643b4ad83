// Dialogs and message boxes answered by the test: queued answers in, recorded questions out.
#pragma once

#include "dialogs.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace koravel {

class FakeDialogs : public UserDialogs
{
public:
    // Answers for the next file dialogs, in order; std::nullopt is a cancel. With none queued
    // a dialog is cancelled.
    std::deque<std::optional<FileDialogAnswer>> openAnswers;
    std::deque<std::optional<FileDialogAnswer>> saveAnswers;

    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QStringList informations;
    QStringList errors;
    // Every message box in the order shown: "information: <text>" or "error: <text>".
    QStringList messages;

    std::optional<FileDialogAnswer> openFile(QWidget *, const FileDialogRequest &request) override
    {
        openRequests.append(request);
        return next(openAnswers);
    }
    std::optional<FileDialogAnswer> saveFile(QWidget *, const FileDialogRequest &request) override
    {
        saveRequests.append(request);
        return next(saveAnswers);
    }
    void information(QWidget *, const QString &text) override
    {
        informations.append(text);
        messages.append(QStringLiteral("information: ") + text);
    }
    void error(QWidget *, const QString &text) override
    {
        errors.append(text);
        messages.append(QStringLiteral("error: ") + text);
    }

    void queueOpen(const QString &fileName, const QString &filter = QString())
    {
        openAnswers.push_back(FileDialogAnswer { fileName, filter });
    }
    void queueSave(const QString &fileName, const QString &filter = QString())
    {
        saveAnswers.push_back(FileDialogAnswer { fileName, filter });
    }

private:
    static std::optional<FileDialogAnswer> next(std::deque<std::optional<FileDialogAnswer>> &queue)
    {
        std::optional<FileDialogAnswer> answer;
        if (!queue.empty()) {
            answer.swap(queue.front());
            queue.pop_front();
        }
        return answer;
    }
};

} // namespace koravel
