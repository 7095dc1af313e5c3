#pragma once
// Windows keeps the message texts in the executable's string table; other
// systems compile them in. Both come from platform/message_texts.inc.

#include <string>

namespace korvan::platform {

// The text stored under `id`, or an empty text when there is none.
std::wstring LoadMessageText(int id);

}  // namespace korvan::platform
