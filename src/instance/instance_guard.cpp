#include "instance/instance_guard.h"

#include <utility>

#include "instance/argument_area.h"
#include "messages/trace.h"

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
  return name;
}

Expected<std::unique_ptr<platform::InstanceChannel>> OpenInstanceGuard(
    const SettingsSource& source, const std::vector<std::wstring>& arguments,
    platform::InstanceRequestHandler handler) {
  using Channel = std::unique_ptr<platform::InstanceChannel>;
  // The plain read: the embedded settings text has no say here.
  const std::wstring type = ReadProfileString(source.file_path, L"Application", L"Application Type");
  const std::wstring single = ReadProfileString(source.file_path, L"Application", L"Single Instance");
  if (!SingleInstanceWanted(type, single)) return Channel();

  Channel channel = platform::OpenInstanceChannel(InstanceName(source.launcher_path));
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
  if (!channel->HandOver(*area)) {
    Trace(L"single instance: the arguments could not be handed to the first instance");
    return SilentFailure();
  }
  Trace(L"single instance: arguments handed to the first instance");
  return Expected<Channel>(std::move(channel));
}

}  // namespace korvan
