#include "launcher/service_host.h"

#include "launcher/launcher.h"
#include "messages/trace.h"

namespace korvan {

// Running as a Windows service is not built yet: such a launch ends with -1.
int RunAsService(Launcher&) {
  Trace(L"\"Application Type\" is \"service\", which this launcher cannot run yet");
  return -1;
}

}  // namespace korvan
