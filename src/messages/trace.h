#pragma once
// The diagnostic trace: with KORVAN_TRACE=1 in the environment the launcher
// writes its decisions to standard error, one per line, prefixed "korvan: ".
// KORVAN_TRACE_FILE=<path> turns the trace on and appends it to that file
// instead: a Windows service has no console to read it from. A file that
// cannot be written is said once on standard error.
// It never changes behaviour or standard output.

#include <string>

namespace korvan {

bool TraceEnabled();
void Trace(const std::wstring& line);

// Appends `text` to the trace file; false when none is set or it cannot be written.
bool WriteToTraceFile(const std::string& text);

}  // namespace korvan
