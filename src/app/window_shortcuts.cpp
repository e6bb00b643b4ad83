// The report and ranking windows' keys, set once where the windows are joined.
#include "window_shortcuts.h"

#include "RankingWindow.h"
#include "UntRelatorio.h"

#include <QAction>
#include <QKeySequence>

namespace koravel {

void setReportShortcuts(TForm2 &report)
{
    const std::pair<QAction *, const char *> keys[] = {
        { report.Salvar1, "Ctrl+S" },
        { report.LIMPAR1, "F8" },
        { report.Ordenar1, "F7" },
        { report.Exportar1, "Ctrl+E" },
        { report.Sair1, "Ctrl+W" },
        { report.Ranking->Exportar1, "Ctrl+E" },
        { report.Ranking->Sair1, "Ctrl+W" },
    };
    for (const auto &[action, key] : keys)
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
}

} // namespace koravel
