#pragma once
// Where failures are shown. The entry chooses the sink once for the run (the
// error line, a dialog, a service's log); everything reported goes through it.

#include <functional>
#include <string>

#include "messages/failure.h"

namespace korvan {

using ErrorSink = std::function<void(const Failure&)>;

// Replaces the sink; an empty one restores the error line.
void SetErrorSink(ErrorSink sink);

// Shows `failure` through the sink; a silent failure shows nothing, except
// what it carries for a log (`described`).
void ReportFailure(const Failure& failure);

// The default sink: the error line on the system's error-line stream (standard
// output on Windows, standard error elsewhere), written at once and
// flushed so that it comes before anything the VM or the process writes
// later; the detail, if any, follows on standard error.
void WriteErrorLine(const Failure& failure);

// What the windowed launcher's box shows for `failure`: the error line's
// text, then what the VM or the application said about it (`described`).
std::wstring ErrorBoxText(const Failure& failure);

// The windowed launcher's sink: the error line, for a start whose standard
// handles were redirected, and the same failure in one box titled `title`.
void UseErrorBoxSink(const std::wstring& title);

}  // namespace korvan
