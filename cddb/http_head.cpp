#include "cddb/http_head.h"

#include <string_view>

#include "cddb/cddb_error.h"

namespace vyn {

Result<void> ReadHttpHead(LineReader& reader) {
  auto status = reader.ReadLine();
  if (!status)
    return status.error();
  const std::string_view line = *status;
  if (line.substr(0, 4) != "HTTP")
    return CddbError(Message::kCddbNotHttp);
  constexpr std::size_t kStatusAt = 9;
  const std::string_view code = line.size() > kStatusAt ? line.substr(kStatusAt, 3) : "";
  if (code != "200")
    return CddbError(Message::kCddbHttpStatus);
  for (;;) {
    auto header = reader.ReadLine();
    if (!header)
      return header.error();
    if (header->empty())
      return Ok();
  }
}

}  // namespace vyn
