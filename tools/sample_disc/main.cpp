// vynsampledisc: writes the sample disc image (sample.bin and sample.cue)
// into the folder given. The build runs it; the bytes depend on nothing
// but this program.
//
//   vynsampledisc folder
#include <cstdio>

#include "tools/sample_disc/sample_disc.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vynsampledisc folder\n");
    return 2;
  }
  auto cue = vyn::sample_disc::WriteSampleDisc(argv[1]);
  if (!cue) {
    std::fprintf(stderr, "vynsampledisc: %s\n", cue.error().message.c_str());
    return 1;
  }
  std::printf("%s\n", cue->c_str());
  return 0;
}
