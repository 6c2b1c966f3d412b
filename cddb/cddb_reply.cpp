#include "cddb/cddb_reply.h"

#include "cddb/cddb_error.h"
#include "platform/text/code_page.h"

namespace vyn {
namespace {

constexpr int kFoundExact = 200;
constexpr int kNoMatch = 202;
constexpr int kListFollows = 210;
constexpr int kInexactListFollows = 211;

bool EndsList(std::string_view line) {
  return !line.empty() && line.front() == '.';
}

}  // namespace

int CddbStatusCode(std::string_view status_line) {
  int code = 0;
  for (char c : status_line.substr(0, 3)) {
    if (c < '0' || c > '9')
      break;
    code = code * 10 + (c - '0');
  }
  return code;
}

Result<void> ReadQueryReply(LineReader& reader, std::vector<CddbMatch>& matches) {
  auto status = reader.ReadLine();
  if (!status)
    return status.error();
  switch (CddbStatusCode(*status)) {
    case kFoundExact:
      matches.push_back(ParseMatchLine(TrimLeadingSpace(
          std::string_view(*status).substr(std::min<std::size_t>(3, status->size())))));
      return Ok();
    case kNoMatch:
      return CddbError(Message::kCddbNoRecords);
    case kListFollows:
    case kInexactListFollows:
      for (bool first = true;; first = false) {
        auto line = reader.ReadLine();
        if (!line)
          return line.error();
        const std::string_view text = TrimLeadingSpace(*line);
        if (!first && EndsList(text))
          return Ok();
        matches.push_back(ParseMatchLine(text));
      }
    default:
      return CddbError(Message::kCddbUnknownFailure);
  }
}

Result<std::u16string> ReadEntryReply(LineReader& reader) {
  auto status = reader.ReadLine();
  if (!status)
    return status.error();
  switch (CddbStatusCode(*status)) {
    case kNoMatch:
      return CddbError(Message::kCddbNoRecords);
    case kListFollows:
    case kInexactListFollows: {
      std::string entry;
      for (bool first = true;; first = false) {
        auto line = reader.ReadLine();
        if (!line)
          return line.error();
        if (!first && EndsList(*line))
          return AnsiToWide(entry);
        entry += *line;
        entry += '\n';
      }
    }
    default:
      return CddbError(Message::kCddbUnknownFailure);
  }
}

}  // namespace vyn
