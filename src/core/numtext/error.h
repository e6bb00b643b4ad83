// The one error type of the core: it carries the product's message text exactly.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace koravel {

// Messages are single-byte Western European text, like every text of the core.
class Error : public std::exception
{
public:
    explicit Error(std::string message) : m_message(std::move(message)) { }
    const char *what() const noexcept override { return m_message.c_str(); }
    const std::string &message() const noexcept { return m_message; }

private:
    std::string m_message;
};

// Messages of the conversions and of the controls, with their placeholders filled in.
//   invalidIntegerMessage(" 12 ")   -> "' 12 ' is not a valid integer value"
//   invalidFloatMessage("2,5")      -> "'2,5' is not a valid floating point value"
//   propertyOutOfRangeMessage()     -> "TProgressBar property out of range"
//   listIndexMessage(0)             -> "List index out of bounds (0)"
std::string invalidIntegerMessage(std::string_view text);
std::string invalidFloatMessage(std::string_view text);
std::string propertyOutOfRangeMessage(std::string_view className = "TProgressBar");
std::string listIndexMessage(int index);
std::string cannotOpenFileMessage(std::string_view path, std::string_view reason);
std::string cannotCreateFileMessage(std::string_view path, std::string_view reason);
inline constexpr std::string_view kStreamWriteError = "Stream write error";
inline constexpr std::string_view kTextExceedsMemoCapacity = "Text exceeds memo capacity";
inline constexpr std::string_view kFloatingPointOverflow = "Floating point overflow";
inline constexpr std::string_view kFloatingPointDivisionByZero = "Floating point division by zero";
inline constexpr std::string_view kInvalidFloatingPointOperation = "Invalid floating point operation";

// The system's reason for a failed file operation, with trailing blanks, line breaks and
// full stops removed: systemReason(ENOENT) -> "No such file or directory".
std::string systemReason(int errnoValue);

// How both front ends show an error: a "." is appended when the last character's code is
// above that of ".".
//   withFinalStop("Stream write error")  -> "Stream write error."
//   withFinalStop("Falhou!")             -> "Falhou!"
//   withFinalStop("")                    -> ""
std::string withFinalStop(std::string_view message);

} // namespace koravel
