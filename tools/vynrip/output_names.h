// Where a ripped track goes. The control makes the folder and appends
// ".wav" itself; the host passes an absolute name, because making the
// folder moves the process's current directory there and a relative name
// for the next track would land one folder deeper.
//
// Stateless.
#pragma once

#include <string>

namespace vyn::rip {

// The output folder as an absolute, normalised path without a trailing
// separator.
std::string AbsoluteFolder(const std::string& folder);
// "Track 03" for track 3.
std::string DefaultTrackName(int number);
// The name the control is given: the folder, a separator, the name.
std::string OutputName(const std::string& folder, const std::string& name);
// The file the control writes for `output_name`: ".wav" appended unless the
// name already ends in it (in any case), as the control decides.
std::string WavFileFor(const std::string& output_name);

}  // namespace vyn::rip
