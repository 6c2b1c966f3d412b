// The WAV layout the sink writes: a RIFF "WAVE" form with an 18-byte
// "fmt " chunk (the PCM format record with its zero extra-size field) and a
// "data" chunk holding the CD-DA bytes unchanged, 46 bytes of header in all.
#pragma once

#include <array>
#include <cstdint>

#include "platform/riff/riff_file.h"

namespace vyn {

inline constexpr FourCC kWaveForm = MakeFourCC("WAVE");
inline constexpr FourCC kFormatChunk = MakeFourCC("fmt ");
inline constexpr FourCC kDataChunk = MakeFourCC("data");
inline constexpr std::uint32_t kWavHeaderBytes = 46;

// 44,100 Hz, 16-bit stereo PCM, little-endian as stored.
inline constexpr std::array<BYTE, 18> kCdAudioFormatRecord = {
    0x01, 0x00,              // format tag: PCM
    0x02, 0x00,              // channels
    0x44, 0xAC, 0x00, 0x00,  // samples per second: 44,100
    0x10, 0xB1, 0x02, 0x00,  // average bytes per second: 176,400
    0x04, 0x00,              // block alignment
    0x10, 0x00,              // bits per sample
    0x00, 0x00,              // extra format bytes
};

}  // namespace vyn
