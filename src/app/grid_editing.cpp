// Copy, paste, undo and redo in the single-cross table.
#include "grid_editing.h"

#include "grid_model.h"
#include "koravel_application.h"
#include "qt_text.h"
#include "session.h"
#include "table/pasted_block.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace koravel {

GridEditing::GridEditing(QTableView &view, GridModel &model, Session &session, UserDialogs &dialogs)
    : QObject(&view)
    , m_view(view)
    , m_model(model)
    , m_session(session)
    , m_dialogs(dialogs)
{
    m_copy = new QAction(QStringLiteral("Copiar"), this);
    m_copy->setShortcut(QKeySequence::Copy);
    m_paste = new QAction(QStringLiteral("Colar"), this);
    m_paste->setShortcut(QKeySequence::Paste);
    m_undo = m_model.undoStack().createUndoAction(this, QStringLiteral("Desfazer"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = m_model.undoStack().createRedoAction(this, QStringLiteral("Refazer"));
    m_redo->setShortcuts(
        { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    for (QAction *action : { m_copy, m_paste, m_undo, m_redo }) {
        // The table's keys, not the window's: the other controls keep theirs.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view.addAction(action);
    }
    m_view.setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(m_copy, &QAction::triggered, this, &GridEditing::copy);
    connect(m_paste, &QAction::triggered, this,
        [this] { runHandler(&m_view, m_dialogs, [this] { paste(); }); });
}

void GridEditing::copy()
{
    QModelIndexList cells = m_view.selectionModel()->selectedIndexes();
    if (cells.isEmpty() && m_view.currentIndex().isValid())
        cells << m_view.currentIndex();
    if (cells.isEmpty())
        return;
    // The table selects one rectangle at a time.
    auto [left, top] = m_model.cellOf(cells.constFirst());
    int right = left, bottom = top;
    for (const QModelIndex &index : cells) {
        const auto [column, row] = m_model.cellOf(index);
        left = std::min(left, column);
        right = std::max(right, column);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
    QGuiApplication::clipboard()->setText(
        toQt(copiedBlock(m_session.grid(), left, top, right, bottom)));
}

void GridEditing::paste()
{
    QModelIndex current = m_view.currentIndex();
    if (!current.isValid())
        current = m_model.index(0, 0);
    if (!current.isValid())
        return;
    const auto [column, row] = m_model.cellOf(current);
    TableChange change = pasteChange(m_session.grid(), fromQt(QGuiApplication::clipboard()->text()),
        column, row, m_session.formatSettings());
    // The pasted cells are selected afterwards: those written with text, labels aside.
    int top = -1, bottom = -1, left = -1, right = -1;
    for (const TableChange::Cell &cell : change.cells) {
        if (cell.after.empty() || (cell.column == 0 && m_model.hasLabelColumn()))
            continue;
        top = top < 0 ? cell.row : std::min(top, cell.row);
        bottom = std::max(bottom, cell.row);
        left = left < 0 ? cell.column : std::min(left, cell.column);
        right = std::max(right, cell.column);
    }
    if (change.empty())
        return;
    m_model.pushChange(std::move(change), QStringLiteral("colagem"));
    emit pasted();
    if (top < 0)
        return;
    const QModelIndex first = m_model.indexOfCell(left, top);
    const QModelIndex last = m_model.indexOfCell(right, bottom);
    m_view.selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    m_view.selectionModel()->select(
        QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    m_view.scrollTo(last);
    m_view.scrollTo(first);
}

} // namespace koravel
