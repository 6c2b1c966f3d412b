// The cost of a complete lookup on the loopback address: one query that
// finds three matches and one read per match, each a fresh connection with
// its connection-step thread, against the tests' fixture server.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "cddb/cddb_exchange.h"
#include "tests/cddb/test_cddb_server.h"

namespace vyn {
namespace {

constexpr char kThreeMatches[] =
    "211 Found inexact matches, list follows (until terminating `.')\n"
    "rock 7a0b4c0d Some Artist / Some Album\n"
    "jazz 7a0b4c0d Other Artist / Other Album\n"
    "misc 7a0b4c0e Caf\xe9 Trio / Live \xe0 Paris\n"
    ".\n";

void BM_LookupQueryAndThreeReads(benchmark::State& state) {
  testing::TestCddbServer server(testing::FixtureResponder(kThreeMatches));
  setenv("VYN_CDDB_SERVER", server.address().c_str(), 1);
  unsetenv("http_proxy");
  DiscToc toc;
  toc.entry_count = 3;
  toc.start_lba = {0, 600, 975};
  toc.track_number = {1, 2, kLeadOutTrack};
  const CddbExchangeOptions options;
  std::vector<CddbMatch> matches;
  for (auto _ : state) {
    if (!CddbQuery(toc, matches, options).ok() || matches.size() != 3) {
      state.SkipWithError("query failed");
      return;
    }
    for (CddbMatch& match : matches) {
      if (!CddbRead(match, options).ok()) {
        state.SkipWithError("read failed");
        return;
      }
    }
    benchmark::DoNotOptimize(matches);
  }
}
BENCHMARK(BM_LookupQueryAndThreeReads)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vyn

BENCHMARK_MAIN();
