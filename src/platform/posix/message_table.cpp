#include "platform/message_table.h"

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
  for (const MessageEntry& entry : kMessages) {
    if (entry.id == id) return entry.text;
  }
  return std::wstring();
}

}  // namespace korvan::platform
