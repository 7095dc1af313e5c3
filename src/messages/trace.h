#pragma once
// The diagnostic trace: with KORVAN_TRACE=1 in the environment the launcher
// writes its decisions to standard error, one per line, prefixed "korvan: ".
// It never changes behaviour or standard output.

#include <string>

namespace korvan {

bool TraceEnabled();
void Trace(const std::wstring& line);

}  // namespace korvan
