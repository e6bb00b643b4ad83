// The command line of koravel-cli: what to run, read from the arguments, and its usage texts.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "diallel_options.h"
#include "export_options.h"
#include "prediction/lookup.h"

namespace koravel::cli {

enum class Command { DoubleCrosses, ThreeWayCrosses, Counts, Diallel, Help, Version };

struct Options
{
    Command command = Command::Help;
    std::string dataFile; // the path exactly as given
    std::string linesText; // hd/ht: the --lines text; counts: N. Latin-1, as the field holds it
    Reciprocals reciprocals = Reciprocals::Distinct;
    std::optional<char> decimalSeparator; // the locale's symbol when not given
    bool cleanUp = false;
    std::optional<std::string> outputPath;
    bool noReport = false; // only the ranking (--ranking, --xlsx), without working out the report
    ExportOptions exports; // the ranking and the spreadsheets, when asked for
    DiallelOptions diallel; // dialelo: the trial's error and the names of the lines
};

// Bad usage: the message says what is wrong, in Portuguese (UTF-8).
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name. Only "--name", "--name=value" and "-h" are options,
// so a negative number such as "-5" is an ordinary argument; "--" ends the options.
//   {"hd", "d.txt", "--lines", "6"}          -> DoubleCrosses, "d.txt", "6", Distinct
//   {"ht", "d.txt", "--lines=6", "--reciprocals", "não"} -> ThreeWayCrosses, Either
//   {"counts", "5"}                          -> Counts, linesText "5"
//   {"dialelo", "d.txt", "--lines", "9", "--csv", "a.csv"} -> Diallel, exports.csvPath "a.csv"
//   {"--version"}                            -> Version (whatever else is given, as --help)
//   {"hd", "d.txt"}                          -> UsageError (no --lines)
//   {"hd", "d.txt", "--lines", "6", "--decimal-separator", ",,"} -> UsageError
Options parseOptions(std::span<const std::string_view> arguments);

// "sim" -> Distinct; "nao" or "não" -> Either (capitals allowed); anything else -> nothing.
std::optional<Reciprocals> reciprocalsFromText(std::string_view text);
// One character: a byte below 128, or one UTF-8 character of Latin-1 (two bytes) -> its byte.
std::optional<char> separatorFromText(std::string_view text);

std::string_view usageText();
std::string_view helpText();

} // namespace koravel::cli
