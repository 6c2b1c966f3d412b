// The reply side of the protocol without a network: lines, the HTTP head,
// and the CDDB status and body, from scripted chunks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cddb/cddb_reply.h"
#include "cddb/http_head.h"
#include "cddb/line_reader.h"
#include "control/messages.h"
#include "platform/text/code_page.h"
#include "platform/win/clock.h"
#include "tests/cddb/scripted_stream.h"

namespace vyn {
namespace {

using testing::ScriptedStream;

std::vector<std::string> ReadAllLines(ScriptedStream& stream, std::string* error = nullptr) {
  LineReader reader(stream);
  std::vector<std::string> lines;
  for (;;) {
    auto line = reader.ReadLine();
    if (!line) {
      if (error)
        *error = line.error().message;
      return lines;
    }
    lines.push_back(*line);
  }
}

class ReplyParsingTest : public ::testing::Test {
 protected:
  // The idle pauses of a closed stream take 20 s of real time otherwise.
  ScaledClock fast_{100000};
  ScopedClockOverride clock_{fast_};
};

// Catches line splitting that depends on how the bytes arrive, or that
// leaves CR in a line or eats the bytes after it.
TEST_F(ReplyParsingTest, LineEndsAndChunking) {
  static const struct {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
  } kCases[] = {
      {"CR LF", {"one\r\ntwo\r\n"}, {"one", "two"}},
      {"bare LF", {"one\ntwo\n"}, {"one", "two"}},
      {"split inside CR LF", {"one\r", "\ntwo", "\n"}, {"one", "two"}},
      {"byte by byte", {"a", "b", "\r", "\n", "\n"}, {"ab", ""}},
      {"CR inside a line goes", {"a\rb\n"}, {"ab"}},
      {"NUL ends its chunk's text", {std::string("ab\0cd", 5), "ef\n"}, {"abef"}},
      {"NUL before the LF still ends the line", {std::string("x\0y\nz\n", 6)}, {"x", "z"}},
      {"long line over many chunks", {std::string(3000, 'x') + "\n"}, {std::string(3000, 'x')}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedStream stream(c.chunks);
    std::string error;
    EXPECT_EQ(ReadAllLines(stream, &error), c.lines);
    EXPECT_EQ(error, MessageText(Message::kSocketTimedOut));
  }
}

// Catches a read that fails at once on a closed connection instead of
// after the 201 idle pauses, or one that never ends.
TEST_F(ReplyParsingTest, ClosedMidLineTimesOutAfterTheIdlePauses) {
  ScriptedStream stream({"partial"});
  LineReader reader(stream);
  auto line = reader.ReadLine();
  ASSERT_FALSE(line.ok());
  EXPECT_EQ(line.error().message, MessageText(Message::kSocketTimedOut));
  EXPECT_EQ(stream.empty_receives(), 202);  // 201 pauses, then the last look
}

// Catches receive failures and time-outs reported under the wrong text,
// and a line or reply without a size bound.
TEST_F(ReplyParsingTest, FailuresAndLimits) {
  static const struct {
    const char* name;
    std::vector<std::string> chunks;
    ReceiveStatus end;
    LineLimits limits;
    Message message;
    std::size_t lines;
  } kCases[] = {
      {"receive fails", {"ok\n"}, ReceiveStatus::kFailed, {}, Message::kSocketReceiveFailed, 1},
      {"receive time-out", {"ok\n"}, ReceiveStatus::kTimedOut, {}, Message::kSocketTimedOut, 1},
      {"line too long",
       {std::string(101, 'x') + "\n"},
       ReceiveStatus::kClosed,
       {100, 1000},
       Message::kSocketReceiveFailed,
       0},
      {"line at the limit",
       {std::string(99, 'x') + "\n"},
       ReceiveStatus::kClosed,
       {100, 1000},
       Message::kSocketTimedOut,
       1},
      {"reply too long",
       {std::string(600, 'x') + "\n" + std::string(600, 'y') + "\n"},
       ReceiveStatus::kClosed,
       {1000, 1000},
       Message::kSocketReceiveFailed,
       1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedStream stream(c.chunks, c.end);
    LineReader reader(stream, c.limits);
    std::size_t lines = 0;
    for (;;) {
      auto line = reader.ReadLine();
      if (!line) {
        EXPECT_EQ(line.error().message, MessageText(c.message));
        break;
      }
      ++lines;
    }
    EXPECT_EQ(lines, c.lines);
  }
}

// Catches a wrong verdict on the status line, and a head that stops before
// the empty line (which would hand a header to the CDDB parser).
TEST_F(ReplyParsingTest, HttpHead) {
  static const struct {
    const char* reply;
    const char* error;  // null: accepted
  } kCases[] = {
      {"HTTP/1.0 200 OK\r\nServer: x\r\n\r\nBODY\n", nullptr},
      {"HTTP/1.1 200\n\nBODY\n", nullptr},
      {"HTTP/1.0 404 Not Found\r\n\r\n", MessageText(Message::kCddbHttpStatus)},
      {"HTTP/1.0 302 Found\r\n\r\n", MessageText(Message::kCddbHttpStatus)},
      {"HTTP/1.0 20\n\n", MessageText(Message::kCddbHttpStatus)},
      {"HTTP\n\n", MessageText(Message::kCddbHttpStatus)},
      {"200 rock 7a0b4c0d A / B\r\n", MessageText(Message::kCddbNotHttp)},
      {"HTT\n", MessageText(Message::kCddbNotHttp)},
      {"http/1.0 200 OK\n\n", MessageText(Message::kCddbNotHttp)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.reply);
    ScriptedStream stream({c.reply});
    LineReader reader(stream);
    auto head = ReadHttpHead(reader);
    if (!c.error) {
      ASSERT_TRUE(head.ok()) << head.error().message;
      auto body = reader.ReadLine();
      ASSERT_TRUE(body.ok());
      EXPECT_EQ(*body, "BODY");
    } else {
      ASSERT_FALSE(head.ok());
      EXPECT_EQ(head.error().message, c.error);
    }
  }
}

// Catches a wrong status code reading or a wrong split of a match line.
TEST_F(ReplyParsingTest, StatusCodesAndMatchLines) {
  EXPECT_EQ(CddbStatusCode("200 rock x"), 200);
  EXPECT_EQ(CddbStatusCode("21"), 21);
  EXPECT_EQ(CddbStatusCode("2x1"), 2);
  EXPECT_EQ(CddbStatusCode("abc"), 0);
  EXPECT_EQ(CddbStatusCode("2100"), 210);

  EXPECT_EQ(ParseMatchLine("rock 7a0b4c0d Some Artist / Some Album"),
            (CddbMatch{"rock", "7a0b4c0d", "Some Artist / Some Album", u""}));
  EXPECT_EQ(ParseMatchLine("misc  7A0B4C0D \t Title \r"),
            (CddbMatch{"misc", "7A0B4C0D", "Title", u""}));
  EXPECT_EQ(ParseMatchLine("."), (CddbMatch{".", "", "", u""}));
  std::string text = "word";
  EXPECT_EQ(SplitFirstWord(text), "word");
  EXPECT_EQ(text, "");
}

struct QueryCase {
  const char* name;
  std::vector<std::string> body;
  std::vector<CddbMatch> matches;
  const char* error;  // null: success
};

// Catches a wrong reading of the query reply: each status code, the list
// and its end, the odd first line, and what stays after a failure.
TEST_F(ReplyParsingTest, QueryReplies) {
  const char* k9 = MessageText(Message::kCddbNoRecords);
  const char* k10 = MessageText(Message::kCddbUnknownFailure);
  const char* kTimeOut = MessageText(Message::kSocketTimedOut);
  static const QueryCase kCases[] = {
      {"200",
       {"200 rock 7a0b4c0d Some Artist / Some Album\r\n"},
       {{"rock", "7a0b4c0d", "Some Artist / Some Album", u""}},
       nullptr},
      {"200 without a space", {"200rock 1 T\n"}, {{"rock", "1", "T", u""}}, nullptr},
      {"211 three matches",
       {"211 close matches found\r\n", "rock 1 A / B\r\n", "  jazz 2 C / D\r\n", "misc 3 E\r\n",
        ".\r\n"},
       {{"rock", "1", "A / B", u""}, {"jazz", "2", "C / D", u""}, {"misc", "3", "E", u""}},
       nullptr},
      {"210 dot with more text ends",
       {"210 found\n", "rock 1 A\n", ". and more\n", "jazz 2 B\n"},
       {{"rock", "1", "A", u""}},
       nullptr},
      {"210 indented dot ends",
       {"210 found\n", "rock 1 A\n", "  .\n"},
       {{"rock", "1", "A", u""}},
       nullptr},
      {"first line is always a match", {"211 found\n", ".\n"}, {{".", "", "", u""}}, kTimeOut},
      {"list cut off keeps what came",
       {"211 found\n", "rock 1 A\n"},
       {{"rock", "1", "A", u""}},
       kTimeOut},
      {"202", {"202 No match found\n"}, {}, k9},
      {"201", {"201 ok\n"}, {}, k10},
      {"403", {"403 Database entry is corrupt\n"}, {}, k10},
      {"letters", {"OK\n"}, {}, k10},
      {"short status line", {"2\n"}, {}, k10},
      {"empty body", {}, {}, kTimeOut},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedStream stream(c.body);
    LineReader reader(stream);
    std::vector<CddbMatch> matches;
    auto result = ReadQueryReply(reader, matches);
    EXPECT_EQ(matches, c.matches);
    if (!c.error)
      EXPECT_TRUE(result.ok()) << result.error().message;
    else
      EXPECT_EQ(result.ok() ? "" : result.error().message, c.error);
  }
}

// Catches a wrong entry text: line ends, the first line, lines starting
// with ".", the code page, and the status codes of a read.
TEST_F(ReplyParsingTest, EntryReplies) {
  static const struct {
    const char* name;
    std::vector<std::string> body;
    std::u16string text;
    const char* error;
  } kCases[] = {
      {"CR LF lines end in LF",
       {"210 rock 7a0b4c0d CD database entry follows\r\n", "# xmcd\r\n", "DTITLE=A / B\r\n",
        ".\r\n"},
       u"# xmcd\nDTITLE=A / B\n",
       nullptr},
      {"blank lines and spaces kept",
       {"210 x\n", "  A=1 \n", "\n", "B=2\n", ".\n"},
       u"  A=1 \n\nB=2\n",
       nullptr},
      {"a line starting with a dot ends the entry",
       {"210 x\n", "A=1\n", ".hidden\n", "B=2\n", ".\n"},
       u"A=1\n",
       nullptr},
      {"first line is always taken", {"211 x\n", ".\n", "A=1\n", ".\n"}, u".\nA=1\n", nullptr},
      {"Windows-1252 text",
       {"210 x\n", "DTITLE=Bj\xf6rk \x96 \x80\n", ".\n"},
       u"DTITLE=Bj\u00f6rk \u2013 \u20ac\n",
       nullptr},
      {"200 is not an entry", {"200 rock 1 A\n"}, u"", MessageText(Message::kCddbUnknownFailure)},
      {"202", {"202 none\n"}, u"", MessageText(Message::kCddbNoRecords)},
      {"401",
       {"401 rock 1 No such CD entry in database\n"},
       u"",
       MessageText(Message::kCddbUnknownFailure)},
      {"cut off", {"210 x\n", "A=1\n"}, u"", MessageText(Message::kSocketTimedOut)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedStream stream(c.body);
    LineReader reader(stream);
    auto text = ReadEntryReply(reader);
    if (!c.error) {
      ASSERT_TRUE(text.ok()) << text.error().message;
      EXPECT_EQ(WideToUtf8(*text), WideToUtf8(c.text));
    } else {
      ASSERT_FALSE(text.ok());
      EXPECT_EQ(text.error().message, c.error);
    }
  }
}

}  // namespace
}  // namespace vyn
