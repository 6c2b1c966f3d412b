#include "platform/win/reg_file_format.h"

#include <optional>
#include <vector>

namespace vyn {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The offset of the first byte that is not part of well-formed UTF-8
// (overlong forms, surrogates and values above U+10FFFF included), or of a
// control character other than tab, CR and LF; npos when there is none.
std::size_t FindBadByte(std::string_view text, bool allow_line_breaks) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      bool line_break = byte == '\n' || byte == '\r';
      if ((byte < 0x20 && byte != '\t' && !(allow_line_breaks && line_break)) || byte == 0x7F)
        return i;
      ++i;
      continue;
    }
    std::size_t length;
    char32_t code;
    if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
      code = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      code = byte & 0x0F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      code = byte & 0x07;
    } else {
      return i;
    }
    if (i + length > text.size())
      return i;
    for (std::size_t k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80)
        return i;
      code = (code << 6) | (next & 0x3F);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
      return i;
    i += length;
  }
  return std::string_view::npos;
}

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexRun(std::string_view text, std::size_t min, std::size_t max) {
  if (text.size() < min || text.size() > max)
    return false;
  for (char c : text)
    if (!IsHexDigit(c))
      return false;
  return true;
}

// Reads a quoted string at the start of `text` (which starts with '"').
// On success removes it from `text`.
std::optional<std::string> TakeQuoted(std::string_view& text) {
  std::string out;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"'))
        return std::nullopt;
      c = text[++i];
    }
    out.push_back(c);
  }
  return std::nullopt;
}

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"')
      out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

// "hex:", "hex(7):" and the like; the list of bytes follows.
std::optional<std::size_t> HexPrefixLength(std::string_view spec) {
  if (spec.starts_with("hex:"))
    return 4;
  if (!spec.starts_with("hex("))
    return std::nullopt;
  std::size_t close = spec.find("):");
  if (close == std::string_view::npos || !IsHexRun(spec.substr(4, close - 4), 1, 8))
    return std::nullopt;
  return close + 2;
}

