#include "jvm/vm_creation.h"

#include <vector>

#include "jvm/java_streams.h"
#include "jvm/java_text.h"
#include "jvm/jdk11_init_args.h"
#include "launcher/launcher.h"
#include "messages/messages.h"
#include "messages/trace.h"

namespace korvan {

// The VM was built with these sizes; a machine header that disagrees (the
// JDK's Linux jni_md.h under mingw makes jlong 32 bits) breaks every call.
static_assert(sizeof(jint) == 4 && sizeof(jlong) == 8 && sizeof(jchar) == 2,
              "JNI types must have the sizes the VM uses");

namespace {

// Points System.out or System.err (by `setter`) at a new file. False when a
// step yielded nothing; its exception, if any, is still pending then.
bool RedirectStream(JNIEnv* env, const std::wstring& path, const char* setter) {
  jstring file_name = NewJavaString(env, path);
  if (file_name == nullptr) return false;
  jclass file_stream_class = env->FindClass("java/io/FileOutputStream");
  if (file_stream_class == nullptr) return false;
  jmethodID file_stream_constructor =
      env->GetMethodID(file_stream_class, "<init>", "(Ljava/lang/String;)V");
  if (file_stream_constructor == nullptr) return false;
  // Replaces an existing file; a relative name is the VM's to resolve.
  jobject file_stream = env->NewObject(file_stream_class, file_stream_constructor, file_name);
  if (file_stream == nullptr) return false;
  jobject print_stream = NewPrintStream(env, file_stream);
  if (print_stream == nullptr) return false;
  jclass system_class = env->FindClass("java/lang/System");
  if (system_class == nullptr) return false;
  jmethodID set_stream = env->GetStaticMethodID(system_class, setter, "(Ljava/io/PrintStream;)V");
  if (set_stream == nullptr) return false;
  env->CallStaticVoidMethod(system_class, set_stream, print_stream);
  DescribePendingException(env);
  return true;
}

void RedirectStandardStream(JNIEnv* env, const std::wstring& path, const char* setter,
                            const std::wstring& stream_name) {
  if (path.empty()) return;
  Trace(L"the VM's " + stream_name + L" goes to " + path);
  // A stream that cannot be redirected stays as the VM set it up; the run goes on.
  if (!RedirectStream(env, path, setter)) DescribePendingException(env);
}

}  // namespace

std::uint64_t DefaultJavaStackSize(const Launcher& launcher) {
  JDK1_1InitArgs defaults{};
  defaults.version = JNI_VERSION_1_1;
  // Only the stack size is of use: VMs that no longer support version 1.1
  // report an error but still fill it in.
  launcher.get_default_java_vm_init_args(&defaults);
  return defaults.javaStackSize > 0 ? static_cast<std::uint64_t>(defaults.javaStackSize) : 0;
}

std::wstring CreationFailureReason(jint code) {
  switch (code) {
    case JNI_ERR: return LookupMessage(MessageId::ReasonUnknown);
    case JNI_EDETACHED: return LookupMessage(MessageId::ReasonThreadDetached);
    case JNI_EVERSION: return LookupMessage(MessageId::ReasonJniVersion);
    case JNI_ENOMEM: return LookupMessage(MessageId::ReasonNotEnoughMemory);
    case JNI_EEXIST: return LookupMessage(MessageId::ReasonVmAlreadyCreated);
    case JNI_EINVAL: return LookupMessage(MessageId::ReasonInvalidArguments);
    default: return std::wstring();
  }
}

bool CreateVm(Launcher& launcher) {
  std::vector<JavaVMOption> options(launcher.vm_options.size());
  for (std::size_t i = 0; i < options.size(); ++i) {
    options[i].optionString = const_cast<char*>(launcher.vm_options[i].c_str());
    options[i].extraInfo = nullptr;
  }
  JavaVMInitArgs arguments{};
  arguments.version = JNI_VERSION_1_2;
  arguments.nOptions = static_cast<jint>(options.size());
  arguments.options = options.data();
  arguments.ignoreUnrecognized = JNI_FALSE;  // an option the VM does not know is an error

  const jint result = launcher.create_java_vm(
      &launcher.vm, reinterpret_cast<void**>(&launcher.env), &arguments);
  if (result != JNI_OK) {
    launcher.vm = nullptr;  // nothing for the teardown to destroy
    launcher.env = nullptr;
    ReportError(MessageId::JniExceptionWithReason,
                {LookupMessage(MessageId::CreateVmFailed), CreationFailureReason(result)});
    return false;
  }
  RedirectStandardStream(launcher.env, launcher.output_file, "setOut", L"standard output");
  RedirectStandardStream(launcher.env, launcher.error_file, "setErr", L"standard error");
  return true;
}

}  // namespace korvan
