#pragma once
// Stamping a launcher file: korvan-stamp's work, also done by korvan-package.
// The result is written to a temporary file beside the target and renamed
// over it: a refused or failed stamp leaves the target as it was.

#include <string>

#include "stamp_options.h"

namespace korvan::stamp {

bool IsWindowsExecutable(const std::string& bytes);

// The executable without a settings trailer it may carry.
std::string WithoutTrailer(const std::string& bytes);

// Does what `options` ask (not --show); false, with a message, when refused.
bool StampLauncher(const StampOptions& options, std::wstring& error);

}  // namespace korvan::stamp
