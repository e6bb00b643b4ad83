// Message texts of the core's one error type.
#include "numtext/error.h"

#include <cstring>

namespace koravel {

namespace {

    std::string quoted(std::string_view text, std::string_view rest)
    {
        std::string message;
        message.reserve(text.size() + rest.size() + 2);
        message += '\'';
        message += text;
        message += '\'';
        message += rest;
        return message;
    }

} // namespace

std::string invalidIntegerMessage(std::string_view text)
{
    return quoted(text, " is not a valid integer value");
}

std::string invalidFloatMessage(std::string_view text)
{
    return quoted(text, " is not a valid floating point value");
}

std::string propertyOutOfRangeMessage(std::string_view className)
{
    return std::string(className) + " property out of range";
}

std::string listIndexMessage(int index)
{
    return "List index out of bounds (" + std::to_string(index) + ")";
}

std::string cannotOpenFileMessage(std::string_view path, std::string_view reason)
{
    std::string message = "Cannot open file \"";
    message.append(path).append("\". ").append(reason);
    return message;
}

std::string cannotCreateFileMessage(std::string_view path, std::string_view reason)
{
    std::string message = "Cannot create file \"";
    message.append(path).append("\". ").append(reason);
    return message;
}

std::string systemReason(int errnoValue)
{
    std::string reason = std::strerror(errnoValue);
    while (!reason.empty()) {
        const char last = reason.back();
        if (last != ' ' && last != '\r' && last != '\n' && last != '.')
            break;
        reason.pop_back();
    }
    return reason;
}

std::string withFinalStop(std::string_view message)
{
    std::string shown(message);
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > static_cast<unsigned char>('.'))
        shown += '.';
    return shown;
}

} // namespace koravel
