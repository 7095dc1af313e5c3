#pragma once
// The message table and the one form of the error line:
// "Error: " + formatted message + " \n".

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace korvan {

enum class MessageId : int {
#define KORVAN_MESSAGE(id, name, text) name = id,
#include "platform/message_texts.inc"
#undef KORVAN_MESSAGE
};

// A value for one placeholder: %s takes a wide string, %d a signed 32-bit integer.
using MessageArgument = std::variant<std::wstring, std::int32_t>;

// The text stored under `id`; an id that is not in the table gives an empty text.
std::wstring LookupMessage(MessageId id);

// Fills %s and %d placeholders in order ("%%" is a percent sign). Arguments are
// inserted as they are, never read as formats; a missing argument leaves an
// empty text (or 0) in its place, and a placeholder of the wrong kind takes the
// argument in its own kind's text form.
std::wstring FormatMessageText(const std::wstring& format,
                               const std::vector<MessageArgument>& arguments);

// The message `id` formatted with `arguments`.
std::wstring FormatMessageById(MessageId id, const std::vector<MessageArgument>& arguments = {});

// The whole error line for a message text, as it is written.
std::string ErrorLine(const std::wstring& message_text);

// The same line as wide text, without its line end, for a log that keeps lines.
std::wstring ErrorLineText(const std::wstring& message_text);

}  // namespace korvan
