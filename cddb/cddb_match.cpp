#include "cddb/cddb_match.h"

namespace vyn {
namespace {

std::string_view TrimTrailingSpace(std::string_view text) {
  while (!text.empty() && IsAnsiSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace

bool IsAnsiSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimLeadingSpace(std::string_view text) {
  while (!text.empty() && IsAnsiSpace(text.front()))
    text.remove_prefix(1);
  return text;
}

std::string SplitFirstWord(std::string& text) {
  const std::size_t space = text.find(' ');
  if (space == std::string::npos) {
    std::string word = std::move(text);
    text.clear();
    return word;
  }
  std::string word = text.substr(0, space);
  text = std::string(TrimTrailingSpace(TrimLeadingSpace(std::string_view(text).substr(space + 1))));
  return word;
}

CddbMatch ParseMatchLine(std::string_view line) {
  std::string rest(line);
  CddbMatch match;
  match.category = SplitFirstWord(rest);
  match.disc_id = SplitFirstWord(rest);
  match.title = std::move(rest);
  return match;
}

}  // namespace vyn