// "01,ab,ff" with optional spaces; an empty list is allowed.
bool IsByteList(std::string_view list) {
  list = TrimSpace(list);
  if (list.empty())
    return true;
  while (true) {
    std::size_t comma = list.find(',');
    if (!IsHexRun(TrimSpace(list.substr(0, comma)), 2, 2))
      return false;
    if (comma == std::string_view::npos)
      return true;
    list.remove_prefix(comma + 1);
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view source) : text_(text), source_(source) {}

  Result<RegKey> Run() {
    if (text_.empty())
      return RegKey{};
    if (std::size_t bad = FindBadByte(text_, true); bad != std::string_view::npos)
      return Fail(LineAt(bad), "not UTF-8 text (binary data or another encoding)");
    if (text_.starts_with(kUtf8Bom))
      text_.remove_prefix(kUtf8Bom.size());
    SplitLines();
    if (TrimSpace(lines_[0]) != kRegFileHeader)
      return Fail(1, "not a registry file (expected \"" + std::string(kRegFileHeader) + "\")");
    RegKey root;
    RegKey* current = nullptr;
    for (std::size_t i = 1; i < lines_.size(); ++i) {
      std::size_t line_number = i + 1;
      std::string_view line = TrimSpace(lines_[i]);
      if (line.empty() || line.front() == ';')
        continue;
      if (line.front() == '[') {
        auto path = ParseSection(line);
        if (!path.ok())
          return Fail(line_number, path.error().message);
        // Re-resolved for every section: adding keys may move earlier ones.
        current = &root.FindOrAdd(path.value());
        continue;
      }
      if (line.front() != '@' && line.front() != '"')
        return Fail(line_number, "unexpected text");
      if (!current)
        return Fail(line_number, "value before the first key");
      auto value = ParseValue(line, i);
      if (!value.ok())
        return Fail(line_number, value.error().message);
      current->SetValue(std::move(value.value()));
    }
    return root;
  }

 private:
  void SplitLines() {
    std::string_view rest = text_;
    while (true) {
      std::size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      if (line.ends_with('\r'))
        line.remove_suffix(1);
      lines_.push_back(line);
      if (end == std::string_view::npos)
        break;
      rest.remove_prefix(end + 1);
    }
  }

  std::size_t LineAt(std::size_t offset) const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
      if (text_[i] == '\n')
        ++line;
    return line;
  }

  Error Fail(std::size_t line, std::string_view reason) const {
    return Error{REGDB_E_READREGDB,
                 std::string(source_) + ":" + std::to_string(line) + ": " + std::string(reason)};
  }

  static Result<std::vector<std::string>> ParseSection(std::string_view line) {
    if (line.back() != ']')
      return Error{REGDB_E_READREGDB, "key line without a closing ']'"};
    std::string_view path = line.substr(1, line.size() - 2);
    if (path.starts_with('-'))
      return Error{REGDB_E_READREGDB, "key deletions are not supported"};
    std::string_view hive = path.substr(0, path.find('\\'));
    if (!RegNamesEqual(hive, kRegRootName))
      return Error{REGDB_E_READREGDB, "key outside " + std::string(kRegRootName)};
    path.remove_prefix(hive.size());
    if (path.empty())
      return std::vector<std::string>{};
    auto names = SplitRegPath(path.substr(1));
    if (!names)
      return Error{REGDB_E_READREGDB, "key path with an empty name"};
    return std::move(*names);
  }

  // Parses the value line lines_[index]; continuation lines of a hex value
  // are consumed by advancing `index`.
  Result<RegValue> ParseValue(std::string_view line, std::size_t& index) {
    RegValue value;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      auto name = TakeQuoted(line);
      if (!name)
        return Error{REGDB_E_READREGDB, "malformed value name"};
      value.name = std::move(*name);
    }
    line = TrimSpace(line);
    if (!line.starts_with('='))
      return Error{REGDB_E_READREGDB, "'=' expected after the name"};
    std::string_view spec = TrimSpace(line.substr(1));
    if (spec.starts_with('"')) {
      auto text = TakeQuoted(spec);
      if (!text || !TrimSpace(spec).empty())
        return Error{REGDB_E_READREGDB, "malformed string value"};
      value.data = std::move(*text);
      return value;
    }
    if (spec == "-")
      return Error{REGDB_E_READREGDB, "value deletions are not supported"};
    value.kind = RegValueKind::Raw;
    if (spec.starts_with("dword:")) {
      if (!IsHexRun(spec.substr(6), 1, 8))
        return Error{REGDB_E_READREGDB, "malformed dword"};
      value.data = std::string(spec);
      return value;
    }
    auto prefix = HexPrefixLength(spec);
    if (!prefix)
      return Error{REGDB_E_READREGDB, "unknown value kind"};
    std::string bytes(spec.substr(*prefix));
    value.data = std::string(spec);
    while (!bytes.empty() && bytes.back() == '\\') {
      bytes.pop_back();
      if (++index >= lines_.size())
        return Error{REGDB_E_READREGDB, "hex value runs past the end"};
      value.data += "\n" + std::string(lines_[index]);
      bytes += TrimSpace(lines_[index]);
    }
    if (!IsByteList(bytes))
      return Error{REGDB_E_READREGDB, "malformed hex bytes"};
    return value;
  }

  std::string_view text_;
  std::string_view source_;
  std::vector<std::string_view> lines_;
};

void AppendKey(std::string& out, const RegKey& key, const std::string& path, bool is_root) {
  if (!is_root || !key.values.empty()) {
    out += "\n[" + path + "]\n";
    // The default value first, as the editor writes it.
    for (int pass = 0; pass < 2; ++pass) {
      for (const RegValue& value : key.values) {
        if (value.name.empty() != (pass == 0))
          continue;
        if (value.name.empty())
          out += "@";
        else
          AppendQuoted(out, value.name);
        out += "=";
        if (value.kind == RegValueKind::String)
          AppendQuoted(out, value.data);
        else
          out += value.data;
        out += "\n";
      }
    }
  }
  for (const RegKey& subkey : key.subkeys)
    AppendKey(out, subkey, path + "\\" + subkey.name, false);
}

}  // namespace

Result<RegKey> ParseRegFile(std::string_view text, std::string_view source) {
  return Parser(text, source).Run();
}

std::string FormatRegFile(const RegKey& root) {
  std::string out(kRegFileHeader);
  out += "\n";
  AppendKey(out, root, std::string(kRegRootName), true);
  return out;
}

bool IsStorableRegText(std::string_view text) {
  return FindBadByte(text, false) == std::string_view::npos;
}

}  // namespace vyn
