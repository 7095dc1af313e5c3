#pragma once
// Services whose application outlives main, as servers do: main starts a
// thread that serves on and returns (or waits for it). A stop request ends
// each one with its shutdown hook run, with or without a stop method.

namespace korvan::e2e {

struct OutlivingService {
  const char* main_class;
  const char* vm_parameters;
  const char* stop_after;  // the stop request comes once this line is out
  const char* output;      // all that System.out wrote, "\n" line ends
};

inline constexpr OutlivingService kOutlivingServices[] = {
    // No stop method, main returned: the server thread alone keeps it running.
    {"korvan.probe.ServerApp", "", "main returns",
     "main started, serving\nmain returns\nshutdown hook ran\n"},
    // No stop method, main still running.
    {"korvan.probe.ServerApp", "-Dserver.mainWaits=true", "main started",
     "main started, serving\nshutdown hook ran\n"},
    // A stop that returns while the server thread still serves.
    {"korvan.probe.StoppableServerApp", "", "main returns",
     "main started, serving\nmain returns\nstop called\nshutdown hook ran\n"},
};

}  // namespace korvan::e2e
