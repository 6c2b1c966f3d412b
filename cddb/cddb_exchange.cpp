#include "cddb/cddb_exchange.h"

#include "cddb/cddb_error.h"
#include "cddb/cddb_reply.h"
#include "cddb/disc_id.h"
#include "cddb/http_head.h"
#include "cddb/http_request.h"
#include "platform/net/socket_startup.h"
#include "platform/win/clock.h"

namespace vyn {
namespace {

// Runs `command` and hands the reply's body to `read_body`. The socket
// closes before the socket library is cleaned up, on every path.
template <class ReadBody>
Result<void> RunExchange(const std::string& command,
                         const CddbExchangeOptions& options,
                         ReadBody&& read_body) {
  auto session = SocketSession::Start();
  if (!session)
    return CddbError(Message::kCddbCannotInitSockets);
  auto connection = ConnectToCddbServer(options.settings, options.connect);
  if (!connection)
    return connection.error();
  connection->socket.SetReceiveTimeout(CurrentClock().RealDuration(options.receive_timeout));
  const std::string request = BuildHttpRequest(connection->settings, connection->proxy, command);
  if (auto sent = SendAll(connection->socket, request); !sent)
    return sent;
  LineReader reader(connection->socket, options.limits);
  if (auto head = ReadHttpHead(reader); !head)
    return head;
  return read_body(reader);
}

}  // namespace

Result<void> CddbQuery(const DiscToc& toc,
                       std::vector<CddbMatch>& matches,
                       const CddbExchangeOptions& options) {
  matches.clear();
  return RunExchange(CddbQueryCommand(toc), options,
                     [&](LineReader& reader) { return ReadQueryReply(reader, matches); });
}

Result<void> CddbRead(CddbMatch& match, const CddbExchangeOptions& options) {
  return RunExchange(CddbReadCommand(match.category, match.disc_id), options,
                     [&](LineReader& reader) -> Result<void> {
                       auto entry = ReadEntryReply(reader);
                       if (!entry)
                         return entry.error();
                       match.raw_text = std::move(*entry);
                       return Ok();
                     });
}

}  // namespace vyn
