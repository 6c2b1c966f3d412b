// The body of a CDDB reply: its status line and what follows it, for the
// two kinds of request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cddb/cddb_match.h"
#include "cddb/line_reader.h"
#include "platform/com/result.h"

namespace vyn {

// The number formed by the leading decimal digits of the first three
// characters; 0 when the line does not start with a digit.
int CddbStatusCode(std::string_view status_line);

// A query's reply. 200: the status line is the match; 210/211: one match
// per line up to a line starting with "." (the first line is always a
// match); 202: "#9"; any other status: "#10". Matches are appended as they
// are read, so those read before a failure stay in `matches`.
Result<void> ReadQueryReply(LineReader& reader, std::vector<CddbMatch>& matches);

// A read's reply. 210/211: every line up to one starting with "." (the
// first line is always taken), each followed by LF, converted from the ANSI
// code page. 202: "#9"; any other status: "#10" (200 included: a read
// reply never carries a match).
Result<std::u16string> ReadEntryReply(LineReader& reader);

}  // namespace vyn
