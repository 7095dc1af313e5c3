#pragma once
// Services whose application outlives main, as servers do; a stop request ends
// each with its shutdown hook run.

namespace korvan::e2e {

struct OutlivingService {
  const char* main_class;
  const char* vm_parameters;
  const char* stop_after;  // the stop request comes once this line is out
  const char* output;      // all that System.out wrote, "\n" line ends
};

// No stop method after main and in main; a stop that leaves the server running.
inline constexpr OutlivingService kOutlivingServices[] = {
    {"korvan.probe.ServerApp", "", "main returns", "main started, serving\nmain returns\nshutdown hook ran\n"},
    {"korvan.probe.ServerApp", "-Dserver.mainWaits=true", "main started", "main started, serving\nshutdown hook ran\n"},
    {"korvan.probe.ServerApp$Stoppable", "", "main returns",
     "main started, serving\nmain returns\nstop called\nshutdown hook ran\n"},
};

}  // namespace korvan::e2e
