// Reading a data file: its bytes, its lines and the fields of a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace koravel {

inline constexpr std::size_t kMaxLineLength = 4096;

// The most text the import's line buffer holds: positions in it are 32-bit, as in the text
// area it stands for. A longer file raises "Text exceeds memo capacity".
inline constexpr std::size_t kMaxTextBytes = 0x7FFFFFFF;

// The reason given for a pipe, a device or anything else that is neither a file nor a folder.
inline constexpr const char *kNotRegularFile = "Not a regular file";

// The whole file, or Error "Cannot open file "<path>". <reason>": a folder gives "Is a
// directory", a pipe or a device "Not a regular file" (without waiting for a writer).
std::string readFileBytes(const std::string &path);
// The same, refusing a file longer than maxBytes with Error "Text exceeds memo capacity" before
// reading more than maxBytes + 1 bytes of it.
std::string readFileBytes(const std::string &path, std::size_t maxBytes);

// The full path that messages name: "data.txt" -> "/home/ana/data.txt" (from the working
// folder), "/tmp/./a.txt" -> "/tmp/a.txt".
std::string fullPath(const std::string &path);

// The file that a link names, so that a file written through it keeps the link; any other
// name is returned as it is.
std::string linkTarget(const std::string &fullName);

// Whether two paths name one existing file, through any link or hard link: the same device
// and inode. A path that names nothing is no other file.
bool sameFile(const std::string &a, const std::string &b);

// The text before its first NUL: textBeforeNul("ab\0c") -> "ab".
std::string_view textBeforeNul(std::string_view text);

// The lines of a text: the text ends at its first NUL; a line ends at CR LF, LF or CR; a line
// end at the very end does not begin a further line; only the first 4096 characters of a line
// are kept.
//   splitLines("1 2 3\r\n4 5 6\n") -> {"1 2 3", "4 5 6"}
//   splitLines("a\n\rb")           -> {"a", "", "b"}
//   splitLines("")                 -> {}
//   splitLines("\n")               -> {""}
std::vector<std::string_view> splitLines(std::string_view text);

// The fields of a line: runs of codes 1 to 32 separate; a field that begins with '"' is quoted
// and may hold blanks, doubled quotes standing for one.
//   splitFields("  1\t2  4.5 ")     -> {"1", "2", "4.5"}
//   splitFields("\"a b\"\"c\"x")    -> {"a b\"c", "x"}
//   splitFields("\"\" 3")           -> {"", "3"}
void splitFields(std::string_view line, std::vector<std::string> &fields);

} // namespace koravel
