#pragma once
// Memory sizes in VM parameters: shares of the machine's memory ("-Xmx50P") and
// the Java thread stack size ("-Xss512k").

#include <cstdint>
#include <optional>
#include <string>

#include "platform/memory.h"

namespace korvan {

// A token that starts with "-Xms", "-Xmx" or "-Xss" and ends with P or p (a
// share of the total physical memory) or T or t (of the address space left to
// the process).
bool IsPercentageOption(const std::wstring& token);

// Whether `vm_parameters` may hold a percentage option, looked at before they
// are processed: any token that is one once quotes are dropped, or an argument
// file that may hold one. Reading the machine's memory (a container's limit
// takes the mount table) is then left out when no option asks for it.
bool MayUsePercentageSizes(const std::wstring& vm_parameters);

// The size in KiB that percent[:minimum[:maximum]] asks for: `percent` of the
// base (in KiB), cut to `maximum_mib` when that is not 0, then raised to
// `minimum_mib`; the minimum wins over the maximum.
std::uint64_t PercentageSizeKib(std::uint64_t base_kib, std::uint64_t percent,
                                std::uint64_t minimum_mib, std::uint64_t maximum_mib);

// "-Xmx50:64:1024P" becomes "-Xmx<size>K"; a token that is not a percentage
// option, or holds no number at all, is returned unchanged.
std::wstring RewritePercentageOption(const std::wstring& token,
                                     const platform::MemoryFigures& figures);

// The stack size in bytes that the text after "-Xss" gives ("512k", "2M",
// "1048576"); nothing when it does not start with a digit, holds a colon, or
// does not fit 64 bits.
std::optional<std::uint64_t> StackSizeBytes(const std::wstring& value);

}  // namespace korvan
