#pragma once
// Where the Linux launcher words a message differently from the Windows one.
// The Windows texts name "Windows exception" and a last-error number; on Linux
// the failure is no Windows call, and the number there is an errno that is
// mostly 0 (dlopen and dlsym leave errno alone). The system's own explanation
// (dlerror) follows the error line instead.

namespace korvan::platform {

// The Linux text of message `id`, or nullptr when it reads as on Windows.
const wchar_t* LinuxMessageText(int id);

}  // namespace korvan::platform
