// The cost of a disc-change poll that finds no change: one READ TOC through
// the virtual-drive library and one 2048-byte comparison, shown as ticks
// per second beside a bare READ TOC through the same transport.
#include <benchmark/benchmark.h>

#include <memory>

#include "drive/disc_poller.h"
#include "drive/drive_scan.h"
#include "drive/drive_state.h"
#include "drive/toc_reader.h"
#include "virtual/virtual_control.h"

namespace vyn {
namespace {

class NoOwnerWork final : public DriveOwner {
 public:
  bool IsExtractionRunning() const override { return false; }
  void PostEvent(UINT, WPARAM) override {}
};

// One virtual drive holding a twelve-track disc, refreshed once.
class PolledDrive {
 public:
  PolledDrive() {
    if (VynVirtualConfigure("synthetic:a1000,a1000,a1000,a1000,a1000,a1000,a1000,a1000,"
                            "a1000,a1000,a1000,d3000") != 0 ||
        !transport_.Open()) {
      return;
    }
    records_ = ScanDrives(transport_, 1);
    if (records_.empty())
      return;
    auto state = DriveState::Create(&owner_, &records_[0]);
    if (!state || !(*state)->Refresh())
      return;
    state_ = *state;
  }
  ~PolledDrive() {
    if (state_)
      state_->Shutdown();
  }
  bool ok() const { return state_ != nullptr; }
  DriveState& state() { return *state_; }
  DriveRecord& record() { return records_[0]; }

 private:
  NoOwnerWork owner_;
  ScsiTransport transport_{{VYN_VIRTUAL_LIBRARY}};
  std::vector<DriveRecord> records_;
  std::shared_ptr<DriveState> state_;
};

void BM_NoChangeTick(benchmark::State& bench) {
  PolledDrive drive;
  if (!drive.ok()) {
    bench.SkipWithError("virtual drive not available");
    return;
  }
  TocReply buffer{};
  for (auto _ : bench) {
    if (PollOnce(drive.state(), &buffer) != PollOutcome::kUnchanged)
      bench.SkipWithError("the poll saw a change");
  }
  bench.counters["ticks"] =
      benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}

void BM_BareReadToc(benchmark::State& bench) {
  PolledDrive drive;
  if (!drive.ok()) {
    bench.SkipWithError("virtual drive not available");
    return;
  }
  TocReply buffer{};
  const DriveAddress address = DriveAddress::Of(drive.record());
  for (auto _ : bench) {
    if (ReadTocReply(address, &buffer) != SS_COMP)
      bench.SkipWithError("READ TOC failed");
  }
  bench.counters["commands"] =
      benchmark::Counter(static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_NoChangeTick)->UseRealTime();
BENCHMARK(BM_BareReadToc)->UseRealTime();

}  // namespace
}  // namespace vyn

BENCHMARK_MAIN();
