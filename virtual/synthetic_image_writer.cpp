#include "virtual/synthetic_image_writer.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "virtual/synthetic_disc.h"

namespace vyn::virtual_drive {
namespace {

std::string CueTime(std::int64_t frames) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(frames / 4500),
                static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
  return text;
}

Error WriteError(const std::string& path) {
  return Error{E_FAIL, "cannot write '" + path + "'"};
}

}  // namespace

Result<std::string> WriteSyntheticImage(std::string_view description,
                                        const std::string& folder,
                                        const std::string& base_name) {
  auto disc = BuildSyntheticDisc(description);
  if (!disc)
    return disc.error();
  const std::string bin_name = base_name + ".bin";
  const std::string bin_path = folder + "/" + bin_name;
  const std::string cue_path = folder + "/" + base_name + ".cue";

  std::ofstream bin(bin_path, std::ios::binary | std::ios::trunc);
  if (!bin)
    return WriteError(bin_path);
  std::ostringstream cue;
  cue << "REM written from " << description << "\r\n";
  cue << "FILE \"" << bin_name << "\" BINARY\r\n";
  constexpr std::int32_t kChunkFrames = 256;
  std::vector<BYTE> chunk(static_cast<std::size_t>(kChunkFrames) * kSectorBytes);
  std::int64_t file_frames = 0;
  int session = 0;
  for (const DiscTrack& track : disc->tracks()) {
    if (track.session != session) {
      session = track.session;
      if (disc->tracks().back().session > 1)
        cue << "REM SESSION " << (session < 10 ? "0" : "") << session << "\r\n";
    }
    cue << "  TRACK " << (track.number < 10 ? "0" : "") << track.number
        << (track.IsData() ? " MODE1/2352" : " AUDIO") << "\r\n";
    const BYTE control = track.adr_control & 0x0F;
    if (control & (kControlPreEmphasis | kControlCopyPermitted)) {
      cue << "    FLAGS";
      if (control & kControlCopyPermitted)
        cue << " DCP";
      if (control & kControlPreEmphasis)
        cue << " PRE";
      cue << "\r\n";
    }
    cue << "    INDEX 01 " << CueTime(file_frames) << "\r\n";
    for (std::int32_t done = 0; done < track.length_frames; done += kChunkFrames) {
      const std::int32_t frames = std::min(kChunkFrames, track.length_frames - done);
      const std::size_t bytes = static_cast<std::size_t>(frames) * kSectorBytes;
      if (!disc->Read(std::int64_t{track.start_lba + done} * kSectorBytes, bytes, chunk.data())) {
        return Error{E_FAIL, "cannot read the synthetic disc"};
      }
      bin.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(bytes));
    }
    file_frames += track.length_frames;
  }
  bin.close();
  if (!bin)
    return WriteError(bin_path);
  std::ofstream cue_file(cue_path, std::ios::binary | std::ios::trunc);
  cue_file << cue.str();
  cue_file.close();
  if (!cue_file)
    return WriteError(cue_path);
  return cue_path;
}

}  // namespace vyn::virtual_drive
