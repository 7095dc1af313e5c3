#include "options/java_command_options.h"

#include "options/argument_file.h"
#include "messages/trace.h"

namespace korvan {

namespace {

// The one-token name of a module option that the java command also takes as
// two tokens; nothing for any other token.
std::optional<std::wstring> JoinedModuleOption(const std::wstring& token) {
  static const wchar_t* const kTwoTokenOptions[] = {
      L"--add-opens",          L"--add-exports",   L"--add-reads",
      L"--add-modules",        L"--module-path",   L"--upgrade-module-path",
      L"--patch-module",       L"--limit-modules", L"--enable-native-access"};
  if (token == L"-p") return std::wstring(L"--module-path");
  for (const wchar_t* option : kTwoTokenOptions) {
    if (token == option) return token;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::wstring> ExpandArgumentFiles(const std::vector<std::wstring>& tokens,
                                              const ReadArgumentFile& read_file) {
  std::vector<std::wstring> expanded;
  bool reading = true;
  for (const std::wstring& token : tokens) {
    if (reading && token == L"--disable-@files") {
      reading = false;
      continue;
    }
    if (!reading || token.size() < 2 || token[0] != L'@') {
      expanded.push_back(token);
    } else if (token[1] == L'@') {
      expanded.push_back(token.substr(1));
    } else if (const std::optional<std::wstring> text = read_file(token.substr(1))) {
      Trace(L"VM parameters from argument file: " + token.substr(1));
      for (const std::wstring& argument : ParseArgumentFile(*text)) expanded.push_back(argument);
    } else {
      Trace(L"argument file cannot be read, left as written: " + token);
      expanded.push_back(token);
    }
  }
  return expanded;
}

std::vector<std::wstring> TranslateJavaCommandOptions(const std::vector<std::wstring>& tokens) {
  std::vector<std::wstring> translated;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::wstring& token = tokens[i];
    if (token == L"-server" || token == L"-client") {
      Trace(L"VM option left out: " + token + L" (\"JVM Type\" chooses the VM)");
      continue;
    }
    const std::optional<std::wstring> joined = JoinedModuleOption(token);
    if (joined && i + 1 < tokens.size()) {
      translated.push_back(*joined + L"=" + tokens[++i]);
    } else {
      translated.push_back(token);
    }
  }
  return translated;
}

}  // namespace korvan
