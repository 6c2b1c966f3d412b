// The control-side cost of the command transport: a full bus scan (8 targets
// × 8 LUNs on one adapter) and READ CD throughput through ExecuteCommand,
// both with the virtual-drive library and with the drive-letter back-end
// over the virtual drive model. Throughput is shown in bytes per second
// and in multiples of real-time CD audio (176,400 B/s).
#include <benchmark/benchmark.h>

#include "drive/drive_scan.h"
#include "drive/scsi_transport.h"
#include "tests/drive/fake_pass_through_system.h"
#include "tests/drive/test_support.h"
#include "virtual/virtual_control.h"

namespace vyn {
namespace {

constexpr double kRealTimeBytesPerSecond = 176400;
constexpr int kSectorsPerRead = 26;
constexpr int kDiscFrames = 45000;

using ConfigureFn = int (*)(const char*);

// The installed virtual library with one drive holding a synthetic disc.
class VirtualLibrary {
 public:
  VirtualLibrary() {
    if (!transport_.Open() || transport_.backend() != TransportBackend::kLibrary)
      return;
    module_ = LoadLibraryA(transport_.library()->Path().c_str());
    auto configure = reinterpret_cast<ConfigureFn>(GetProcAddress(module_, "VynVirtualConfigure"));
    ok_ = configure && configure(("synthetic:a" + std::to_string(kDiscFrames)).c_str()) == 0;
  }
  ~VirtualLibrary() {
    if (module_)
      FreeLibrary(module_);
  }
  bool ok() const { return ok_; }
  ScsiTransport& transport() { return transport_; }

 private:
  ScsiTransport transport_;
  HMODULE module_ = nullptr;
  bool ok_ = false;
};

// The drive-letter back-end over one virtual drive.
class LetterDrive {
 public:
  LetterDrive() {
    drives_.AddDrive('C', 0, 0, 0, testing::AudioDisc(kDiscFrames));
    ok_ = transport_.Open();
  }
  bool ok() const { return ok_; }
  ScsiTransport& transport() { return transport_; }

 private:
  testing::FakePassThroughSystem drives_;
  ScsiTransport transport_{{"vyn-no-such-aspi.dll", &drives_}};
  bool ok_ = false;
};

template <class Backend>
void BM_BusScan(benchmark::State& state) {
  Backend backend;
  if (!backend.ok()) {
    state.SkipWithError("back-end not available");
    return;
  }
  for (auto _ : state) {
    auto drives = ScanDrives(backend.transport(), 1);
    benchmark::DoNotOptimize(drives);
    if (drives.size() != 1)
      state.SkipWithError("expected one drive");
  }
}

template <class Backend>
void BM_ReadCd(benchmark::State& state) {
  Backend backend;
  if (!backend.ok()) {
    state.SkipWithError("back-end not available");
    return;
  }
  std::vector<BYTE> data(kSectorsPerRead * 2352);
  std::int32_t lba = 0;
  for (auto _ : state) {
    auto read = testing::ReadCdCommand(lba, kSectorsPerRead);
    BYTE status = backend.transport().ExecuteCommand(0, 0, 0, SRB_DIR_IN, read, data.data(),
                                                     static_cast<DWORD>(data.size()));
    if (status != SS_COMP)
      state.SkipWithError("READ CD failed");
    lba = (lba + kSectorsPerRead) % (kDiscFrames - kSectorsPerRead);
  }
  auto bytes = static_cast<double>(state.iterations()) * static_cast<double>(data.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["x_realtime"] =
      benchmark::Counter(bytes / kRealTimeBytesPerSecond, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_BusScan<VirtualLibrary>)
    ->Name("BusScan/virtual_library")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BusScan<LetterDrive>)->Name("BusScan/drive_letters")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCd<VirtualLibrary>)->Name("ReadCd26/virtual_library")->UseRealTime();
BENCHMARK(BM_ReadCd<LetterDrive>)->Name("ReadCd26/drive_letters")->UseRealTime();

}  // namespace
}  // namespace vyn

BENCHMARK_MAIN();
