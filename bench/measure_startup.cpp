// Runs several commands alternately, many times, and prints the median wall
// time (with its quartiles) and the median peak memory (resident set) of each,
// then each command's time against the first one's, paired round by round:
// the median of the per-round ratios and their quartiles, so a slow moment of
// the machine weighs on both sides of a ratio alike.
//
//   measure_startup RUNS WARMUP label [--env NAME=VALUE]... [--prepare 'shell command']
//                   command... ::: ...
//
// --env adds a variable to that subject's environment. A --prepare command
// runs before each of that subject's runs, untimed (to empty a cache, say, so
// every run is a first run).
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
  std::string prepare;
  std::vector<std::string> environment;  // NAME=VALUE, added to ours
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
  if (!subject.prepare.empty() && std::system(subject.prepare.c_str()) != 0) return false;
  std::vector<char*> argv;
  for (std::string& part : subject.command) argv.push_back(part.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const double start = Now();
  pid_t child = 0;
  std::vector<char*> envp;
  for (std::string& entry : subject.environment) envp.push_back(entry.data());
  for (char** entry = environ; *entry != nullptr; ++entry) envp.push_back(*entry);
  envp.push_back(nullptr);
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
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

// The value below which `share` of the values lie, interpolated.
double Quantile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const double position = share * static_cast<double>(values.size() - 1);
  const std::size_t below = static_cast<std::size_t>(position);
  const std::size_t above = std::min(below + 1, values.size() - 1);
  return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
}

double Median(const std::vector<double>& values) { return Quantile(values, 0.5); }

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
    } else if (subjects.back().command.empty() && std::strcmp(argv[i], "--prepare") == 0 &&
               i + 1 < argc) {
      subjects.back().prepare = argv[++i];
    } else if (subjects.back().command.empty() && std::strcmp(argv[i], "--env") == 0 &&
               i + 1 < argc) {
      subjects.back().environment.push_back(argv[++i]);
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
  std::printf("%-22s %10s %18s %10s\n", "subject", "median ms", "quartiles ms", "peak MiB");
  for (const Subject& subject : subjects) {
    std::printf("%-22s %10.1f %8.1f..%-8.1f %10.1f\n", subject.label.c_str(),
                Median(subject.wall_ms), Quantile(subject.wall_ms, 0.25),
                Quantile(subject.wall_ms, 0.75), Median(subject.peak_mib));
  }
  const Subject& first = subjects.front();
  for (std::size_t i = 1; i < subjects.size(); ++i) {
    std::vector<double> ratios;
    for (std::size_t run = 0; run < first.wall_ms.size(); ++run) {
      ratios.push_back(subjects[i].wall_ms[run] / first.wall_ms[run]);
    }
    std::printf("%s/%s: time %.2fx (quartiles %.2f..%.2f), memory %.2fx\n",
                subjects[i].label.c_str(), first.label.c_str(), Median(ratios),
                Quantile(ratios, 0.25), Quantile(ratios, 0.75),
                Median(subjects[i].peak_mib) / Median(first.peak_mib));
  }
  return 0;
}
