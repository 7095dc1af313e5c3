#pragma once
// The VM thread's work: create the VM, find the main class, call its static
// main with the argument list, and report how it ended.

#include <jni.h>

#include <string>

namespace korvan {

struct Launcher;

// The VM thread's body: 0 when main ran and returned normally, 1 otherwise.
int RunVmWork(void* launcher);

// Calls the main class's static main on the VM thread and detaches the thread
// afterwards. False when main could not be called, ended with an uncaught
// exception, or the thread could not detach.
bool InvokeMain(Launcher& launcher);

// The stack trace of `thrown` as printStackTrace writes it; empty on any failure.
std::wstring CaptureStackTrace(JNIEnv* env, jthrowable thrown);

}  // namespace korvan
