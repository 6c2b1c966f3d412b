// The CDDB disc identifier and the two command lines that carry it, as pure
// functions of the table of contents. The identifier and the figures of the
// query are the ones every CDDB server and client computes for the same
// disc: every entry of the table takes part (data tracks too), offsets
// count the 150-frame lead-in, and the disc length is the lead-out's.
//
// Thread-safe: no state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "drive/disc_toc.h"

namespace vyn {

// The 32-bit identifier. An empty table gives ffffffff: its track count,
// -1, fills every bit.
std::uint32_t CddbDiscId(const DiscToc& toc);
// Sum of the decimal digits of `x`; 0 for x <= 0.
int DigitSum(std::int64_t x);
// "cddb query <id> <tracks> <offset>... <seconds>", without a line end.
std::string CddbQueryCommand(const DiscToc& toc);
// "cddb read <category> <id>", both exactly as the server wrote them.
std::string CddbReadCommand(std::string_view category, std::string_view disc_id);

}  // namespace vyn
