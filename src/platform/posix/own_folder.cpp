#include "platform/posix/own_folder.h"

#include <unistd.h>

#include <cstdio>

#include "platform/text.h"

namespace korvan::platform {

namespace {

std::wstring Octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return WideFromNarrow(text);
}

}  // namespace

std::wstring WhyNotOwnFolder(const std::string& path, mode_t forbidden) {
  const uid_t user = geteuid();
  struct stat link {};
  struct stat folder {};
  if (lstat(path.c_str(), &link) != 0 || stat(path.c_str(), &folder) != 0) return L"cannot be read";
  if (!S_ISDIR(folder.st_mode)) return L"is not a folder";
  if (S_ISLNK(link.st_mode) && link.st_uid != user) {
    return L"is a symbolic link of user " + std::to_wstring(link.st_uid) + L", not of this user (" +
           std::to_wstring(user) + L")";
  }
  if (folder.st_uid != user) {
    return L"belongs to user " + std::to_wstring(folder.st_uid) + L", not to this user (" +
           std::to_wstring(user) + L")";
  }
  if ((folder.st_mode & forbidden) != 0) {
    return L"has mode " + Octal(folder.st_mode) + L": others may write to it";
  }
  return std::wstring();
}

}  // namespace korvan::platform
