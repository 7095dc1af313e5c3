#pragma once
// The named shared block of the single-instance rendezvous on Windows and the
// identity block beside it (their layout: instance_channel.cpp), with the
// handle and view owners both sides use.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace korvan::platform::instance_block {

constexpr DWORD kBlockSize = 1052;
constexpr DWORD kIdentitySize = 16;
constexpr std::size_t kAreaOffset = 12;
constexpr std::size_t kAreaSize = 1040;
constexpr std::size_t kCreationOffset = 0;
constexpr std::size_t kPendingTagOffset = 8;

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset(other.handle_);
      other.handle_ = nullptr;
    }
    return *this;
  }
  ~Handle() { Reset(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

class View {
 public:
  explicit View(void* address = nullptr) : address_(static_cast<std::uint8_t*>(address)) {}
  View(const View&) = delete;
  View& operator=(const View&) = delete;
  ~View() { Reset(); }
  void Reset(void* address = nullptr) {
    if (address_ != nullptr) UnmapViewOfFile(address_);
    address_ = static_cast<std::uint8_t*>(address);
  }
  explicit operator bool() const { return address_ != nullptr; }
  volatile LONG* field(std::size_t offset) const {
    return reinterpret_cast<volatile LONG*>(address_ + offset);
  }
  volatile LONG64* field64(std::size_t offset) const {
    return reinterpret_cast<volatile LONG64*>(address_ + offset);
  }
  std::uint8_t* area() const { return address_ + kAreaOffset; }

 private:
  std::uint8_t* address_;
};

inline DWORD ReadField(const View& view, std::size_t offset) {
  return static_cast<DWORD>(InterlockedCompareExchange(view.field(offset), 0, 0));
}

}  // namespace korvan::platform::instance_block
