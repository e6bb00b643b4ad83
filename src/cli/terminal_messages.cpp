// Standard error of koravel-cli.
#include "terminal_messages.h"

#include <cstdio>

#include "error.h"
#include "text_encoding.h"

namespace koravel::cli {

namespace {

    bool isUtf8(std::string_view text)
    {
        std::size_t i = 0;
        while (i < text.size()) {
            const auto lead = static_cast<unsigned char>(text[i]);
            std::size_t length = 1;
            if (lead >= 0xC2 && lead <= 0xDF)
                length = 2;
            else if (lead >= 0xE0 && lead <= 0xEF)
                length = 3;
            else if (lead >= 0xF0 && lead <= 0xF4)
                length = 4;
            else if (lead >= 0x80)
                return false;
            if (i + length > text.size())
                return false;
            for (std::size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                    return false;
            i += length;
        }
        return true;
    }

} // namespace

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
