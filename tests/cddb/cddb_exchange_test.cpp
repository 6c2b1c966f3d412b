// Whole requests against a CDDB server on the loopback address.
#include "cddb/cddb_exchange.h"

#include <gtest/gtest.h>

#include <mutex>

#include "cddb/cddb_settings.h"
#include "cddb/http_request.h"
#include "cddb/proxy_setting.h"
#include "control/messages.h"
#include "platform/net/socket_startup.h"
#include "platform/net/tcp_listener.h"
#include "platform/text/code_page.h"
#include "platform/win/clock.h"
#include "platform/win/message_box.h"
#include "tests/cddb/scoped_environment.h"
#include "tests/cddb/test_cddb_server.h"

namespace vyn {
namespace {

using namespace std::chrono_literals;
using testing::AfterReply;
using testing::FixtureResponder;
using testing::FixtureText;
using testing::HttpOk;
using testing::LineEnd;
using testing::ScopedEnvironment;
using testing::ServerReply;
using testing::TestCddbServer;

constexpr char kThreeMatches[] =
    "211 Found inexact matches, list follows (until terminating `.')\n"
    "rock 7a0b4c0d Some Artist / Some Album\n"
    "jazz 7a0b4c0d Other Artist / Other Album\n"
    "misc 7a0b4c0e Caf\xe9 Trio / Live \xe0 Paris\n"
    ".\n";

DiscToc TwoTrackDisc() {
  DiscToc toc;
  toc.entry_count = 3;
  toc.start_lba = {0, 600, 975};
  toc.track_number = {1, 2, kLeadOutTrack};
  return toc;
}

// Under the fast clock (x100000) of the misbehaviour tests: the connection
// step may take up to 10 s and a silent server is given up after 1 s of
// real time, so a loaded machine cannot turn a slow answer into a time-out.
CddbExchangeOptions PatientOptions() {
  CddbExchangeOptions options;
  options.settings.timeout_seconds = 1'000'000;
  options.receive_timeout = std::chrono::seconds(100'000);
  return options;
}

std::string Utf8(const std::u16string& text) {
  return WideToUtf8(text);
}

class CddbExchangeTest : public ::testing::Test {
 protected:
  void UseServer(const TestCddbServer& server) {
    env_.Set(kCddbServerVariable, server.address())
        .Set(kCddbEmailVariable, nullptr)
        .Set(kHttpProxyVariable, nullptr);
  }
  void TearDown() override { EXPECT_EQ(SocketStartupCount(), 0) << "sockets not cleaned up"; }

  ScopedEnvironment env_;
};

// Catches a lookup that loses a match, mixes up entries or changes their
// text (line ends, code page), with both kinds of line end from the server.
TEST_F(CddbExchangeTest, QueryAndThreeReads) {
  for (LineEnd line_end : {LineEnd::kCrLf, LineEnd::kLf}) {
    SCOPED_TRACE(line_end == LineEnd::kCrLf ? "CR LF" : "LF");
    TestCddbServer server(FixtureResponder(kThreeMatches, line_end));
    UseServer(server);
    std::vector<CddbMatch> matches = {CddbMatch{"old", "1", "stale", u""}};
    ASSERT_TRUE(CddbQuery(TwoTrackDisc(), matches).ok());
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0], (CddbMatch{"rock", "7a0b4c0d", "Some Artist / Some Album", u""}));
    EXPECT_EQ(matches[2].title, "Caf\xe9 Trio / Live \xe0 Paris");
    for (CddbMatch& match : matches) {
      ASSERT_TRUE(CddbRead(match).ok()) << match.category;
      EXPECT_EQ(Utf8(match.raw_text), Utf8(AnsiToWide(FixtureText(match.category, match.disc_id))));
    }
    EXPECT_NE(Utf8(matches[2].raw_text).find("\nDTITLE=Café Trio / Live à Paris\n"),
              std::string::npos);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(testing::CommandOf(requests[0]), "cddb query 03000d02 2 150 750 15");
    EXPECT_EQ(testing::CommandOf(requests[3]), "cddb read misc 7a0b4c0e");
  }
}

// Catches request bytes that differ from the protocol's: the request line
// with and without a proxy, the hello, bare LF, no Host header, and that
// the connection goes to the proxy rather than to the server.
TEST_F(CddbExchangeTest, RequestBytesDirectAndThroughAProxy) {
  TestCddbServer server(FixtureResponder(kThreeMatches));
  const std::string port = std::to_string(server.port());
  const std::string tail =
      "?cmd=cddb+query+03000d02+2+150+750+15&hello=me+example.org+CDRipper+1.0&proto=5 "
      "HTTP/1.0\nUser-Agent: Tarnwell Control, www.nuvex.example\n\n";
  const struct {
    const char* name;
    std::string server;
    std::string proxy;  // empty: direct
    std::string request;
  } kCases[] = {
      {"direct", "127.0.0.1:" + port, "", "GET /~cddb/cddb.cgi" + tail},
      {"proxy", "cddb.invalid", "127.0.0.1:" + port,
       "GET http://cddb.invalid/~cddb/cddb.cgi" + tail},
      {"proxy with scheme and slash", "cddb.invalid", "http://127.0.0.1:" + port + "/",
       "GET http://cddb.invalid/~cddb/cddb.cgi" + tail},
      {"proxy, server on another port", "cddb.invalid:8880", "127.0.0.1:" + port,
       "GET http://cddb.invalid:8880/~cddb/cddb.cgi" + tail},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScopedEnvironment env;
    env.Set(kCddbServerVariable, c.server)
        .Set(kCddbEmailVariable, "me@example.org")
        .Set(kHttpProxyVariable, c.proxy.empty() ? nullptr : c.proxy.c_str());
    const std::size_t before = server.requests().size();
    std::vector<CddbMatch> matches;
    ASSERT_TRUE(CddbQuery(TwoTrackDisc(), matches).ok());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back(), c.request);
  }
}

