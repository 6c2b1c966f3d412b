#include "tools/vynrip/output_names.h"

#include <cstdio>
#include <filesystem>

namespace vyn::rip {

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (error)
    absolute = folder;
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  return text;
}

std::string DefaultTrackName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "Track %02d", number);
  return name;
}

std::string OutputName(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/')
    return folder + name;
  return folder + "/" + name;
}

std::string WavFileFor(const std::string& output_name) {
  if (output_name.size() >= 4) {
    std::string tail = output_name.substr(output_name.size() - 4);
    for (char& c : tail)
      c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ".wav")
      return output_name;
  }
  return output_name + ".wav";
}

}  // namespace vyn::rip
