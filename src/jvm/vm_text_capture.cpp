#include "jvm/vm_text_capture.h"

#include <atomic>

#include "messages/error_sink.h"
#include "platform/text.h"

namespace korvan {

namespace {

// A VM says a few lines before it refuses; more is output of its own.
constexpr std::size_t kKeptTextLimit = 16 * 1024;

struct KeptText {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;  // VM threads may write at once; held only to append
  std::string text;
  std::atomic<bool> keeping{false};
  void(JNICALL* next_exit)(jint) = nullptr;
};

KeptText& Kept() {
  static KeptText kept;
  return kept;
}

// Held for a few instructions at most: no lock of the platform is needed.
class Holding {
 public:
  explicit Holding(KeptText& kept) : kept_(kept) {
    while (kept_.busy.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Holding() { kept_.busy.clear(std::memory_order_release); }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  KeptText& kept_;
};

}  // namespace

jint JNICALL CopyVmText(FILE*, const char* format, va_list arguments) {
  // The stream belongs to the VM's own C run-time, which may not be this
  // program's: the text is formatted here and written to this side's stderr.
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length <= 0) return length;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, arguments);
  text.pop_back();
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  KeptText& kept = Kept();
  if (kept.keeping.load()) {
    Holding holding(kept);
    if (kept.text.size() < kKeptTextLimit) kept.text += text;
  }
  return length;
}

void BeginKeepingVmText(void(JNICALL* next)(jint)) {
  KeptText& kept = Kept();
  Holding holding(kept);
  kept.text.clear();
  kept.next_exit = next;
  kept.keeping.store(true);
}

void JNICALL ReportAbortDuringCreation() {
  if (!Kept().keeping.load()) return;
  Failure failure = MessageFailure(MessageId::JniExceptionWithReason,
                                   {LookupMessage(MessageId::CreateVmFailed),
                                    LookupMessage(MessageId::ReasonUnknown)});
  failure.described = EndKeepingVmText();
  ReportFailure(failure);
}

void JNICALL ReportExitDuringCreation(jint code) {
  ReportAbortDuringCreation();
  if (Kept().next_exit != nullptr) Kept().next_exit(code);
}

std::wstring EndKeepingVmText() {
  KeptText& kept = Kept();
  Holding holding(kept);
  kept.keeping.store(false);
  std::string text;
  text.swap(kept.text);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return platform::WideFromNarrow(text);
}

}  // namespace korvan
