#pragma once
// A failure that ends the launch, carried up as a value to the one place that
// reports it: the launcher, through the error sink chosen at the entry.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "messages/messages.h"

namespace korvan {

struct Failure {
  // The formatted message; empty for a failure that was already shown another
  // way (the VM described an exception) or that has nothing to tell.
  std::wstring text;
  // The system's own words, shown after the message where it has them (dlerror).
  std::wstring detail;
  // What the VM already described on its standard error (an uncaught
  // exception's stack trace), kept for a log that never saw that stream.
  std::wstring described = {};

  bool silent() const { return text.empty(); }
};

// Message `id` formatted with `arguments`.
Failure MessageFailure(MessageId id, const std::vector<MessageArgument>& arguments = {});

// Message 202 around an inner message: "Windows exception: <inner> (errno = <code>)."
Failure SystemFailure(MessageId inner, std::uint32_t error_code);

// A failure that has nothing more to tell the user.
inline Failure SilentFailure() { return Failure{}; }

// A value, or the failure that prevented it.
template <typename T>
class Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}
  Expected(Failure failure) : failure_(std::move(failure)) {}

  explicit operator bool() const { return value_.has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const Failure& failure() const { return failure_; }

 private:
  std::optional<T> value_;
  Failure failure_;
};

// The outcome of a step that yields nothing: no failure is success.
using Outcome = std::optional<Failure>;

}  // namespace korvan
