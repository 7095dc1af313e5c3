#pragma once
// Options that the java command takes but the VM itself refuses, turned into
// what the VM takes, so that a command line copied from a java start script
// works in "Virtual Machine Parameters". Free of system calls: argument files
// are read through a function handed in.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// The text of an argument file named after "@"; nothing when it cannot be read.
using ReadArgumentFile = std::function<std::optional<std::wstring>(const std::wstring& path)>;

// Each "@file" token becomes the arguments of that file (files named inside a
// file are not read again); "@@x" stands for the option "@x";
// "--disable-@files" ends the reading of files and is itself left out. A file
// that cannot be read leaves its token as written, for the VM to refuse by name.
std::vector<std::wstring> ExpandArgumentFiles(const std::vector<std::wstring>& tokens,
                                              const ReadArgumentFile& read_file);

// The module options in their two-token form ("--add-opens", "X"; "-p", "X")
// become the one-token form "--add-opens=X", "--module-path=X"; "-server" and
// "-client" are left out (the settings choose the VM). Every other token stays.
std::vector<std::wstring> TranslateJavaCommandOptions(const std::vector<std::wstring>& tokens);

}  // namespace korvan