// Catches a reply fault that hangs the host, exhausts its memory, or is
// reported under the wrong text: HTTP errors, a bare CDDB reply, a close
// in mid-line, silence on an open connection, endless lines or bytes.
TEST_F(CddbExchangeTest, MisbehavingServers) {
  ScaledClock fast(100000);  // the idle pauses (20.1 s) pass in a fraction of a millisecond
  ScopedClockOverride clock(fast);
  const std::string head = HttpOk("");
  const struct {
    const char* name;
    ServerReply reply;
    Message query_error;
  } kCases[] = {
      {"status 404", {"HTTP/1.0 404 Not Found\r\n\r\n"}, Message::kCddbHttpStatus},
      {"no status line", {"200 rock 7a0b4c0d A / B\r\n"}, Message::kCddbNotHttp},
      {"empty reply", {""}, Message::kSocketTimedOut},
      {"close in mid-line", {head + "211 found\r\nrock 7a0b"}, Message::kSocketTimedOut},
      {"silent after the head", {head, AfterReply::kHoldOpen}, Message::kSocketTimedOut},
      {"silent in mid-line", {head + "211 fou", AfterReply::kHoldOpen}, Message::kSocketTimedOut},
      {"endless line", {head + "211 ", AfterReply::kEndlessBytes}, Message::kSocketReceiveFailed},
      {"endless list",
       {head + "211 found\r\n", AfterReply::kEndlessLines},
       Message::kSocketReceiveFailed},
      {"endless header",
       {"HTTP/1.0 200 OK\r\n", AfterReply::kEndlessLines},
       Message::kSocketReceiveFailed},
      {"no match", {head + "202 No match found\r\n"}, Message::kCddbNoRecords},
      {"201", {head + "201 OK\r\n"}, Message::kCddbUnknownFailure},
      {"403", {head + "403 Database entry is corrupt\r\n"}, Message::kCddbUnknownFailure},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TestCddbServer server([&](const std::string&) { return c.reply; });
    UseServer(server);
    std::vector<CddbMatch> matches = {CddbMatch{"old", "1", "stale", u""}};
    auto result = CddbQuery(TwoTrackDisc(), matches, PatientOptions());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(c.query_error));
    EXPECT_EQ(result.code(), DISP_E_EXCEPTION);
    EXPECT_EQ(server.expired_holds(), 0) << "the client waited for the server to give up";
    if (c.query_error == Message::kCddbNoRecords) {
      EXPECT_TRUE(matches.empty());
    }
  }
}

// Catches an entry read without a bound, and NUL bytes that end more than
// the text of the chunk they arrive in.
TEST_F(CddbExchangeTest, HostileEntries) {
  ScaledClock fast(100000);
  ScopedClockOverride clock(fast);
  const std::string head = HttpOk("");
  {
    TestCddbServer server([&](const std::string&) {
      return ServerReply{head + "210 rock 1 entry follows\r\n", AfterReply::kEndlessLines};
    });
    UseServer(server);
    CddbMatch match{"rock", "1", "A", u"kept"};
    auto result = CddbRead(match, PatientOptions());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(Message::kSocketReceiveFailed));
    EXPECT_EQ(Utf8(match.raw_text), "kept");
  }
  {
    TestCddbServer server([&](const std::string&) {
      static constexpr char kEntry[] = "210 rock 1 x\r\nA=1\0junk\r\nB=2\r\n.\r\n";
      return ServerReply{head + std::string(kEntry, sizeof kEntry - 1)};
    });
    UseServer(server);
    CddbMatch match{"rock", "1", "A", u""};
    ASSERT_TRUE(CddbRead(match, PatientOptions()).ok());
    EXPECT_EQ(Utf8(match.raw_text), "A=1\nB=2\n");
  }
}

