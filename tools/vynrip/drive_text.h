// Texts read from a drive or track for showing: BSTR properties as UTF-8,
// and the time and size formats the commands share.
//
// Home thread: the control's (the host's).
#pragma once

#include <optional>
#include <string>

#include "control/interfaces.h"

namespace vyn::rip {

std::string DriveName(IDrive* drive);
// The number of tracks on the disc; nothing when the drive cannot say.
std::optional<long> TrackCount(IDrive* drive);
// "m:ss".
std::string MinutesSeconds(long seconds);
// "mm:ss.ff" of a logical block address (75 frames a second).
std::string FramePosition(long lba);

}  // namespace vyn::rip
