// Messages of koravel-cli on standard error, one line each, in the terminal's UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "prediction/prediction.h"

namespace koravel::cli {

// The core's texts are Latin-1. A message that is already valid UTF-8 is left as it is, since
// then it holds a path or cell text typed in UTF-8 (plain ASCII reads the same either way).
//   terminalText("Para c\xE1lculo") -> "Para cálculo" in UTF-8
//   terminalText("Cannot open file \"ação.txt\"...") -> unchanged
std::string terminalText(std::string_view message);

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
