#include "tools/sample_disc/sample_disc.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vyn::sample_disc {
namespace {

constexpr int kFramesPerSecond = 75;

// Equal-tempered pitches, Hz.
constexpr double kF3 = 174.614;
constexpr double kG3 = 195.998;
constexpr double kA3 = 220.000;
constexpr double kB3 = 246.942;
constexpr double kC4 = 261.626;
constexpr double kD4 = 293.665;
constexpr double kE4 = 329.628;
constexpr double kG4 = 391.995;

std::string Msf(int frames) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / (60 * kFramesPerSecond),
                frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
  return text;
}

// Writes through a temporary name, so a half-written image is never taken
// for a finished one.
Result<void> WriteFile(const std::filesystem::path& path, const void* bytes, std::size_t size) {
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    if (!out)
      return Error{E_FAIL, "cannot write " + partial.string()};
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error)
    return Error{E_FAIL, "cannot rename " + partial.string() + ": " + error.message()};
  return Ok();
}

}  // namespace

std::vector<SampleTrack> SampleTracks() {
  return {
      {"Morning (C major)", {{kC4, kE4, kG4}, 10 * kFramesPerSecond}},
      {"Shade (A minor)", {{kA3, kC4, kE4}, 9 * kFramesPerSecond}},
      {"Field (F major)", {{kF3, kA3, kC4}, 9 * kFramesPerSecond}},
      {"Home (G major to rest)", {{kG3, kB3, kD4, kG4}, 12 * kFramesPerSecond}},
  };
}

std::string CueSheet(const std::vector<SampleTrack>& tracks, const std::string& bin_name) {
  std::string cue = "REM Sample disc of the ripper: soft test chords, generated at build time.\n";
  cue += "PERFORMER \"Tarnwell\"\nTITLE \"Sample Tones\"\n";
  cue += "FILE \"" + bin_name + "\" BINARY\n";
  int start = 0;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    cue += std::string("  TRACK ") + number + " AUDIO\n";
    cue += std::string("    TITLE \"") + tracks[i].title + "\"\n";
    cue += "    INDEX 01 " + Msf(start) + "\n";
    start += tracks[i].chord.frames;
  }
  return cue;
}

Result<std::string> WriteSampleDisc(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error)
    return Error{E_FAIL, "cannot make " + folder + ": " + error.message()};
  std::vector<SampleTrack> tracks = SampleTracks();
  std::vector<std::uint8_t> bin;
  for (const SampleTrack& track : tracks) {
    std::vector<std::uint8_t> audio = RenderChord(track.chord);
    bin.insert(bin.end(), audio.begin(), audio.end());
  }
  const std::filesystem::path base(folder);
  if (Result<void> written = WriteFile(base / "sample.bin", bin.data(), bin.size()); !written)
    return written.error();
  std::string cue = CueSheet(tracks, "sample.bin");
  if (Result<void> written = WriteFile(base / "sample.cue", cue.data(), cue.size()); !written)
    return written.error();
  return (base / "sample.cue").string();
}

}  // namespace vyn::sample_disc
