#pragma once
// What the VM says while it is being created ("Unrecognized option: -Xfoo",
// "Error occurred during initialization of VM" and its reason) comes through
// its "vfprintf" hook. The windowed launcher hands the VM these hooks, so
// that its error box can carry those words: they are still written to
// standard error, and kept until the creation ends.

#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace korvan {

// The "vfprintf" hook: writes the VM's text to standard error and, while a
// creation runs, keeps it.
jint JNICALL CopyVmText(FILE* stream, const char* format, va_list arguments);

// The "exit" and "abort" hooks when the VM's text is kept: a VM that ends
// the process while it is being created ("Error occurred during
// initialization of VM", it cannot reserve its heap, say) never returns a
// failure, so the failure is reported from here. `next` is the run's own
// exit hook, if any, called after.
void BeginKeepingVmText(void(JNICALL* next)(jint));
void JNICALL ReportExitDuringCreation(jint code);
void JNICALL ReportAbortDuringCreation();

// Ends the keeping and returns what was kept.
std::wstring EndKeepingVmText();

}  // namespace korvan
