#include "tools/sample_disc/tone_synth.h"

#include <algorithm>

namespace vyn::sample_disc {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSampleRate = 44100;
constexpr int kStereoFramesPerSector = 588;
constexpr double kFadeInSeconds = 0.6;
constexpr double kFadeOutSeconds = 1.5;
constexpr double kPeak = 0.30;  // of full scale, for all notes together
constexpr double kOvertone = 0.18;
constexpr double kRightDetune = 1.0015;

// Taylor series on [-π/2, π/2], where it converges fast.
double SineNear(double x) {
  double x2 = x * x;
  double term = x;
  double sum = x;
  for (int n = 1; n <= 7; ++n) {
    term = -term * x2 / ((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

// 0 → 1 along half a cosine wave: no click at the ends.
double Ease(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return 0.5 - 0.5 * SineOfCycles(0.25 + 0.5 * t);
}

std::int16_t ToSample(double value) {
  double scaled = value * 32767.0;
  scaled = std::clamp(scaled, -32768.0, 32767.0);
  return static_cast<std::int16_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::int16_t sample) {
  auto bits = static_cast<std::uint16_t>(sample);
  out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  out.push_back(static_cast<std::uint8_t>(bits >> 8));
}

}  // namespace

double SineOfCycles(double cycles) {
  double fraction = cycles - static_cast<double>(static_cast<long long>(cycles));
  if (fraction < 0)
    fraction += 1.0;
  // Into [-0.5, 0.5) cycles, then fold onto [-0.25, 0.25].
  if (fraction >= 0.5)
    fraction -= 1.0;
  if (fraction > 0.25)
    fraction = 0.5 - fraction;
  else if (fraction < -0.25)
    fraction = -0.5 - fraction;
  return SineNear(2.0 * kPi * fraction);
}

std::vector<std::uint8_t> RenderChord(const Chord& chord) {
  const long long total = static_cast<long long>(chord.frames) * kStereoFramesPerSector;
  const double notes = static_cast<double>(std::max<std::size_t>(chord.frequencies.size(), 1));
  const double level = kPeak / (notes * (1.0 + kOvertone));
  const double seconds = static_cast<double>(total) / kSampleRate;
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(total) * 4);
  for (long long n = 0; n < total; ++n) {
    double t = static_cast<double>(n) / kSampleRate;
    double envelope = Ease(t / kFadeInSeconds) * Ease((seconds - t) / kFadeOutSeconds);
    double left = 0;
    double right = 0;
    for (double frequency : chord.frequencies) {
      double cycles = frequency * t;
      double detuned = cycles * kRightDetune;
      left += SineOfCycles(cycles) + kOvertone * SineOfCycles(2 * cycles);
      right += SineOfCycles(detuned) + kOvertone * SineOfCycles(2 * detuned);
    }
    PutLittleEndian(out, ToSample(left * level * envelope));
    PutLittleEndian(out, ToSample(right * level * envelope));
  }
  return out;
}

}  // namespace vyn::sample_disc
