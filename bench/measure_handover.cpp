// Hands argument lists to a running first instance the way a second start
// does, many times, and prints the median and 90th percentile of the round
// trip (hand-over sent to reply received). The first instance's secondaryMain
// may reply with the microseconds it measured from the send time that the
// first argument carries (bench/SingleBench.java does), printed as the
// hand-over latency.
//
//   measure_handover LAUNCHER_PATH RUNS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "instance/argument_area.h"
#include "instance/instance_guard.h"
#include "platform/instance_channel.h"
#include "platform/text.h"

namespace {

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvan;
  if (argc != 3) {
    std::fprintf(stderr, "usage: measure_handover LAUNCHER_PATH RUNS\n");
    return 2;
  }
  const std::wstring name = InstanceName(platform::WideFromNarrow(argv[1]));
  const int runs = std::atoi(argv[2]);
  std::vector<double> round_trip_ms;
  std::vector<double> handover_ms;
  for (int i = 0; i < runs; ++i) {
    std::unique_ptr<platform::InstanceChannel> channel = platform::OpenInstanceChannel(name);
    if (!channel || channel->first()) {
      std::fprintf(stderr, "no first instance runs for %s\n", argv[1]);
      return 1;
    }
    const auto sent = std::chrono::system_clock::now();
    const long long sent_us =
        std::chrono::duration_cast<std::chrono::microseconds>(sent.time_since_epoch()).count();
    const auto area = EncodeArgumentArea({std::to_wstring(sent_us)}, platform::ArgumentAreaCapacity());
    const auto start = std::chrono::steady_clock::now();
    if (!channel->HandOver(*area)) return 1;
    const int reply = channel->WaitForReply();
    const auto end = std::chrono::steady_clock::now();
    round_trip_ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    if (reply > 0) handover_ms.push_back(reply / 1000.0);
  }
  std::printf("hand-over round trip (send to reply): median %.3f ms, p90 %.3f ms over %d runs\n",
              Percentile(round_trip_ms, 0.5), Percentile(round_trip_ms, 0.9), runs);
  if (!handover_ms.empty()) {
    std::printf("hand-over latency (send to secondaryMain entry): median %.3f ms, p90 %.3f ms\n",
                Percentile(handover_ms, 0.5), Percentile(handover_ms, 0.9));
  }
  return 0;
}
