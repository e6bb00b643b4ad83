// Standard error of koravel-cli.
#include "terminal_messages.h"

#include <cstdio>

#include "numtext/error.h"
#include "table/text_encoding.h"

namespace koravel::cli {

std::string terminalText(std::string_view message)
{
    return isUtf8(message) ? std::string(message) : latin1ToUtf8(message);
}

void printLine(std::string_view utf8)
{
    std::string line(utf8);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void printError(std::string_view message)
{
    printLine(terminalText(withFinalStop(message)));
}

void TerminalMessages::information(const std::string &message)
{
    if (!m_silent)
        printLine(terminalText(message));
}

} // namespace koravel::cli
