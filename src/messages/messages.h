#pragma once
// The message table and the one form in which failures reach the user:
// "Error: " + formatted message + " \n" on standard output.

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

// Writes the error line for message `id` to standard output with one write, and
// flushes it so that it comes before anything the VM or the process writes later.
void ReportError(MessageId id, const std::vector<MessageArgument>& arguments = {});

// The same for a message text already formatted.
void ReportErrorText(const std::wstring& message_text);

// Message 202 around an inner message: "Windows exception: <inner> (errno = <code>)."
void ReportSystemError(MessageId inner, std::uint32_t error_code);

}  // namespace korvan
