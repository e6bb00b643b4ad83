// File dialogs and message boxes behind an interface, so that tests can answer them.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace koravel {

struct FileDialogRequest
{
    // In the order shown; a label may end in the pattern Qt filters by:
    // "Arquivo de texto (*txt) (*.txt)".
    QStringList filters;
    QString proposedName; // the name chosen last time, or empty
    QString selectedFilter; // the filter in use last time, or the first
    QString defaultSuffix; // save dialog only: "txt"
};

struct FileDialogAnswer
{
    QString fileName;
    QString selectedFilter;
};

enum class SpreadsheetFormat { Csv, Xlsx };

// What the export dialog asks: the format and, for CSV, the field separator and the decimal mark.
struct SpreadsheetChoice
{
    SpreadsheetFormat format = SpreadsheetFormat::Csv;
    char separator = ';'; // ';', ',' or '\t'
    char decimalMark = ',';
};

class UserDialogs
{
public:
    virtual ~UserDialogs() = default;
    virtual std::optional<FileDialogAnswer> openFile(
        QWidget *parent, const FileDialogRequest &request) = 0;
    virtual std::optional<FileDialogAnswer> saveFile(
        QWidget *parent, const FileDialogRequest &request) = 0;
    // Caption "Koravel", no icon, one OK button.
    virtual void information(QWidget *parent, const QString &text) = 0;
    // Caption "Koravel", stop icon, one OK button; the text already has its final ".".
    virtual void error(QWidget *parent, const QString &text) = 0;
    // The export dialog, opened with proposed; std::nullopt is a cancel. Dialogs that know no
    // export answer with a cancel.
    virtual std::optional<SpreadsheetChoice> spreadsheetChoice(
        QWidget *parent, const SpreadsheetChoice &proposed);
    // The system's print dialog on printer, offering "Seleção" when hasSelection (then chosen
    // at first); false is a cancel. Dialogs that know no printing answer with a cancel.
    virtual bool print(QWidget *parent, QPrinter &printer, bool hasSelection);
    // Caption "Koravel", buttons Sim and Não; true is Sim. Dialogs that ask nothing answer Não.
    virtual bool question(QWidget *parent, const QString &text);
};

// The real dialogs and message boxes of Qt.
class QtUserDialogs : public UserDialogs
{
public:
    std::optional<FileDialogAnswer> openFile(
        QWidget *parent, const FileDialogRequest &request) override;
    std::optional<FileDialogAnswer> saveFile(
        QWidget *parent, const FileDialogRequest &request) override;
    void information(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    std::optional<SpreadsheetChoice> spreadsheetChoice(
        QWidget *parent, const SpreadsheetChoice &proposed) override;
    bool print(QWidget *parent, QPrinter &printer, bool hasSelection) override;
    bool question(QWidget *parent, const QString &text) override;
};

} // namespace koravel
