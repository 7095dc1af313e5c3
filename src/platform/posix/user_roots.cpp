#include "platform/user_roots.h"

#include <sys/stat.h>

#include "platform/environment.h"
#include "platform/posix/own_folder.h"
#include "platform/text.h"

namespace korvan::platform {

namespace {

// The folder itself, or while it does not exist yet, the nearest folder above
// it, where it would be made.
std::string ExistingFolderAtOrAbove(std::string path) {
  struct stat status {};
  while (path.size() > 1 && lstat(path.c_str(), &status) != 0) {
    const std::size_t last = path.rfind('/', path.size() - 2);
    path = last == 0 ? "/" : path.substr(0, last);
  }
  return path;
}

// Why the absolute path `root` may not serve this user; empty when it may.
std::wstring WhyNotUsable(const std::wstring& root) {
  const std::string existing = ExistingFolderAtOrAbove(NarrowFromWide(root));
  const std::wstring why = WhyNotOwnFolder(existing, S_IWGRP | S_IWOTH);
  if (why.empty() || existing == NarrowFromWide(root)) return why;
  return L"would be made in " + WideFromNarrow(existing) + L", which " + why;
}

// $<variable> when it is an absolute path, else $HOME/<home_folder>, as the
// XDG base directory rules say; none when that one is not this user's own
// or others may write to it. A root that the user chose and that does not
// do is never swapped for the default: none is the safe answer.
UserRoot ChosenOrDefaultRoot(const wchar_t* variable, const wchar_t* home_folder) {
  UserRoot root;
  std::wstring source = L"$" + std::wstring(variable);
  std::wstring path = ReadEnvironmentVariable(variable).value_or(L"");
  if (!path.empty() && path[0] != L'/') {
    root.passed_over.push_back(source + L" " + path + L" is not an absolute path");
    path.clear();
  }
  if (path.empty()) {
    const std::wstring home = ReadEnvironmentVariable(L"HOME").value_or(L"");
    if (home.empty()) return root;
    source = L"$HOME/" + std::wstring(home_folder);
    path = home + L"/" + home_folder;
  }
  const std::wstring why = WhyNotUsable(path);
  if (why.empty()) {
    root.path = path;
  } else {
    root.passed_over.push_back(source + L" " + path + L" " + why);
  }
  return root;
}

}  // namespace

UserRoot UserSettingsRoot() { return ChosenOrDefaultRoot(L"XDG_CONFIG_HOME", L".config"); }

UserRoot UserCacheRoot() { return ChosenOrDefaultRoot(L"XDG_CACHE_HOME", L".cache"); }

}  // namespace korvan::platform
