// One CDDB request's connection: the settings it was made with, the proxy
// in use, and the connected socket. Made by the connection step, which runs
// on a short-lived thread of its own while the caller waits for it in
// 100 ms steps, at most timeout_seconds * 10 steps (then the step is given
// up: it keeps running until its blocking call returns, but it never
// writes into the caller's data and closes any socket it opened).
//
// Owned by the exchange that runs the request; home thread: the caller's.
#pragma once

#include <functional>

#include "cddb/cddb_settings.h"
#include "cddb/host_address_cache.h"
#include "cddb/proxy_setting.h"
#include "cddb/resolve_host.h"
#include "platform/com/result.h"
#include "platform/net/tcp_socket.h"

namespace vyn {

struct CddbConnection {
  CddbSettings settings;
  ProxySetting proxy;
  TcpSocket socket;
};

// Starts `body` on a new thread that nobody waits for; false when no
// thread can be made.
bool StartDetachedThread(std::function<void()> body);

// What the connection step uses from outside; tests replace parts.
struct ConnectSeams {
  HostLookup lookup = LookUpHostIpv4;
  HostAddressCache* cache = &HostAddressCache::Process();
  std::function<bool(std::function<void()>)> start_thread = StartDetachedThread;
};

// Reads the proxy setting, resolves the target (the proxy, or the server)
// and connects, on the step's thread. Errors: "#3" when the thread cannot
// be made, "#4" when the step does not finish in time, "#5" when it ends
// without a connected socket.
Result<CddbConnection> ConnectToCddbServer(const CddbSettings& settings,
                                           const ConnectSeams& seams = {});

}  // namespace vyn
