// Standard error of koravel-cli.
#include "terminal_messages.h"

#include <cstdio>
#include <string>

#include "numtext/error.h"
#include "platform/system.h"
#include "table/text_encoding.h"

namespace koravel::cli {

std::string terminalText(std::string_view message)
{
    std::string text;
    text.reserve(message.size() + message.size() / 8);
    for (std::size_t i = 0; i < message.size();) {
        const auto lead = static_cast<unsigned char>(message[i]);
        const std::size_t length = lead < 0x80 ? 1
            : lead >= 0xC2 && lead <= 0xDF     ? 2
            : lead >= 0xE0 && lead <= 0xEF     ? 3
            : lead >= 0xF0 && lead <= 0xF4     ? 4
                                               : 0;
        const std::string_view piece = message.substr(i, length);
        if (length > 0 && piece.size() == length && isUtf8(piece)) {
            text += piece;
            i += length;
        } else {
            text += latin1ToUtf8(message.substr(i, 1));
            ++i;
        }
    }
    return text;
}

bool writeText(std::FILE *stream, std::string_view utf8)
{
    std::fflush(stream);
    if (platform::writeToConsole(stream == stdout ? 1 : 2, utf8))
        return true;
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

void printLine(std::string_view utf8)
{
    std::string line(utf8);
    line += '\n';
    writeText(stderr, line);
    std::fflush(stderr);
}

namespace {

    // The quoted Latin-1 text of an argument and the same argument as typed.
    std::string g_converted, g_typed;

} // namespace

void showConvertedAs(std::string_view latin1, std::string_view typed)
{
    g_converted = "'" + std::string(latin1) + "'";
    g_typed = "'" + std::string(typed) + "'";
}

void printError(std::string_view message)
{
    std::string text = withFinalStop(message);
    if (const std::size_t at = g_converted.empty() ? std::string::npos : text.find(g_converted);
        at != std::string::npos)
        text.replace(at, g_converted.size(), g_typed);
    printLine(terminalText(text));
}

void TerminalMessages::information(const std::string &message)
{
    if (!m_silent)
        printLine(terminalText(message));
}

} // namespace koravel::cli
