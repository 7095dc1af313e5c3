#include "instance/instance_guard.h"

#include <cstdint>
#include <utility>

#include "instance/argument_area.h"
#include "messages/trace.h"
#include "platform/files.h"

namespace korvan {

bool SingleInstanceWanted(const std::wstring& application_type,
                          const std::wstring& single_instance) {
  return application_type != L"service" && single_instance == L"yes";
}

std::wstring InstanceName(const std::wstring& launcher_path) {
  std::wstring name = launcher_path;
  for (wchar_t& c : name) {
    if (c == L'\\') c = L'_';
  }
  if (name.size() <= kLongestPlainInstanceName) return name;
  // 64-bit FNV-1a over the characters, letters folded to upper case.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (wchar_t c : name) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    hash = (hash ^ static_cast<std::uint32_t>(c)) * 0x100000001b3ULL;
  }
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring digest = L"korvan_";
  for (int shift = 60; shift >= 0; shift -= 4) digest += kDigits[(hash >> shift) & 0xF];
  return digest;
}

Expected<std::unique_ptr<platform::InstanceChannel>> OpenInstanceGuard(
    const SettingsSource& source, const std::vector<std::wstring>& arguments,
    platform::InstanceRequestHandler handler) {
  using Channel = std::unique_ptr<platform::InstanceChannel>;
  // The plain read: the embedded settings text has no say here.
  const std::wstring type = ReadProfileString(source.file_path, L"Application", L"Application Type");
  const std::wstring single = ReadProfileString(source.file_path, L"Application", L"Single Instance");
  if (!SingleInstanceWanted(type, single)) return Channel();

  // Every spelling of the launcher's path (case, short names) meets the same first instance.
  const std::wstring name = InstanceName(platform::CanonicalPath(source.launcher_path));
  Trace(L"single instance: rendezvous " + name);
  Channel channel = platform::OpenInstanceChannel(name);
  if (!channel) {
    Trace(L"single instance: the rendezvous cannot be set up; running without the guard");
    return Channel();
  }
  if (channel->first()) {
    if (!channel->Listen(std::move(handler))) {
      Trace(L"single instance: cannot listen for later starts; running without the guard");
      return Channel();
    }
    Trace(L"single instance: first instance");
    return Expected<Channel>(std::move(channel));
  }
  const std::optional<ArgumentArea> area =
      EncodeArgumentArea(ArgumentsToHandOver(arguments), platform::ArgumentAreaCapacity());
  if (!area) {
    Trace(L"single instance: the arguments do not fit the argument area");
    return SilentFailure();
  }
  switch (channel->HandOver(*area)) {
    case platform::HandOverResult::kHandedOver:
      break;
    case platform::HandOverResult::kFailed:
      Trace(L"single instance: the arguments could not be handed to the first instance");
      return SilentFailure();
    case platform::HandOverResult::kNotOurs:
      // Whoever made the rendezvous first gets nothing, and has no say in how this run ends.
      Trace(L"single instance: the rendezvous is held by a process that is not this launcher "
            L"run by this user; running without the guard");
      return Channel();
  }
  Trace(L"single instance: arguments handed to the first instance");
  return Expected<Channel>(std::move(channel));
}

}  // namespace korvan
