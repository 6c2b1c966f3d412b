#include "virtual/cue_sheet.h"

#include <cctype>

namespace vyn::virtual_drive {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Splits a line into words and "quoted strings"; false on an open quote.
bool Tokenize(std::string_view line, std::vector<Token>* tokens) {
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    if (i == line.size())
      return true;
    Token token;
    if (line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos)
        return false;
      token.text = std::string(line.substr(i + 1, close - i - 1));
      token.quoted = true;
      i = close + 1;
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t')
        ++i;
      token.text = std::string(line.substr(start, i - start));
    }
    tokens->push_back(std::move(token));
  }
}

// A small decimal number (at most 4 digits), or nullopt.
std::optional<int> ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > 4)
    return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

class Parser {
 public:
  Result<CueSheet> Run(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
      text.remove_prefix(3);
    while (!text.empty()) {
      ++line_number_;
      const std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
      std::vector<Token> tokens;
      if (!Tokenize(line, &tokens))
        return Fail("unterminated quote");
      if (tokens.empty())
        continue;
      if (auto result = Command(tokens); !result)
        return result.error();
    }
    if (sheet_.tracks.empty())
      return Error{E_INVALIDARG, "the CUE sheet has no tracks"};
    if (auto result = FinishTrack(); !result)
      return result.error();
    return std::move(sheet_);
  }

 private:
  Error Fail(const std::string& message) const {
    return Error{E_INVALIDARG, "line " + std::to_string(line_number_) + ": " + message};
  }

  Result<void> Command(const std::vector<Token>& tokens) {
    const std::string& name = tokens[0].text;
    const std::size_t arguments = tokens.size() - 1;
    auto is = [&](std::string_view word) {
      return !tokens[0].quoted && EqualsIgnoringCase(name, word);
    };
    if (is("REM")) {
      if (arguments >= 2 && EqualsIgnoringCase(tokens[1].text, "SESSION"))
        return Session(tokens[2].text);
      return Ok();
    }
    if (is("CATALOG") || is("TITLE") || is("PERFORMER")) {
      if (arguments < 1)
        return Fail(name + " needs a value");
      if (sheet_.tracks.empty()) {
        std::string& field = is("CATALOG") ? sheet_.catalog
                             : is("TITLE") ? sheet_.title
                                           : sheet_.performer;
        field = tokens[1].text;
      }
      return Ok();
    }
    if (is("SONGWRITER") || is("ISRC") || is("CDTEXTFILE"))
      return Ok();
    if (is("FILE"))
      return File(tokens);
    if (is("TRACK"))
      return Track(tokens);
    if (is("INDEX"))
      return Index(tokens);
    if (is("PREGAP"))
      return Pregap(tokens);
    if (is("FLAGS"))
      return Flags(tokens);
    if (is("POSTGAP"))
      return Fail("POSTGAP is not supported");
    return Fail("unknown command '" + name + "'");
  }

  Result<void> Session(const std::string& text) {
    const auto number = ParseNumber(text);
    if (!number || *number < 1 || *number > 99)
      return Fail("bad session number '" + text + "'");
    if (*number < session_)
      return Fail("sessions must be numbered upwards");
    session_ = *number;
    return Ok();
  }

  Result<void> File(const std::vector<Token>& tokens) {
    if (tokens.size() < 3)
      return Fail("FILE needs a name and a type");
    const std::string& type = tokens.back().text;
    if (!EqualsIgnoringCase(type, "BINARY")) {
      return Fail("file type '" + type + "' is not supported; only BINARY");
    }
    std::string name = tokens[1].text;
    if (tokens[1].quoted) {
      if (tokens.size() != 3)
        return Fail("unexpected text after the file name");
    } else {
      // An unquoted name may contain spaces: everything up to the type.
      for (std::size_t i = 2; i + 1 < tokens.size(); ++i)
        name += " " + tokens[i].text;
    }
    if (name.empty())
      return Fail("empty file name");
    sheet_.files.push_back(CueFile{std::move(name)});
    return Ok();
  }

