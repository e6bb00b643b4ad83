// The real file dialogs and message boxes of Qt behind the UserDialogs interface.
#include "dialogs.h"

#include "ExportDialog.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace koravel {

namespace {

    const QString kApplicationTitle = QStringLiteral("Koravel");

    // With the details hidden the dialog names the chosen filter by its label alone:
    // "Arquivo de texto (*txt)" stands for "Arquivo de texto (*txt) (*.txt)".
    QString requestedFilter(const QStringList &filters, const QString &chosen)
    {
        if (filters.contains(chosen))
            return chosen;
        for (const QString &filter : filters) {
            if (filter.startsWith(chosen + QStringLiteral(" (")))
                return filter;
        }
        return chosen;
    }

    // Qt's own dialog on every platform, so that the product's filter labels show as written.
    std::optional<FileDialogAnswer> runFileDialog(
        QWidget *parent, const FileDialogRequest &request, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        // A typed name of a missing file is handed back: opening it then reports the error.
        dialog.setFileMode(QFileDialog::AnyFile);
        if (mode == QFileDialog::AcceptOpen) {
            // The open filters carry their pattern after the product's label
            // ("Arquivo de texto (*txt) (*.txt)"): only the label is shown.
            dialog.setOption(QFileDialog::HideNameFilterDetails);
        } else {
            // Replacing a file needs no confirmation.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            dialog.setDefaultSuffix(request.defaultSuffix);
        }
        dialog.setNameFilters(request.filters);
        if (!request.selectedFilter.isEmpty())
            dialog.selectNameFilter(request.selectedFilter);
        if (!request.proposedName.isEmpty())
            dialog.selectFile(request.proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return FileDialogAnswer { dialog.selectedFiles().constFirst(),
            requestedFilter(request.filters, dialog.selectedNameFilter()) };
    }

    void showMessage(QWidget *parent, const QString &text, QMessageBox::Icon icon)
    {
        QMessageBox box(icon, kApplicationTitle, text, QMessageBox::Ok, parent);
        box.exec();
    }

} // namespace

std::optional<FileDialogAnswer> QtUserDialogs::openFile(
    QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogAnswer> QtUserDialogs::saveFile(
    QWidget *parent, const FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

void QtUserDialogs::information(QWidget *parent, const QString &text)
{
    showMessage(parent, text, QMessageBox::NoIcon);
}

void QtUserDialogs::error(QWidget *parent, const QString &text)
{
    showMessage(parent, text, QMessageBox::Critical);
}

std::optional<SpreadsheetChoice> UserDialogs::spreadsheetChoice(
    QWidget *, const SpreadsheetChoice &)
{
    return std::nullopt;
}

std::optional<SpreadsheetChoice> QtUserDialogs::spreadsheetChoice(
    QWidget *parent, const SpreadsheetChoice &proposed)
{
    ExportDialog dialog(parent);
    dialog.setChoice(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

bool UserDialogs::print(QWidget *, QPrinter &, bool)
{
    return false;
}

bool QtUserDialogs::print(QWidget *parent, QPrinter &printer, bool hasSelection)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setPrintRange(
        hasSelection ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

bool UserDialogs::question(QWidget *, const QString &)
{
    return false;
}

bool QtUserDialogs::question(QWidget *parent, const QString &text)
{
    QMessageBox box(
        QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace koravel
