// One match of a CDDB query, and how a match line is split into it.
// Thread-safe: no state.
#pragma once

#include <string>
#include <string_view>

namespace vyn {

struct CddbMatch {
  std::string category;  // first word: the server's category
  std::string disc_id;   // second word, as the server wrote it
  std::string title;     // the rest, trimmed: usually "artist / album"
  // The entry as read: UTF-16 lines, each ending in LF; empty until read.
  std::u16string raw_text;
  friend bool operator==(const CddbMatch&, const CddbMatch&) = default;
};

// White space as the ANSI code page classifies it: space, tab, LF, VT, FF, CR.
bool IsAnsiSpace(char c);
std::string_view TrimLeadingSpace(std::string_view text);

// The text before the first space; `text` becomes what follows it, trimmed
// at both ends. Without a space the whole text is the word and `text`
// becomes empty.
std::string SplitFirstWord(std::string& text);

// category, identifier, title; the entry text stays empty.
CddbMatch ParseMatchLine(std::string_view line);

}  // namespace vyn
