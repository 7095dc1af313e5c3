#include "platform/runtime_layout.h"

namespace korvan::platform {

const RuntimeLayout& WindowsRuntimeLayout() {
  static const RuntimeLayout layout{
      L'\\',
      {
          {L"bin\\client\\jvm.dll", false},
          {L"bin\\classic\\jvm.dll", false},
          {L"bin\\hotspot\\jvm.dll", false},
          {L"bin\\server\\jvm.dll", true},
          {L"bin\\jrockit\\jvm.dll", false},
      },
      L"bin\\java.dll",
      L"jre64\\",
      L"jre\\",
      false,
      true,
      L"java.exe",
      L"bin\\splashscreen.dll",
  };
  return layout;
}

RuntimeLayout LinuxRuntimeLayout(const std::wstring& machine_folder) {
  return RuntimeLayout{
      L'/',
      {
          {L"lib/client/libjvm.so", false},
          {L"lib/server/libjvm.so", true},
          // JDK 8 and older keep the libraries below the machine's folder.
          {L"lib/" + machine_folder + L"/client/libjvm.so", false},
          {L"lib/" + machine_folder + L"/server/libjvm.so", true},
      },
      L"lib/libjava.so",
      L"jre64/",
      L"jre/",
      true,
      false,
      L"java",
      L"lib/libsplashscreen.so",
  };
}

}  // namespace korvan::platform
