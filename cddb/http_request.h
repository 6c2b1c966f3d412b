// The HTTP/1.0 request that carries one CDDB command, and sending it.
// Thread-safe: no state.
#pragma once

#include <string>
#include <string_view>

#include "cddb/cddb_settings.h"
#include "cddb/proxy_setting.h"
#include "platform/com/result.h"
#include "platform/net/tcp_socket.h"

namespace vyn {

// "GET [http://host[:port]]<cgi>?cmd=<command>&hello=<user> <domain>
// CDRipper 1.0&proto=5 HTTP/1.0\nUser-Agent: Tarnwell Control, <agent>\n\n"
// with every space of the query string turned into "+" and no other
// escaping. Bare LF line ends; no Host header. Through a proxy the request
// names the server in absolute form; its port only when it is not 80.
std::string BuildHttpRequest(const CddbSettings& settings,
                             const ProxySetting& proxy,
                             std::string_view command);

// Sends every byte; "#6" when a send fails.
Result<void> SendAll(TcpSocket& socket, std::string_view bytes);

}  // namespace vyn
