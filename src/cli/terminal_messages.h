// Messages of koravel-cli on standard error, one line each, in the terminal's UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "prediction/prediction.h"

namespace koravel::cli {

// The core's own texts are Latin-1, but the paths in them are as the user typed them, in UTF-8.
// Each UTF-8 character is kept as it is and every other byte is read as Latin-1, so that both
// show right in one message (no Portuguese text of the program has a Latin-1 pair that reads as
// a UTF-8 character, such as "Ã©").
//   terminalText("Para c\xE1lculo") -> "Para cálculo" in UTF-8
//   terminalText("Cannot open file \"ação.txt\"...") -> unchanged
//   terminalText("s\xF3 h\xE1 1 MB livres para \"relatório.txt\"") -> "só há ... \"relatório.txt\""
std::string terminalText(std::string_view message);

// An argument handed to the core in Latin-1 loses the characters Latin-1 lacks ("日本" becomes
// "??"); an error that quotes the converted text ("'??' is not a valid integer value") then
// shows the argument as it was typed. Remembers the latest argument only.
void showConvertedAs(std::string_view latin1, std::string_view typed);

// Writes UTF-8 text to standard output or error: as UTF-16 to a Windows console, so that its
// accents show, and as the bytes themselves anywhere else (a terminal, a file, a pipe). False when
// not all of it was written.
bool writeText(std::FILE *stream, std::string_view utf8);

// Writes the line and a line feed to standard error.
void printLine(std::string_view utf8);
// An error as both front ends show it: with a final "." when its last character asks for one.
void printError(std::string_view message);

// The prediction's information messages ("Para cáculo de HDs o mínimo são 4 linhagens"); a
// silent one drops them, for a second run of the same prediction.
class TerminalMessages final : public MessageSink
{
public:
    explicit TerminalMessages(bool silent = false)
        : m_silent(silent)
    {
    }
    void information(const std::string &message) override;

private:
    bool m_silent;
};

} // namespace koravel::cli
