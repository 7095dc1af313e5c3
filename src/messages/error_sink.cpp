#include "messages/error_sink.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/error_stream.h"
#include "platform/text.h"
#include "platform/windowed_program.h"

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

std::wstring ErrorBoxText(const Failure& failure) {
  std::wstring text = failure.silent() ? std::wstring() : ErrorLineText(failure.text);
  if (!failure.detail.empty()) text += L"\n" + failure.detail;
  if (!failure.described.empty()) text += (text.empty() ? L"" : L"\n\n") + failure.described;
  return text;
}

void UseErrorBoxSink(const std::wstring& title) {
  SetErrorSink([title](const Failure& failure) {
    WriteErrorLine(failure);
    const std::wstring text = ErrorBoxText(failure);
    if (!text.empty()) platform::ShowErrorBox(title, text);
  });
}

}  // namespace korvan
