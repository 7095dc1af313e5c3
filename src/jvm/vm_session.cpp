#include "jvm/vm_session.h"

#include "jvm/java_streams.h"
#include "jvm/jdk11_init_args.h"
#include "jvm/vm_text_capture.h"

namespace korvan {

// The VM was built with these sizes; a machine header that disagrees (the
// JDK's Linux jni_md.h under mingw makes jlong 32 bits) breaks every call.
static_assert(sizeof(jint) == 4 && sizeof(jlong) == 8 && sizeof(jchar) == 2,
              "JNI types must have the sizes the VM uses");

VmSession::~VmSession() {
  // The VM stays published while DestroyJavaVM waits for the application's
  // other threads: the application still runs, and threads may still attach.
  if (JavaVM* vm = vm_.load(std::memory_order_acquire)) {
    vm->DestroyJavaVM();
    vm_.store(nullptr, std::memory_order_release);
  }
}

std::uint64_t VmSession::DefaultJavaStackSize() const {
  JDK1_1InitArgs defaults{};
  defaults.version = JNI_VERSION_1_1;
  // Only the stack size is of use: VMs that no longer support version 1.1
  // report an error but still fill it in.
  functions_.get_default_java_vm_init_args(&defaults);
  return defaults.javaStackSize > 0 ? static_cast<std::uint64_t>(defaults.javaStackSize) : 0;
}

Expected<JNIEnv*> VmSession::Create(const std::vector<std::string>& options,
                                     void(JNICALL* exit_hook)(jint), bool keep_vm_text) {
  std::vector<JavaVMOption> vm_options(options.size());
  for (std::size_t i = 0; i < options.size(); ++i) {
    vm_options[i].optionString = const_cast<char*>(options[i].c_str());
    vm_options[i].extraInfo = nullptr;
  }
  if (keep_vm_text) {
    // First: the VM takes its hooks in order with the other options, and an
    // option before them could not be explained through them.
    BeginKeepingVmText(exit_hook);
    exit_hook = nullptr;
    vm_options.insert(vm_options.begin(),
                      {{const_cast<char*>("vfprintf"), reinterpret_cast<void*>(CopyVmText)},
                       {const_cast<char*>("exit"), reinterpret_cast<void*>(ReportExitDuringCreation)},
                       {const_cast<char*>("abort"), reinterpret_cast<void*>(ReportAbortDuringCreation)}});
  }
  if (exit_hook != nullptr) {
    vm_options.push_back({const_cast<char*>("exit"), reinterpret_cast<void*>(exit_hook)});
  }
  JavaVMInitArgs arguments{};
  arguments.version = JNI_VERSION_1_2;
  arguments.nOptions = static_cast<jint>(vm_options.size());
  arguments.options = vm_options.data();
  arguments.ignoreUnrecognized = JNI_FALSE;  // an option the VM does not know is an error

  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  const jint result =
      functions_.create_java_vm(&vm, reinterpret_cast<void**>(&env), &arguments);
  const std::wstring vm_said = keep_vm_text ? EndKeepingVmText() : std::wstring();
  if (result != JNI_OK) {
    Failure failure = MessageFailure(MessageId::JniExceptionWithReason,
                                     {LookupMessage(MessageId::CreateVmFailed), CreationFailureReason(result)});
    failure.described = vm_said;
    return failure;
  }
  vm_.store(vm, std::memory_order_release);
  return env;
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

AttachedThread::AttachedThread(const VmSession& session, AttachAs kind) : vm_(session.vm()) {
  if (vm_ == nullptr) return;
  void** env = reinterpret_cast<void**>(&env_);
  const jint attached = kind == AttachAs::Daemon ? vm_->AttachCurrentThreadAsDaemon(env, nullptr)
                                                 : vm_->AttachCurrentThread(env, nullptr);
  if (attached != JNI_OK) {
    env_ = nullptr;
  }
}

AttachedThread::~AttachedThread() {
  if (env_ == nullptr) return;
  DescribePendingException(env_);
  vm_->DetachCurrentThread();
}

}  // namespace korvan
