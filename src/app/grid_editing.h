// Copy, paste, undo and redo in the single-cross table: their keys and the table's context menu.
#pragma once

#include <QObject>

class QAction;
class QTableView;

namespace koravel {

class GridModel;
class Session;
class UserDialogs;

// Ctrl+C copies the selection as tab-separated text; Ctrl+V pastes a tab-separated block (see
// pasteChange: a two-way table of single crosses, or rows from the current cell down), read
// with the session's decimal separator; Ctrl+Z undoes an edit or a paste, Ctrl+Y and
// Ctrl+Shift+Z redo it. While a cell is being edited the keys are the editor's.
class GridEditing : public QObject
{
    Q_OBJECT
public:
    GridEditing(QTableView &view, GridModel &model, Session &session, UserDialogs &dialogs);

    void copy();
    // A block that cannot be read raises an Error with its message, the table unchanged.
    void paste();

    QAction *copyAction() const { return m_copy; }
    QAction *pasteAction() const { return m_paste; }
    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }

signals:
    // A paste changed the table.
    void pasted();

private:
    QTableView &m_view;
    GridModel &m_model;
    Session &m_session;
    UserDialogs &m_dialogs;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};

} // namespace koravel
