#pragma once
// Which settings text files the stamping tool takes: those that the settings
// reader reads as they were meant. A file that reads any other way (bytes
// that become U+FFFD, a second byte-order mark that would hide the first
// section header, UTF-16 written without its mark) is refused, saying why.

#include <optional>
#include <string>

namespace korvan {

// Nothing when `file_bytes` is a settings text the tool embeds faithfully:
// UTF-8 (with or without its byte-order mark), or UTF-16LE or UTF-16BE after
// their byte-order mark, well formed, with no NUL character and no second
// byte-order mark. Otherwise a short English reason, for the tool's message.
std::optional<std::string> SettingsTextFileProblem(const std::string& file_bytes);

}  // namespace korvan
