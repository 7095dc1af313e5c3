#pragma once
// Who may take part in the Windows rendezvous: its named objects live in the
// session's own namespace and only the current user may open them; one that
// another user created first under the same name is not used, and a second
// start hands its arguments only to a process that runs this executable as
// this user.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/instance_block.h"

namespace korvan::platform::instance_block {

// The session-local kernel object name of the rendezvous `name` and `suffix`.
std::wstring SessionObjectName(const std::wstring& name, const wchar_t* suffix);

// A security descriptor whose owner is the current user, whose DACL lets
// only that user in, and whose integrity label keeps out that user's
// processes of a lower level. Objects are made with it, or not at all.
class UserOnlySecurity {
 public:
  UserOnlySecurity();
  UserOnlySecurity(const UserOnlySecurity&) = delete;
  UserOnlySecurity& operator=(const UserOnlySecurity&) = delete;
  // Null when the user's identity could not be read.
  SECURITY_ATTRIBUTES* attributes() { return valid_ ? &attributes_ : nullptr; }

 private:
  std::vector<BYTE> user_;
  std::vector<BYTE> acl_;
  std::vector<BYTE> label_;
  std::vector<BYTE> sacl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool valid_ = false;
};

// The named objects of the rendezvous, created with `security`, or opened
// when they exist already. Null when that fails or when the existing object
// belongs to another user. `existed` tells which.
Handle CreateUserMapping(UserOnlySecurity& security, const std::wstring& name, DWORD size,
                         bool& existed);
Handle CreateUserEvent(UserOnlySecurity& security, const std::wstring& name, bool manual_reset);
Handle CreateUserMutex(UserOnlySecurity& security, const std::wstring& name);

// Whether `process` (opened with PROCESS_QUERY_LIMITED_INFORMATION) runs
// this process's executable file as this process's user.
bool RunsThisLauncherAsThisUser(HANDLE process);

}  // namespace korvan::platform::instance_block
