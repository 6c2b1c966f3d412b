#include "tests/cddb/test_cddb_server.h"

#include <fstream>
#include <sstream>

namespace vyn::testing {
namespace {

using namespace std::chrono_literals;

std::string WithLineEnds(const std::string& text, LineEnd line_end) {
  if (line_end == LineEnd::kLf)
    return text;
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

bool SendAllBytes(TcpSocket& socket, std::string_view bytes) {
  while (!bytes.empty()) {
    auto sent = socket.Send(bytes);
    if (!sent)
      return false;
    bytes.remove_prefix(*sent);
  }
  return true;
}

}  // namespace

std::string CommandOf(const std::string& request) {
  const std::size_t start = request.find("cmd=");
  if (start == std::string::npos)
    return {};
  std::string command = request.substr(start + 4, request.find('&', start) - start - 4);
  for (char& c : command) {
    if (c == '+')
      c = ' ';
  }
  return command;
}

std::string HttpOk(const std::string& body, LineEnd line_end) {
  return WithLineEnds("HTTP/1.0 200 OK\nServer: test\nContent-Type: text/plain\n\n", line_end) +
         body;
}

std::string FixtureText(const std::string& category, const std::string& id) {
  std::ifstream file(std::string(VYN_CDDB_FIXTURES) + "/" + category + "/" + id, std::ios::binary);
  if (!file)
    return {};
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

Responder FixtureResponder(std::string query_reply, LineEnd line_end) {
  return [query_reply = std::move(query_reply), line_end](const std::string& request) {
    std::istringstream words(CommandOf(request));
    std::string cddb, verb, category, id;
    words >> cddb >> verb >> category >> id;
    if (verb == "query")
      return ServerReply{HttpOk(WithLineEnds(query_reply, line_end), line_end)};
    const std::string entry = FixtureText(category, id);
    if (entry.empty())
      return ServerReply{HttpOk(
          WithLineEnds("401 " + category + " " + id + " No such CD entry in database\n", line_end),
          line_end)};
    return ServerReply{HttpOk(
        WithLineEnds("210 " + category + " " + id +
                         " CD database entry follows (until terminating `.')\n" + entry + ".\n",
                     line_end),
        line_end)};
  };
}

TestCddbServer::TestCddbServer(Responder responder)
    : listener_(TcpListener::ListenOnLoopback().value()), responder_(std::move(responder)) {
  thread_ = std::thread([this] { Run(); });
}

TestCddbServer::~TestCddbServer() {
  stop_ = true;
  thread_.join();
}

std::string TestCddbServer::address() const {
  return "127.0.0.1:" + std::to_string(port());
}

std::vector<std::string> TestCddbServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool TestCddbServer::WaitForConnections(int count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return served_.wait_for(lock, limit, [&] { return connections_ >= count; });
}

void TestCddbServer::Run() {
  while (!stop_) {
    if (auto client = listener_.Accept(20ms)) {
      Serve(*client);
      std::lock_guard lock(mutex_);
      ++connections_;
      served_.notify_all();
    }
  }
}

void TestCddbServer::Serve(TcpSocket& client) {
  client.SetReceiveTimeout(20ms);
  std::string request;
  char buffer[4096];
  const auto give_up = std::chrono::steady_clock::now() + 5s;
  while (request.find("\n\n") == std::string::npos && !stop_ &&
         std::chrono::steady_clock::now() < give_up) {
    const Received got = client.Receive(buffer, ReceiveMode::kTake);
    if (got.status == ReceiveStatus::kData)
      request.append(buffer, got.bytes);
    else if (got.status != ReceiveStatus::kTimedOut)
      break;
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  if (request.empty())
    return;  // a connection that never asked anything
  const ServerReply reply = responder_(request);
  if (!SendAllBytes(client, reply.bytes))
    return;
  switch (reply.after) {
    case AfterReply::kClose:
      return;
    case AfterReply::kHoldOpen: {
      const auto limit = std::chrono::steady_clock::now() + 5s;
      while (!stop_ && std::chrono::steady_clock::now() < limit) {
        const Received got = client.Receive(buffer, ReceiveMode::kPeek);
        if (got.status == ReceiveStatus::kClosed || got.status == ReceiveStatus::kFailed)
          return;
      }
      ++expired_holds_;
      return;
    }
    case AfterReply::kEndlessLines:
    case AfterReply::kEndlessBytes: {
      const std::string chunk = reply.after == AfterReply::kEndlessLines
                                    ? "TTITLE0=" + std::string(100, 'x') + "\r\n"
                                    : std::string(4096, 'x');
      while (!stop_ && SendAllBytes(client, chunk)) {
      }
      return;
    }
  }
}

}  // namespace vyn::testing
