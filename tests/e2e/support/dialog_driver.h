#pragma once
// Works the Windows launcher's dialogs from outside, through the dialog-driver
// fixture (tests/fixtures/dialog_driver), as a user would.

#include <string>
#include <vector>

#include "support/process_run.h"

namespace korvan::e2e {

// Runs dialog-driver with `arguments` (command, caption, ...) under Wine.
ProcessResult DriveDialog(const std::vector<std::string>& arguments);

// One control of a "dump": "control <id> <class> enabled=<0|1> style=<hex> text=<text>".
struct DialogControl {
  bool found = false;
  std::string kind;
  bool enabled = false;
  std::string text;  // line ends as "\n" (backslash, n)
};

DialogControl FindControl(const std::string& dump, int id);

}  // namespace korvan::e2e