  Result<void> Track(const std::vector<Token>& tokens) {
    if (tokens.size() != 3)
      return Fail("TRACK needs a number and a mode");
    if (sheet_.files.empty())
      return Fail("TRACK before any FILE");
    if (!sheet_.tracks.empty()) {
      if (auto result = FinishTrack(); !result)
        return result;
    }
    if (sheet_.tracks.size() >= 99)
      return Fail("more than 99 tracks");
    const auto number = ParseNumber(tokens[1].text);
    if (!number || *number < 1 || *number > 99)
      return Fail("bad track number '" + tokens[1].text + "'");
    if (!sheet_.tracks.empty() && *number <= sheet_.tracks.back().number) {
      return Fail("track numbers must go upwards");
    }
    CueTrack track;
    const std::string& mode = tokens[2].text;
    if (EqualsIgnoringCase(mode, "AUDIO")) {
      track.mode = CueTrackMode::kAudio;
    } else if (EqualsIgnoringCase(mode, "MODE1/2352")) {
      track.mode = CueTrackMode::kMode1Raw;
    } else if (EqualsIgnoringCase(mode, "MODE2/2352")) {
      track.mode = CueTrackMode::kMode2Raw;
    } else {
      return Fail("track mode '" + mode + "' is not supported; only 2352-byte sectors");
    }
    track.number = *number;
    track.session = session_;
    track.file_index = static_cast<int>(sheet_.files.size()) - 1;
    track.line = line_number_;
    sheet_.tracks.push_back(track);
    last_index_ = -1;
    last_index_time_ = -1;
    has_index01_ = false;
    has_pregap_ = false;
    return Ok();
  }

  Result<void> Index(const std::vector<Token>& tokens) {
    if (tokens.size() != 3)
      return Fail("INDEX needs a number and a time");
    if (sheet_.tracks.empty())
      return Fail("INDEX before any TRACK");
    CueTrack& track = sheet_.tracks.back();
    if (track.file_index != static_cast<int>(sheet_.files.size()) - 1) {
      return Fail("INDEX in another FILE than its TRACK");
    }
    const auto number = ParseNumber(tokens[1].text);
    if (!number || *number > 99)
      return Fail("bad index number '" + tokens[1].text + "'");
    const auto time = ParseCueTime(tokens[2].text);
    if (!time)
      return Fail("bad time '" + tokens[2].text + "'");
    if (*number <= last_index_)
      return Fail("index numbers must go upwards");
    if (*time < last_index_time_)
      return Fail("index times must not go backwards");
    if (*number > 1 && !has_index01_)
      return Fail("INDEX " + tokens[1].text + " before INDEX 01");
    if (*number == 0)
      track.index00 = *time;
    if (*number == 1) {
      track.index01 = *time;
      has_index01_ = true;
    }
    last_index_ = *number;
    last_index_time_ = *time;
    return Ok();
  }

  Result<void> Pregap(const std::vector<Token>& tokens) {
    if (tokens.size() != 2)
      return Fail("PREGAP needs a time");
    if (sheet_.tracks.empty())
      return Fail("PREGAP before any TRACK");
    if (has_pregap_ || last_index_ >= 0)
      return Fail("PREGAP must come once, before the INDEX lines");
    const auto time = ParseCueTime(tokens[1].text);
    if (!time)
      return Fail("bad time '" + tokens[1].text + "'");
    sheet_.tracks.back().pregap_frames = *time;
    has_pregap_ = true;
    return Ok();
  }

  Result<void> Flags(const std::vector<Token>& tokens) {
    if (sheet_.tracks.empty())
      return Fail("FLAGS before any TRACK");
    BYTE flags = 0;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
      const std::string& flag = tokens[i].text;
      if (EqualsIgnoringCase(flag, "PRE")) {
        flags |= 0x01;
      } else if (EqualsIgnoringCase(flag, "DCP")) {
        flags |= 0x02;
      } else if (EqualsIgnoringCase(flag, "4CH")) {
        flags |= 0x08;
      } else if (!EqualsIgnoringCase(flag, "SCMS")) {  // serial copy management: not in the TOC
        return Fail("unknown flag '" + flag + "'");
      }
    }
    sheet_.tracks.back().flags = flags;
    return Ok();
  }

  Result<void> FinishTrack() {
    if (!has_index01_) {
      return Error{E_INVALIDARG, "line " + std::to_string(sheet_.tracks.back().line) + ": track " +
                                     std::to_string(sheet_.tracks.back().number) +
                                     " has no INDEX 01"};
    }
    return Ok();
  }

  CueSheet sheet_;
  int line_number_ = 0;
  int session_ = 1;
  int last_index_ = -1;
  std::int32_t last_index_time_ = -1;
  bool has_index01_ = false;
  bool has_pregap_ = false;
};

}  // namespace

std::optional<std::int32_t> ParseCueTime(std::string_view text) {
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos)
    return std::nullopt;
  const auto minutes = ParseNumber(text.substr(0, first));
  const auto seconds = ParseNumber(text.substr(first + 1, second - first - 1));
  const auto frames = ParseNumber(text.substr(second + 1));
  if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= 75)
    return std::nullopt;
  return (*minutes * 60 + *seconds) * 75 + *frames;
}

Result<CueSheet> ParseCueSheet(std::string_view text) {
  return Parser().Run(text);
}

}  // namespace vyn::virtual_drive
