#pragma once
// The .zip and .tar.gz of an application folder, the same bytes for the same
// inputs: every file gets one fixed time and plain permissions (0755 for
// executables and folders, 0644 otherwise), entries are sorted by name, and
// no owner, extra time or name is stored. The build machine's zip, tar and
// gzip write them (their own deflate beats a stored-only archive of our own).

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvan::package {

// The time of every entry: 2000-01-01 00:00:01 UTC. Zip stores times in
// 2-second steps, rounding down, so the second to spare absorbs the
// conversion between the system clock and the file clock, which C++17 offers
// no exact way to do.
constexpr std::int64_t kArchiveTime = 946684801;

// Gives every file and folder below `folder` (itself included) the fixed time
// and plain permissions.
bool NormaliseTree(const std::filesystem::path& folder, std::wstring& error);

// `archive` of the folder `parent`/`name`, its entries starting with "name/".
// zip stores local times: the process must run with TZ=UTC0 for the same
// bytes everywhere.
bool WriteZip(const std::filesystem::path& parent, const std::wstring& name,
              const std::filesystem::path& archive, std::wstring& error);
bool WriteTarGz(const std::filesystem::path& parent, const std::wstring& name,
                const std::filesystem::path& archive, std::wstring& error);

}  // namespace korvan::package
