// The HTTP status line and header of a reply. After it, the reader yields
// the body's lines.
#pragma once

#include "cddb/line_reader.h"
#include "platform/com/result.h"

namespace vyn {

// Fails with "#7" when the first line does not begin with "HTTP", "#8" when
// its status (characters 9 to 11) is not "200", or a socket text; reads the
// header lines up to the empty one.
Result<void> ReadHttpHead(LineReader& reader);

}  // namespace vyn
