#pragma once
// Where the default error line goes: standard output on Windows, where users
// and scripts of the launcher look for it there; standard error elsewhere, so
// that `out=$(app --version)` and pipes carry only the application's output.

#include <cstdio>

namespace korvan::platform {

std::FILE* ErrorLineStream();

}  // namespace korvan::platform
