#pragma once
// How paths are written on this system.

#include <string>

namespace korvan::platform {

struct PathRules {
  wchar_t separator;  // L'\\' on Windows, L'/' elsewhere
  // Windows derives the settings file from the last "." anywhere in the
  // launcher path; elsewhere only the file name counts, and an executable
  // without "." gets ".ini" appended.
  bool extensionless_executables;
  // Windows joins an empty "Product Name" or "Product Code" into the per-user
  // settings path as an empty element (two separators in a row); elsewhere an
  // empty element is left out, as paths there are written.
  bool skips_empty_path_elements;
};

PathRules GetPathRules();

// The executable search path: its variable and the separator between entries,
// "Path" and ";" on Windows, "PATH" and ":" elsewhere. The same separator joins
// the entries of the VM's native library path.
struct SearchPathRules {
  const wchar_t* variable;
  wchar_t list_separator;
};

SearchPathRules GetSearchPathRules();

}  // namespace korvan::platform
