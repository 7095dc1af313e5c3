#include "messages/messages.h"

#include "platform/message_table.h"
#include "platform/text.h"

namespace korvan {

std::wstring LookupMessage(MessageId id) {
  return platform::LoadMessageText(static_cast<int>(id));
}

namespace {

std::wstring ArgumentAsText(const MessageArgument* argument) {
  if (argument == nullptr) return std::wstring();
  if (const auto* text = std::get_if<std::wstring>(argument)) return *text;
  return std::to_wstring(std::get<std::int32_t>(*argument));
}

std::wstring ArgumentAsNumber(const MessageArgument* argument) {
  if (argument == nullptr) return L"0";
  if (const auto* number = std::get_if<std::int32_t>(argument)) return std::to_wstring(*number);
  return std::get<std::wstring>(*argument);
}

}  // namespace

std::wstring FormatMessageText(const std::wstring& format,
                               const std::vector<MessageArgument>& arguments) {
  std::wstring result;
  result.reserve(format.size());
  std::size_t next_argument = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const wchar_t c = format[i];
    const wchar_t kind = i + 1 < format.size() ? format[i + 1] : L'\0';
    if (c != L'%' || (kind != L's' && kind != L'd' && kind != L'%')) {
      result += c;
      continue;
    }
    ++i;
    if (kind == L'%') {
      result += L'%';
      continue;
    }
    const MessageArgument* argument =
        next_argument < arguments.size() ? &arguments[next_argument] : nullptr;
    ++next_argument;
    result += kind == L's' ? ArgumentAsText(argument) : ArgumentAsNumber(argument);
  }
  return result;
}

std::wstring FormatMessageById(MessageId id, const std::vector<MessageArgument>& arguments) {
  return FormatMessageText(LookupMessage(id), arguments);
}

std::wstring ErrorLineText(const std::wstring& message_text) {
  return L"Error: " + message_text + L" ";
}

std::string ErrorLine(const std::wstring& message_text) {
  return platform::NarrowFromWide(ErrorLineText(message_text)) + "\n";
}

}  // namespace korvan
