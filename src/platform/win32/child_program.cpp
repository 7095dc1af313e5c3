#include "platform/child_program.h"

#include <windows.h>

namespace korvan::platform {
namespace {

// One argument as CommandLineToArgvW and the C run-time split it again:
// quoted when it holds blanks or quotes, backslashes before a quote doubled.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!line.empty()) line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

ProgramExit RunProgram(const std::vector<std::wstring>& command, const std::wstring& working_folder,
                       const std::wstring& output_file) {
  ProgramExit result;
  if (command.empty()) return result;
  std::wstring line;
  for (const std::wstring& argument : command) AppendQuoted(line, argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!output_file.empty()) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    output = CreateFileW(output_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
      result.error = GetLastError();
      return result;
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process{};
  // No application name: CreateProcessW then searches the PATH for the first word.
  const BOOL created = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      working_folder.empty() ? nullptr : working_folder.c_str(), &startup,
                                      &process);
  if (!created) result.error = GetLastError();
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);  // the child holds its own copy
  if (!created) {
    result.not_found = result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND;
    return result;
  }
  result.started = true;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.hProcess, &code)) result.exit_code = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

}  // namespace korvan::platform