class RecordingProvider final : public MessageBoxProvider {
 public:
  int Show(const MessageBoxRequest& request) override {
    std::lock_guard lock(mutex_);
    shown_.push_back(request);
    return IDOK;
  }
  std::vector<MessageBoxRequest> shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxRequest> shown_;
};

// Catches a malformed proxy setting that fails the request or goes
// unreported: the user sees the system's text once, and the request goes
// direct.
TEST_F(CddbExchangeTest, MalformedProxyShowsAMessageAndGoesDirect) {
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);
  env_.Set(kHttpProxyVariable, "socks5://127.0.0.1:1");
  auto provider = std::make_shared<RecordingProvider>();
  auto previous = SetMessageBoxProvider(provider);
  std::vector<CddbMatch> matches;
  auto result = CddbQuery(TwoTrackDisc(), matches);
  SetMessageBoxProvider(previous);
  ASSERT_TRUE(result.ok()) << result.error().message;
  EXPECT_EQ(matches.size(), 3u);
  const auto shown = provider->shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(Utf8(shown[0].text), "The data is not valid");
  EXPECT_EQ(shown[0].type, MB_OK);
  EXPECT_EQ(shown[0].owner, nullptr);
  EXPECT_EQ(server.requests()[0].rfind("GET /~cddb/", 0), 0u);
}

// Catches failures before the request reported under the wrong text, and
// sockets left started after them.
TEST_F(CddbExchangeTest, FailuresBeforeTheRequest) {
  TestCddbServer server(FixtureResponder(kThreeMatches));
  UseServer(server);
  std::vector<CddbMatch> matches;
  {
    ScopedSocketStartupFailure no_sockets;
    auto result = CddbQuery(TwoTrackDisc(), matches);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(Message::kCddbCannotInitSockets));
  }
  {
    CddbExchangeOptions options;
    options.connect.start_thread = [](std::function<void()>) { return false; };
    auto result = CddbQuery(TwoTrackDisc(), matches, options);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(Message::kCddbInternalError));
  }
  {
    HostAddressCache cache;
    CddbExchangeOptions options;
    options.settings.server_host = "cddb.invalid";
    options.connect.cache = &cache;
    options.connect.lookup = [](const std::string&) { return std::optional<Ipv4Address>(); };
    auto result = CddbQuery(TwoTrackDisc(), matches, options);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(Message::kCddbServerNotFound));
  }
  {
    std::uint16_t closed_port;
    {
      auto listener = TcpListener::ListenOnLoopback();
      ASSERT_TRUE(listener.ok());
      closed_port = listener->port();
    }
    CddbExchangeOptions options;
    options.settings.server_host = "127.0.0.1";
    options.settings.server_port = closed_port;
    auto result = CddbQuery(TwoTrackDisc(), matches, options);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().message, MessageText(Message::kCddbServerNotFound));
  }
  EXPECT_TRUE(server.requests().empty());
}

// Catches a request that could not be sent passed on as if it had been
// (the reply would then be read from a dead connection) or reported under
// another text: no connection at all, and a peer that reset it.
TEST_F(CddbExchangeTest, ARequestThatCannotBeSentIsErrorSix) {
  TcpSocket none;
  auto unsent = SendAll(none, "GET / HTTP/1.0\n\n");
  ASSERT_FALSE(unsent.ok());
  EXPECT_EQ(unsent.error().message, MessageText(Message::kCddbCannotSend));
  EXPECT_EQ(unsent.code(), DISP_E_EXCEPTION);

  auto listener = TcpListener::ListenOnLoopback();
  ASSERT_TRUE(listener.ok());
  auto client = TcpSocket::Connect(kLoopbackAddress, listener->port());
  ASSERT_TRUE(client.ok());
  // The peer goes without reading: what is sent after its close is
  // answered with a reset, and a later send fails.
  listener->Accept(1s).reset();
  const std::string request(8 << 20, 'x');
  auto reset = SendAll(*client, request);
  ASSERT_FALSE(reset.ok());
  EXPECT_EQ(reset.error().message, MessageText(Message::kCddbCannotSend));
}

}  // namespace
}  // namespace vyn
