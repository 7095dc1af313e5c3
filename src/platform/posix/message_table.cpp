#include "platform/message_table.h"

#include "platform/posix/linux_wording.h"

namespace korvan::platform {

namespace {

struct MessageEntry {
  int id;
  const wchar_t* text;
};

constexpr MessageEntry kMessages[] = {
#define KORVAN_MESSAGE(id, name, text) {id, L"" text},
#include "platform/message_texts.inc"
#undef KORVAN_MESSAGE
};

}  // namespace

std::wstring LoadMessageText(int id) {
  if (const wchar_t* linux_text = LinuxMessageText(id)) return linux_text;
  for (const MessageEntry& entry : kMessages) {
    if (entry.id == id) return entry.text;
  }
  return std::wstring();
}

}  // namespace korvan::platform
