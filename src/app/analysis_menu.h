// The main window's commands of the diallel analysis and of the names of the lines.
#pragma once

#include <QList>

class QAction;
class TForm1;

namespace koravel {

class Session;
class UserDialogs;

// ".:: Análise dialélica ::." opens the analysis window on the session's table (once data are
// imported) and ".:: Nomes das linhagens ::." reads a names file into the session; the caller
// puts the two actions in its menu. Both belong to window and report errors through dialogs.
QList<QAction *> analysisCommands(TForm1 *window, Session &session, UserDialogs &dialogs);

} // namespace koravel
