#include "tools/vynrip/command_line.h"

#include <charconv>

namespace vyn::rip {
namespace {

Error Wrong(std::string message) {
  return Error{E_INVALIDARG, std::move(message)};
}

std::optional<int> PositiveNumber(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1)
    return std::nullopt;
  return value;
}

std::optional<Command> CommandNamed(std::string_view name) {
  if (name == "drives")
    return Command::kDrives;
  if (name == "toc")
    return Command::kToc;
  if (name == "cddb")
    return Command::kCddb;
  if (name == "rip")
    return Command::kRip;
  return std::nullopt;
}

// Which options a command takes.
bool Takes(Command command, std::string_view option) {
  if (option == "--help" || option == "-h")
    return true;
  if (option == "-d" || option == "--drive")
    return command != Command::kDrives;
  return command == Command::kRip;
}

}  // namespace

Result<std::vector<TrackRange>> ParseTrackList(std::string_view text) {
  std::vector<TrackRange> ranges;
  while (true) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    std::size_t dash = item.find('-');
    std::optional<int> first = PositiveNumber(item.substr(0, dash));
    std::optional<int> last =
        dash == std::string_view::npos ? first : PositiveNumber(item.substr(dash + 1));
    if (!first || !last)
      return Wrong("'" + std::string(item) + "' is not a track number or range like 3-5");
    if (*last < *first)
      return Wrong("the range '" + std::string(item) + "' runs backwards");
    ranges.push_back({*first, *last});
    if (comma == std::string_view::npos)
      return ranges;
    text.remove_prefix(comma + 1);
  }
}

bool IsSelected(const std::vector<TrackRange>& ranges, int number) {
  if (ranges.empty())
    return true;
  for (const TrackRange& range : ranges) {
    if (number >= range.first && number <= range.last)
      return true;
  }
  return false;
}

Result<Options> ParseCommandLine(const std::vector<std::string>& arguments) {
  Options options;
  if (arguments.empty())
    return Wrong("no command given");
  if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
    options.help = true;
    return options;
  }
  std::optional<Command> command = CommandNamed(arguments[0]);
  if (!command)
    return Wrong("unknown command '" + arguments[0] + "'");
  options.command = *command;

  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (!Takes(options.command, option) && option.rfind("-", 0) == 0)
      return Wrong("'" + arguments[0] + "' has no option '" + option + "'");
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= arguments.size())
        return std::nullopt;
      return arguments[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "-d" || option == "--drive") {
      std::optional<std::string> text = value();
      std::optional<int> number = text ? PositiveNumber(*text) : std::nullopt;
      if (!number)
        return Wrong(option + " needs a drive number from 1");
      options.drive = *number;
    } else if (option == "-t" || option == "--tracks") {
      std::optional<std::string> text = value();
      if (!text)
        return Wrong(option + " needs a list of tracks, like 1,3-5");
      auto tracks = ParseTrackList(*text);
      if (!tracks)
        return tracks.error();
      options.tracks = std::move(*tracks);
    } else if (option == "-o" || option == "--output") {
      std::optional<std::string> text = value();
      if (!text || text->empty())
        return Wrong(option + " needs a folder");
      options.output_dir = *text;
    } else if (option == "--template") {
      std::optional<std::string> text = value();
      if (!text || text->empty())
        return Wrong("--template needs a template, like \"%6 %2\"");
      options.name_template = *text;
    } else if (option == "--jitter") {
      options.jitter = true;
    } else if (option == "--speed") {
      std::optional<std::string> text = value();
      if (text && *text == "max") {
        options.speed = ReadSpeed{};
      } else if (std::optional<int> factor = text ? PositiveNumber(*text) : std::nullopt) {
        options.speed = ReadSpeed{*factor};
      } else {
        return Wrong("--speed needs a factor like 8, or 'max'");
      }
    } else if (option == "--overwrite") {
      options.overwrite = OverwritePolicy::kReplace;
    } else if (option == "--no-overwrite") {
      options.overwrite = OverwritePolicy::kKeep;
    } else {
      return Wrong("unexpected argument '" + option + "'");
    }
  }
  return options;
}

}  // namespace vyn::rip
