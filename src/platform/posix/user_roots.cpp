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

// Why `root`, named by `source`, may not serve this user; empty when it may.
// Only absolute paths count, as the XDG base directory rules say.
std::wstring WhyNotUsable(const std::wstring& root) {
  if (root.empty() || root[0] != L'/') return L"is not an absolute path";
  const std::string existing = ExistingFolderAtOrAbove(NarrowFromWide(root));
  const std::wstring why = WhyNotOwnFolder(existing, S_IWGRP | S_IWOTH);
  if (why.empty() || existing == NarrowFromWide(root)) return why;
  return L"would be made in " + WideFromNarrow(existing) + L", which " + why;
}

// $<variable> when set, else $HOME/<home_folder>: the first that this user
// owns and no one else can write to.
UserRoot FirstUsableRoot(const wchar_t* variable, const wchar_t* home_folder) {
  UserRoot root;
  const auto consider = [&root](const std::wstring& source, const std::wstring& path) {
    const std::wstring why = WhyNotUsable(path);
    if (why.empty()) {
      root.path = path;
      return true;
    }
    root.passed_over.push_back(source + L" " + path + L" " + why);
    return false;
  };
  const std::wstring chosen = ReadEnvironmentVariable(variable).value_or(L"");
  if (!chosen.empty() && consider(L"$" + std::wstring(variable), chosen)) return root;
  const std::wstring home = ReadEnvironmentVariable(L"HOME").value_or(L"");
  if (!home.empty()) consider(L"$HOME/" + std::wstring(home_folder), home + L"/" + home_folder);
  return root;
}

}  // namespace

UserRoot UserSettingsRoot() { return FirstUsableRoot(L"XDG_CONFIG_HOME", L".config"); }

UserRoot UserCacheRoot() { return FirstUsableRoot(L"XDG_CACHE_HOME", L".cache"); }

}  // namespace korvan::platform
