// The import of a data file into the single-cross table, driven through small interfaces so
// that the main window, the command line and the tests run the one algorithm.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "table/data_file.h"
#include "report/size_limits.h"

namespace koravel {

class CellGrid;
class ProgressBar;

// The controls an import touches besides the table and the progress bar.
class ImportControls
{
public:
    virtual ~ImportControls() = default;
    // The file-open dialog: the chosen name, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFile() = 0;
    // The hidden line buffer receives the whole text of the file.
    virtual void setLineBuffer(std::string text) = 0;
    virtual void enablePredictions() = 0;
    virtual void information(const std::string &message) = 0;
};

inline constexpr const char *kNoFileLoaded = "nenhum arquivo carregado";

enum class ImportResult { Imported, Cancelled };

// Reads the chosen file whole, splits every line, and only then writes the table: on any error
// (Error with the product's message) the table, the buttons and the progress bar stay as they
// were. A completed import clears the cells earlier imports wrote, labels rows "HS 1".."HS m",
// stores fields 1..k of every line (k: fields of the first line), enables both prediction
// buttons and leaves the progress bar at 0. A cancelled dialog keeps the table and shows
// "nenhum arquivo carregado".
// Errors: "Cannot open file "<full path>". <reason>"; "Text exceeds memo capacity" for a file
// longer than maxTextBytes; "TProgressBar property out of range" for a file without lines;
// "List index out of bounds (n)" for a line of n fields when the first line has more; a
// Portuguese refusal (checkTableSize) for a table that would need more than memoryLimit.
// A file saved as UTF-8 or UTF-16 is read as the single-byte text it stands for.
ImportResult importDataFile(ImportControls &controls, CellGrid &grid, ProgressBar &progress,
    std::size_t maxTextBytes = kMaxTextBytes, std::uint64_t memoryLimit = windowMemoryLimit());

} // namespace koravel
