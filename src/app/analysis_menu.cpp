// The handlers of the analysis and names commands of the main window.
#include "analysis_menu.h"

#include "DiallelAnalysisWindow.h"
#include "DiallelMatrixWindow.h"
#include "Unit1.h"
#include "analysis/line_names.h"
#include "dialogs.h"
#include "koravel_application.h"
#include "named_file_writer.h"
#include "numtext/error.h"
#include "qt_text.h"
#include "session.h"

#include <QAction>

namespace koravel {

namespace {

    // Owned by the main window; the analysis window is made on first use.
    class AnalysisCommands : public QObject
    {
    public:
        AnalysisCommands(TForm1 *window, Session &session, UserDialogs &dialogs)
            : QObject(window)
            , m_window(window)
            , m_session(session)
            , m_dialogs(dialogs)
        {
        }

        QAction *command(const QString &name, const QString &text, void (AnalysisCommands::*run)())
        {
            auto *action = new QAction(text, m_window);
            action->setObjectName(name);
            connect(action, &QAction::triggered, this,
                [this, run] { runHandler(m_window, m_dialogs, [this, run] { (this->*run)(); }); });
            return action;
        }

        void showAnalysis()
        {
            // The prediction buttons come on with the first import.
            if (!m_window->BitBtn1->isEnabled()) {
                m_dialogs.information(
                    m_window, QStringLiteral("Importe os dados para fazer a análise dialélica."));
                return;
            }
            if (!m_analysis)
                m_analysis = new DiallelAnalysisWindow(m_dialogs, m_window);
            try {
                m_analysis->showAnalysis(m_session);
            } catch (const Error &error) {
                // A value written with the other decimal separator: the error as a prediction
                // shows it, then the way out.
                const std::string hint =
                    decimalSeparatorHint(error.message(), m_session.formatSettings());
                if (hint.empty())
                    throw;
                showHandlerError(m_window, m_dialogs, std::current_exception());
                m_dialogs.information(m_window, toQt(hint));
            }
        }

        void loadNames()
        {
            static const QStringList filters { QStringLiteral("Arquivo de texto (*.txt)"),
                QStringLiteral("Todos os arquivos (*)") };
            const FileDialogRequest request { filters, m_lastFile, filters.constFirst(), {} };
            const auto answer = m_dialogs.openFile(m_window, request);
            if (!answer)
                return;
            m_lastFile = answer->fileName;
            // The file is read whole before the session's names change.
            LineNames names;
            writeNamedFile(answer->fileName,
                [&names](const std::string &path) { names = LineNames::read(path); });
            const std::string file = names.empty() ? std::string() : fromQt(answer->fileName);
            m_session.setLineNames(std::move(names), file);
            const LineNames &loaded = m_session.lineNames();
            if (m_analysis)
                m_analysis->setLineNames(loaded, m_session.lineNamesFile());
            auto *matrix = m_window->findChild<DiallelMatrixWindow *>();
            if (matrix && matrix->isVisible())
                matrix->showMatrix(m_session);
            m_dialogs.information(m_window,
                loaded.empty()
                    ? QStringLiteral("O arquivo %1 não traz nomes: as linhagens ficam "
                                     "sem nome.")
                          .arg(answer->fileName)
                    : QStringLiteral("Nomes das linhagens lidos de %1.").arg(answer->fileName));
        }

    private:
        TForm1 *m_window;
        Session &m_session;
        UserDialogs &m_dialogs;
        DiallelAnalysisWindow *m_analysis = nullptr;
        QString m_lastFile;
    };

} // namespace

QList<QAction *> analysisCommands(TForm1 *window, Session &session, UserDialogs &dialogs)
{
    auto *commands = new AnalysisCommands(window, session, dialogs);
    return { commands->command(QStringLiteral("Analisedialelica1"),
                 QStringLiteral(".:: Análise dialélica ::."), &AnalysisCommands::showAnalysis),
        commands->command(QStringLiteral("Nomesdaslinhagens1"),
            QStringLiteral(".:: Nomes das linhagens ::."), &AnalysisCommands::loadNames) };
}

} // namespace koravel
