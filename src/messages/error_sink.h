#pragma once
// Where failures are shown. The entry chooses the sink once for the run (the
// error line, a dialog, a service's log); everything reported goes through it.

#include <functional>

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

}  // namespace korvan
