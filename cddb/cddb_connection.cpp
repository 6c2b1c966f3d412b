#include "cddb/cddb_connection.h"

#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "cddb/cddb_error.h"
#include "platform/win/event.h"

namespace vyn {
namespace {

constexpr DWORD kWaitStepMs = 100;

// What the step and its caller share. The step fills `proxy` and `socket`
// only while the caller still waits; once `abandoned` is set it keeps its
// socket to itself and closes it.
struct StepState {
  std::mutex mutex;
  bool abandoned = false;  // guarded by mutex
  bool finished = false;   // guarded by mutex
  ProxySetting proxy;      // guarded by mutex
  TcpSocket socket;        // guarded by mutex
  Event done{EventReset::kManual};
};

void RunConnectStep(const std::shared_ptr<StepState>& state,
                    const CddbSettings& settings,
                    const ConnectSeams& seams) {
  ProxySetting proxy = ReadProxySetting();
  const bool via_proxy = proxy.use == ProxyUse::kNamedProxy;
  const std::string& host = via_proxy ? proxy.host : settings.server_host;
  const std::uint16_t port = via_proxy ? proxy.port : settings.server_port;
  TcpSocket socket;
  if (auto address = ResolveHost(host, *seams.cache, seams.lookup)) {
    if (auto connected = TcpSocket::Connect(*address, port))
      socket = std::move(*connected);
  }
  {
    std::lock_guard lock(state->mutex);
    if (!state->abandoned) {
      state->proxy = std::move(proxy);
      state->socket = std::move(socket);
      state->finished = true;
    }
  }
  // A socket still held here belongs to a step that was given up; it
  // closes now, outside the lock.
  state->done.Set();
}

}  // namespace

bool StartDetachedThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

Result<CddbConnection> ConnectToCddbServer(const CddbSettings& settings,
                                           const ConnectSeams& seams) {
  auto state = std::make_shared<StepState>();
  // The step owns copies of everything it reads: the caller may be gone
  // before it ends.
  if (!seams.start_thread([state, settings, seams] { RunConnectStep(state, settings, seams); }))
    return CddbError(Message::kCddbInternalError);

  const int allowed_steps = settings.timeout_seconds * 10;
  int missed_steps = 0;
  while (!state->done.Wait(kWaitStepMs)) {
    if (++missed_steps > allowed_steps)
      break;
  }
  std::lock_guard lock(state->mutex);
  if (!state->finished) {
    state->abandoned = true;
    return CddbError(Message::kCddbConnectTimedOut);
  }
  if (!state->socket.valid())
    return CddbError(Message::kCddbServerNotFound);
  return CddbConnection{settings, std::move(state->proxy), std::move(state->socket)};
}

}  // namespace vyn
