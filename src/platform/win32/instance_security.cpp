#include "platform/win32/instance_security.h"

#include <aclapi.h>

#include "platform/files.h"

namespace korvan::platform::instance_block {

namespace {

// The token information `kind` of `process`; empty when it cannot be read.
std::vector<BYTE> TokenInformationOf(HANDLE process, TOKEN_INFORMATION_CLASS kind) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
  Handle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, kind, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> information(size);
  if (!GetTokenInformation(token, kind, information.data(), size, &size)) return {};
  return information;
}

std::vector<BYTE> TokenUserOf(HANDLE process) { return TokenInformationOf(process, TokenUser); }

PSID SidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

// An object someone else made first under our name is theirs, whatever its
// DACL lets us do with it.
bool OwnedBy(HANDLE object, PSID user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool owned = owner != nullptr && EqualSid(owner, user);
  LocalFree(descriptor);
  return owned;
}

// `handle` when it was made now or is the current user's own; null otherwise.
Handle KeepIfOurs(HANDLE handle, bool existed) {
  Handle object(handle);
  if (!object || !existed) return object;
  std::vector<BYTE> user = TokenUserOf(GetCurrentProcess());
  if (user.empty() || !OwnedBy(object.get(), SidOf(user))) object.Reset();
  return object;
}

std::wstring ImagePath(HANDLE process) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process, 0, path.data(), &size)) {
      path.resize(size);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return L"";
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring SessionObjectName(const std::wstring& name, const wchar_t* suffix) {
  return L"Local\\" + name + suffix;
}

UserOnlySecurity::UserOnlySecurity() : user_(TokenUserOf(GetCurrentProcess())) {
  if (user_.empty()) return;
  PSID user = SidOf(user_);
  const DWORD acl_size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user);
  acl_.resize(acl_size);
  ACL* acl = reinterpret_cast<ACL*>(acl_.data());
  valid_ = InitializeAcl(acl, acl_size, ACL_REVISION) &&
           AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) &&
           InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorOwner(&descriptor_, user, FALSE) &&
           SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
  // This user's processes at a lower integrity level (a sandbox) may neither
  // read nor write the objects: they carry this process's own level.
  label_ = TokenInformationOf(GetCurrentProcess(), TokenIntegrityLevel);
  if (valid_ && !label_.empty()) {
    PSID level = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label_.data())->Label.Sid;
    const DWORD sacl_size = sizeof(ACL) + sizeof(SYSTEM_MANDATORY_LABEL_ACE) + GetLengthSid(level);
    sacl_.resize(sacl_size);
    ACL* sacl = reinterpret_cast<ACL*>(sacl_.data());
    valid_ = InitializeAcl(sacl, sacl_size, ACL_REVISION) &&
             AddMandatoryAce(sacl, ACL_REVISION, 0,
                             SYSTEM_MANDATORY_LABEL_NO_WRITE_UP | SYSTEM_MANDATORY_LABEL_NO_READ_UP,
                             level) &&
             SetSecurityDescriptorSacl(&descriptor_, TRUE, sacl, FALSE);
  }
  attributes_ = {sizeof attributes_, &descriptor_, FALSE};
}

Handle CreateUserMapping(UserOnlySecurity& security, const std::wstring& name, DWORD size,
                         bool& existed) {
  if (security.attributes() == nullptr) return Handle();
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, security.attributes(), PAGE_READWRITE,
                                      0, size, name.c_str());
  existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return KeepIfOurs(mapping, existed);
}

Handle CreateUserEvent(UserOnlySecurity& security, const std::wstring& name, bool manual_reset) {
  if (security.attributes() == nullptr) return Handle();
  HANDLE event = CreateEventW(security.attributes(), manual_reset, FALSE, name.c_str());
  return KeepIfOurs(event, GetLastError() == ERROR_ALREADY_EXISTS);
}

Handle CreateUserMutex(UserOnlySecurity& security, const std::wstring& name) {
  if (security.attributes() == nullptr) return Handle();
  HANDLE mutex = CreateMutexW(security.attributes(), FALSE, name.c_str());
  return KeepIfOurs(mutex, GetLastError() == ERROR_ALREADY_EXISTS);
}

bool RunsThisLauncherAsThisUser(HANDLE process) {
  std::vector<BYTE> theirs = TokenUserOf(process);
  std::vector<BYTE> ours = TokenUserOf(GetCurrentProcess());
  if (theirs.empty() || ours.empty() || !EqualSid(SidOf(theirs), SidOf(ours))) return false;
  const std::wstring their_image = ImagePath(process);
  const std::wstring our_image = ImagePath(GetCurrentProcess());
  if (their_image.empty() || our_image.empty()) return false;
  // Both spelled alike (case, short names) before they are compared.
  const std::wstring a = CanonicalPath(their_image);
  const std::wstring b = CanonicalPath(our_image);
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace korvan::platform::instance_block
