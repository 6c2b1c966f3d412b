// One CDDB command against the server, as one HTTP request on a fresh
// connection: start sockets, connect (on the connection step's thread),
// send, read the HTTP head and the CDDB reply, close, clean up. Query mode
// asks for the disc's matches; read mode fetches one match's entry.
//
// Runs on the caller's thread from start to end (blocking it for the whole
// request); touches only the data it is given. Failures carry the
// control's message text, in the order the request can meet them: #1, #3,
// #4, #5, #6, the two socket texts, #7, #8, #9, #10.
#pragma once

#include <chrono>
#include <vector>

#include "cddb/cddb_connection.h"
#include "cddb/cddb_match.h"
#include "cddb/cddb_settings.h"
#include "cddb/line_reader.h"
#include "drive/disc_toc.h"
#include "platform/com/result.h"

namespace vyn {

struct CddbExchangeOptions {
  CddbSettings settings = CddbSettingsFromEnvironment();
  ConnectSeams connect;
  LineLimits limits;
  // A server that keeps the connection open without sending anything fails
  // a read after this much time of the current clock.
  std::chrono::milliseconds receive_timeout{20000};
};

// Empties `matches`, then appends each match of the disc as it is read; on
// success there is at least one. What was appended before a failure stays.
Result<void> CddbQuery(const DiscToc& toc,
                       std::vector<CddbMatch>& matches,
                       const CddbExchangeOptions& options = {});

// Reads the entry of `match` and stores it as its raw_text (replacing an
// earlier one); on failure the match is left as it was.
Result<void> CddbRead(CddbMatch& match, const CddbExchangeOptions& options = {});

}  // namespace vyn
