#pragma once
// The main section of a jar's manifest (META-INF/MANIFEST.MF), read as
// java.util.jar.Manifest reads it.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace korvan {

class ManifestAttributes {
 public:
  // Lines end at CR LF, LF or CR; a line that starts with a space continues
  // the one before (without that space); the main section ends at the first
  // empty line. "Name: value", names in any case, text in UTF-8; a repeated
  // name keeps its last value. Lines without ": " are passed over.
  static ManifestAttributes Parse(std::string_view text);

  // The value of `name` (any case); nothing when the section lacks it.
  std::optional<std::wstring> Get(std::wstring_view name) const;

 private:
  std::map<std::wstring, std::wstring> values_;  // names in lower case
};

}  // namespace korvan
