#include "cddb/http_request.h"

#include <algorithm>

#include "cddb/cddb_error.h"

namespace vyn {

std::string BuildHttpRequest(const CddbSettings& settings,
                             const ProxySetting& proxy,
                             std::string_view command) {
  std::string hello_address = settings.contact_address;
  std::replace(hello_address.begin(), hello_address.end(), '@', ' ');
  std::string query = "?cmd=";
  query.append(command);
  query += "&hello=" + hello_address + " CDRipper 1.0&proto=5";
  std::replace(query.begin(), query.end(), ' ', '+');

  std::string request = "GET ";
  if (proxy.use == ProxyUse::kNamedProxy) {
    request += "http://" + settings.server_host;
    if (settings.server_port != 80)
      request += ":" + std::to_string(settings.server_port);
  }
  request += settings.cgi_path + query;
  request += " HTTP/1.0\nUser-Agent: Tarnwell Control, " + settings.agent_host + "\n\n";
  return request;
}

Result<void> SendAll(TcpSocket& socket, std::string_view bytes) {
  while (!bytes.empty()) {
    auto sent = socket.Send(bytes);
    if (!sent)
      return CddbError(Message::kCddbCannotSend);
    bytes.remove_prefix(*sent);
  }
  return Ok();
}

}  // namespace vyn
