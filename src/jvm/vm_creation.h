#pragma once
// Pointing the new VM's standard output and error at files when the settings
// ask for it.

#include <jni.h>

#include <string>

namespace korvan {

// Empty paths leave a stream as the VM set it up; a stream that cannot be
// redirected is described and stays as it was: the run goes on.
void RedirectStandardStreams(JNIEnv* env, const std::wstring& output_file,
                             const std::wstring& error_file);

}  // namespace korvan
