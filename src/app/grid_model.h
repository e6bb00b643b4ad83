// The single-cross table as a Qt table model: a view over the core's CellGrid, not a copy.
#pragma once

#include <QAbstractTableModel>
#include <QUndoStack>

#include <utility>

namespace koravel {

class CellGrid;
struct TableChange;

// The grid's fixed heading row and label column are the view's headers; every other cell is a
// model cell, editable in place. When the grid lowers its fixed row or column to 0, that row or
// column becomes ordinary cells and the header is no longer shown.
//   grid cell (column c, row r)  <->  model index (r - fixedRows, c - fixedColumns)
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(CellGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Writes the text through to the grid and announces the changed cell; an edit that changes
    // the text can be undone.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The model index that shows a grid cell; invalid for a fixed or out-of-size cell.
    QModelIndex indexOfCell(int column, int row) const;
    // The grid cell (column, row) a model index shows.
    std::pair<int, int> cellOf(const QModelIndex &index) const;
    bool hasHeadingRow() const;
    bool hasLabelColumn() const;

    // Code that changes the grid behind the model (an import) runs between these two calls:
    // the views forget the old size and contents and read the grid anew, and what could be
    // undone before is forgotten. endGridChange does nothing when no change was begun.
    void beginGridChange();
    void endGridChange();

    // Edits and pastes, to undo and redo. text names the change in the undo and redo commands.
    QUndoStack &undoStack() { return m_undo; }
    void pushChange(TableChange change, const QString &text);
    // Makes the change (or undoes it) in the grid and tells the views; the undo stack's part.
    void showChange(const TableChange &change, bool undo);

private:
    int gridRow(int modelRow) const;
    int gridColumn(int modelColumn) const;

    CellGrid &m_grid;
    bool m_changing = false;
    QUndoStack m_undo;
};

} // namespace koravel
