// The main window: the single-cross table, the number of lines with its spin control, the
// reciprocal option, the two prediction buttons, the counts and the progress bar.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

#include "report/report_line.h"
#include "table/import.h"
#include "ui_Unit1.h"

class TForm2;
class TForm3;
class DiallelMatrixWindow;
class HelpWindow;

namespace koravel {
class GridModel;
class Session;
class UpDown;
class UserDialogs;
class WidgetProgress;
} // namespace koravel

// A view of the session: the table, the field and the option write through to it. A handler is
// wiring: it calls the session or the core and shows the result. Errors propagate out of the
// handlers; the connections run them through runHandler, which shows them.
class TForm1 : public QMainWindow,
               public Ui::TForm1,
               private koravel::ImportControls,
               private koravel::MessageSink
{
    Q_OBJECT
public:
    TForm1(koravel::Session &session, koravel::UserDialogs &dialogs, QWidget *parent = nullptr);
    ~TForm1() override;

    // The report window that the predictions write into and the about window of the menu.
    void setOtherWindows(TForm2 &report, TForm3 &about);

    // Memo1: the text of the last file imported, kept until the next import.
    const std::string &lineBuffer() const { return m_lineBuffer; }

    // The open-dialog filters: the product's label, then the pattern Qt uses.
    static const QStringList &openFilters();

public slots:
    void Importardados1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void UpDown1Changing();
    void Opcoes1Click();
    void Matrizdialelica1Click();
    void Ultimorelatorio1Click();
    void Ajuda1Click();
    void Sobre1Click();
    void Sair1Click();

signals:
    // The main window was closed: the program ends, whatever else is open.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildStatusBar();
    void wireCommands();
    void FormCreate();
    void wire();
    void showFixedCells();
    void runPrediction(koravel::HybridKind kind);

    // ImportControls and MessageSink
    std::optional<std::string> chooseFile() override;
    void setLineBuffer(std::string text) override;
    void enablePredictions() override;
    void information(const std::string &message) override;

    koravel::Session &m_session;
    koravel::UserDialogs &m_dialogs;
    koravel::GridModel *m_model = nullptr;
    std::unique_ptr<koravel::WidgetProgress> m_progress;
    std::string m_lineBuffer;
    QString m_lastOpenName;
    QString m_lastOpenFilter;
    TForm2 *m_report = nullptr;
    TForm3 *m_about = nullptr;
    DiallelMatrixWindow *m_matrixWindow = nullptr; // made on first use
    HelpWindow *m_help = nullptr; // made on first use
    bool m_centred = false;
};
