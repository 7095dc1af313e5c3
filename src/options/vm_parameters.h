#pragma once
// The rules that turn the "Virtual Machine Parameters" and "Cmd" settings into
// VM options and application arguments. Free of system calls: the machine's
// memory figures come in as plain values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "options/java_command_options.h"
#include "options/java_launcher_options.h"
#include "platform/memory.h"

namespace korvan {

// Splits at runs of spaces (tabs do not separate). Spaces inside a pair of
// double quotes do not end a token; a doubled quote right after a closing quote
// belongs to the quoted stretch; an unmatched quote does not extend a token
// past the next space. Tokens keep their quotes.
std::vector<std::wstring> SplitVmParameters(const std::wstring& text);

// Removes each pair of double quotes; a doubled quote right after a closing
// quote leaves one quote in the text. An unmatched quote stays.
std::wstring UnquoteVmParameter(const std::wstring& token);

struct ProcessedVmParameters {
  std::vector<std::wstring> options;  // in the order of the setting
  std::uint64_t stack_size = 0;       // bytes; the last valid "-Xss" wins
  JavaLauncherRequests requests;      // what the java command's own options ask for
  std::optional<Failure> refusal;     // an option of the java command that is not taken
};

// Splits `text`, unquotes each token, puts the arguments of "@file" tokens in
// their place (when `read_file` is given), takes out the options that only
// the java command's launcher knows, turns its other options into the VM's own, rewrites percentage memory options and reads the thread
// stack size of "-Xss" tokens (which stay in the list). Tokens that end up
// empty are left out: the VM rejects an empty option. `stack_size` is the
// size to keep when no "-Xss" token sets one.
ProcessedVmParameters ProcessVmParameters(const std::wstring& text,
                                          const platform::MemoryFigures& figures,
                                          std::uint64_t stack_size,
                                          const ReadArgumentFile& read_file = {});

// Splits "Cmd": runs of spaces separate; a token that starts with a double
// quote runs to the next one (without both quotes, or to the end without the
// opening one) and the next token starts right after it. Empty tokens are
// left out.
std::vector<std::wstring> SplitExtraArguments(const std::wstring& text);

}  // namespace korvan
