// Runs several commands alternately, many times, and prints the median wall
// time and the median peak memory (resident set) of each, with the ratios of
// the first command to the others.
//
//   measure_startup RUNS WARMUP label command... ::: label command... [::: ...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <spawn.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Subject {
  std::string label;
  std::vector<std::string> command;
  std::vector<double> wall_ms;
  std::vector<double> peak_mib;
};

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// One run with standard output and error discarded; false when it failed.
bool RunOnce(Subject& subject, bool keep) {
  std::vector<char*> argv;
  for (std::string& part : subject.command) argv.push_back(part.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const double start = Now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double elapsed = Now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  if (keep) {
    subject.wall_ms.push_back(elapsed);
    subject.peak_mib.push_back(static_cast<double>(usage.ru_maxrss) / 1024.0);  // KiB on Linux
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s RUNS WARMUP label command... [::: label command...]\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int warmup = std::atoi(argv[2]);
  std::vector<Subject> subjects(1);
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], ":::") == 0) {
      subjects.emplace_back();
    } else if (subjects.back().label.empty()) {
      subjects.back().label = argv[i];
    } else {
      subjects.back().command.push_back(argv[i]);
    }
  }
  for (int round = 0; round < warmup + runs; ++round) {
    for (Subject& subject : subjects) {
      if (!RunOnce(subject, round >= warmup)) {
        std::fprintf(stderr, "%s failed: %s\n", subject.label.c_str(), subject.command[0].c_str());
        return 1;
      }
    }
  }
  std::printf("%d runs each, alternating, after %d warm-up rounds\n", runs, warmup);
  std::printf("%-10s %16s %18s\n", "launcher", "median wall ms", "median peak MiB");
  for (const Subject& subject : subjects) {
    std::printf("%-10s %16.1f %18.1f\n", subject.label.c_str(), Median(subject.wall_ms),
                Median(subject.peak_mib));
  }
  const Subject& first = subjects.front();
  for (std::size_t i = 1; i < subjects.size(); ++i) {
    std::printf("%s/%s: wall %.2f, memory %.2f\n", first.label.c_str(), subjects[i].label.c_str(),
                Median(first.wall_ms) / Median(subjects[i].wall_ms),
                Median(first.peak_mib) / Median(subjects[i].peak_mib));
  }
  return 0;
}
