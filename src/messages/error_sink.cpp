#include "messages/error_sink.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/error_stream.h"
#include "platform/text.h"

namespace korvan {
namespace {

ErrorSink& CurrentSink() {
  static ErrorSink sink;
  return sink;
}

void WriteFlushed(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

void SetErrorSink(ErrorSink sink) { CurrentSink() = std::move(sink); }

void ReportFailure(const Failure& failure) {
  if (failure.silent() && failure.described.empty()) return;
  if (CurrentSink()) {
    CurrentSink()(failure);
  } else {
    WriteErrorLine(failure);
  }
}

void WriteErrorLine(const Failure& failure) {
  if (failure.silent()) return;
  WriteFlushed(platform::ErrorLineStream(), ErrorLine(failure.text));
  if (!failure.detail.empty()) {
    WriteFlushed(stderr, "korvan: " + platform::NarrowFromWide(failure.detail) + "\n");
  }
}

}  // namespace korvan
