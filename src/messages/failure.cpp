#include "messages/failure.h"

namespace korvan {

Failure MessageFailure(MessageId id, const std::vector<MessageArgument>& arguments) {
  return Failure{FormatMessageById(id, arguments), std::wstring()};
}

Failure SystemFailure(MessageId inner, std::uint32_t error_code) {
  return MessageFailure(MessageId::WindowsException,
                        {LookupMessage(inner), static_cast<std::int32_t>(error_code)});
}

}  // namespace korvan
