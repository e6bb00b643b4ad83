// The single-cross table as an n x n diallel matrix: row i, column j holds the single cross
// i x j exactly as a prediction reads it, so a breeder sees which crosses are strong, weak or
// missing before predicting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prediction/lines_field.h"
#include "prediction/lookup.h"

namespace koravel {

class CellGrid;

// Where the number of lines n came from.
enum class LineCountSource {
    Field, // the number-of-lines text, when it is valid integer text of 2 or more
    LargestParent, // otherwise the largest parent number that reads in columns 1 and 2
};

// What a prediction makes of the single cross i x j.
enum class CrossState {
    Present, // in the table with a value other than zero
    Zero, // in the table with the value 0: a prediction takes it as missing (FALSO)
    Missing, // not in the table
    Diagonal, // i x i: no prediction asks for it, so it is not looked up
};

class DiallelMatrix
{
public:
    struct Cell
    {
        CrossState state = CrossState::Missing;
        double value = 0.0; // what the prediction reads: 0 when Missing or Diagonal
        std::string text; // the value cell of the row the prediction reads, as the table holds it
    };

    // The most lines a matrix shows: 90 000 lookups and a picture a screen can still hold.
    static constexpr int kMaxLines = 300;

    // Looks up every i x j, i != j, of lines 1 to n through the index the predictions use, with
    // the same reciprocal option and decimal separator. Raises the conversion Error that the
    // lookup raises (a parent or value cell that is not valid text), and an Error with
    // tooManyLinesMessage when n is above kMaxLines. n below 2 gives an empty matrix.
    //   rows (1, 2, "5.50"), (2, 3, "0"), field "3", Distinct:
    //     size 3, Field; (1,2) Present 5.5 "5.50"; (2,1) Missing; (2,3) Zero; (1,1) Diagonal;
    //     minimum = maximum = 5.5; count(Present) 1, count(Missing) 4
    //   the same with Either: (2,1) Present 5.5 and (3,2) Zero as well; count(Present) 1,
    //     count(Missing) 1 (1 x 3), since 1 x 2 and 2 x 1 are then one cross
    //   the same with field "abc" or "1": size 3, LargestParent
    //   rows (1, 2, "7x"): Error "'7x' is not a valid floating point value"
    DiallelMatrix(const CellGrid &grid, const LinesField &lines, Reciprocals reciprocals,
        const FormatSettings &settings);

    int size() const { return m_size; }
    LineCountSource lineCountSource() const { return m_source; }
    // 1 <= i, j <= size().
    const Cell &cell(int i, int j) const;

    // How many crosses are in that state. With reciprocals distinct every cell off the diagonal
    // is a cross of its own; otherwise i x j and j x i are the same cross, counted once. Diagonal
    // gives n.
    int count(CrossState state) const;
    // The smallest and largest Present value; empty when no cross is Present.
    std::optional<double> minimum() const { return m_minimum; }
    std::optional<double> maximum() const { return m_maximum; }

    // "A matriz dialélica mostra no máximo 300 linhagens (pedidas: 1000)."
    static std::string tooManyLinesMessage(std::int64_t lines);

private:
    int m_size = 0;
    LineCountSource m_source = LineCountSource::Field;
    Reciprocals m_reciprocals;
    std::vector<Cell> m_cells; // row by row
    std::optional<double> m_minimum;
    std::optional<double> m_maximum;
};

} // namespace koravel
