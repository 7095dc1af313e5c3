#pragma once
// Creating the VM inside the launcher's process, and pointing its standard
// output and error at files when the settings ask for it.

#include <jni.h>

#include <cstdint>
#include <string>

namespace korvan {

struct Launcher;

// The VM's default Java thread stack size in bytes, asked of the JVM library;
// 0 when it gives none.
std::uint64_t DefaultJavaStackSize(const Launcher& launcher);

// Creates the VM with the launcher's option list, on the calling thread, then
// redirects its streams. False (reported as message 203) when the VM refused;
// a failed redirection is described but does not fail creation.
bool CreateVm(Launcher& launcher);

// The reason text for a JNI_CreateJavaVM result; empty for unlisted codes.
std::wstring CreationFailureReason(jint code);

}  // namespace korvan
