// The fixed settings, the user's overrides, the proxy text and the request
// bytes: pure functions, no network.
#include <gtest/gtest.h>

#include "cddb/cddb_settings.h"
#include "cddb/http_request.h"
#include "cddb/proxy_setting.h"

namespace vyn {
namespace {

// Catches an override that is applied when malformed (and would break the
// request), or not applied when well-formed.
TEST(CddbSettingsTest, EnvironmentOverrides) {
  const CddbSettings fixed = FixedCddbSettings();
  EXPECT_EQ(fixed.server_host, "gnudb.gnudb.org");
  EXPECT_EQ(fixed.server_port, 80);
  EXPECT_EQ(fixed.cgi_path, "/~cddb/cddb.cgi");
  static const struct {
    const char* server;
    const char* email;
    const char* host;
    std::uint16_t port;
    const char* contact;
  } kCases[] = {
      {nullptr, nullptr, "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
      {"cddb.example.org", "me@example.org", "cddb.example.org", 80, "me@example.org"},
      {"127.0.0.1:8880", "", "127.0.0.1", 8880, "tarnwell@nuvex.example"},
      {"host:0", "no-at-sign", "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
      {"host:99999", "a@b@c", "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
      {"host:80x", "me@", "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
      {":8080", "a b@c", "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
      {"ho st", "a&b@c", "gnudb.gnudb.org", 80, "tarnwell@nuvex.example"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.server ? c.server : "(unset)");
    const CddbSettings settings = ApplyCddbOverrides(fixed, c.server, c.email);
    EXPECT_EQ(settings.server_host, c.host);
    EXPECT_EQ(settings.server_port, c.port);
    EXPECT_EQ(settings.contact_address, c.contact);
  }
}

// Catches a wrong reading of the proxy text.
TEST(ProxySettingTest, ProxyText) {
  static const struct {
    const char* text;
    const char* host;  // null: malformed
    std::uint16_t port;
  } kCases[] = {
      {"proxy.example:8080", "proxy.example", 8080},
      {"http://proxy.example:3128/", "proxy.example", 3128},
      {"HTTP://proxy.example:3128", "proxy.example", 3128},
      {"proxy.example:", "proxy.example", 0},
      {"proxy.example:80abc", "proxy.example", 80},
      {"proxy.example:70000", "proxy.example", 4464},  // kept in 16 bits
      {"proxy.example", "proxy.example", kDefaultProxyPort},
      {"http=proxy.example:8080", "http=proxy.example", 8080},
      {":8080", nullptr, 0},
      {"http://", nullptr, 0},
      {"https://proxy.example:443", nullptr, 0},
      {"user:pw@proxy.example:8080", nullptr, 0},
      {"proxy example:8080", nullptr, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto setting = ParseProxyText(c.text);
    if (!c.host) {
      EXPECT_FALSE(setting.has_value());
      continue;
    }
    ASSERT_TRUE(setting.has_value());
    EXPECT_EQ(*setting, (ProxySetting{ProxyUse::kNamedProxy, c.host, c.port}));
  }
}

// Catches a request that is not byte for byte the protocol's: scheme and
// host only through a proxy, "+" for spaces, the hello fields, bare LF, two
// LF at the end, no CR and no Host header.
TEST(HttpRequestTest, RequestBytes) {
  const CddbSettings settings = FixedCddbSettings();
  const ProxySetting direct;
  const ProxySetting proxy{ProxyUse::kNamedProxy, "proxy.example", 8080};
  const std::string tail =
      "?cmd=cddb+read+rock+7A0B4C0D&hello=tarnwell+nuvex.example+CDRipper+1.0&proto=5 "
      "HTTP/1.0\nUser-Agent: Tarnwell Control, www.nuvex.example\n\n";
  EXPECT_EQ(BuildHttpRequest(settings, direct, "cddb read rock 7A0B4C0D"),
            "GET /~cddb/cddb.cgi" + tail);
  EXPECT_EQ(BuildHttpRequest(settings, proxy, "cddb read rock 7A0B4C0D"),
            "GET http://gnudb.gnudb.org/~cddb/cddb.cgi" + tail);
  EXPECT_EQ(BuildHttpRequest(settings, direct, "cddb query ffffffff -1 2"),
            "GET /~cddb/cddb.cgi?cmd=cddb+query+ffffffff+-1+2&hello=tarnwell+nuvex.example+"
            "CDRipper+1.0&proto=5 HTTP/1.0\nUser-Agent: Tarnwell Control, www.nuvex.example\n\n");
}

}  // namespace
}  // namespace vyn
