#include "tools/vynrip/usage.h"

namespace vyn::rip {

std::string UsageText(Command command) {
  switch (command) {
    case Command::kDrives:
      return "usage: vynrip drives\n"
             "\n"
             "Lists the CD drives the control finds, with their numbers for -d.\n";
    case Command::kToc:
      return "usage: vynrip toc [-d N]\n"
             "\n"
             "Shows the disc in drive N (default 1): each track's number, start,\n"
             "duration, size and whether it is audio, and the disc's CDDB id.\n";
    case Command::kCddb:
      return "usage: vynrip cddb [-d N]\n"
             "\n"
             "Looks the disc in drive N up on the CDDB server and shows the records\n"
             "found and the text of the active one. VYN_CDDB_SERVER (host[:port]) and\n"
             "VYN_CDDB_EMAIL choose the server and the contact address; http_proxy is\n"
             "used when set.\n";
    case Command::kRip:
      return "usage: vynrip rip [-d N] [-t 1,3-5] [-o DIR] [--template T] [--jitter]\n"
             "                  [--speed S|max] [--no-overwrite|--overwrite]\n"
             "\n"
             "Rips audio tracks of drive N (default 1) to WAV files in DIR (default the\n"
             "current folder), as one batch.\n"
             "  -t LIST          tracks to rip, like 1,3-5 (default: every audio track)\n"
             "  -o DIR           the folder for the files; made when missing\n"
             "  --template T     names from the disc's CDDB record: %1 artist, %2 title,\n"
             "                   %3 album, %4 year, %5 genre, %6 track number, %7 disc id\n"
             "                   (looks the disc up first); default \"Track NN\"\n"
             "  --jitter         jitter correction (slower; notices when a chunk cannot\n"
             "                   be aligned)\n"
             "  --speed S        read speed factor, or max\n"
             "  --overwrite      replace existing files without asking\n"
             "  --no-overwrite   skip tracks whose file exists\n"
             "Without either, an existing file is asked about on the terminal (kept when\n"
             "there is no terminal). Ctrl-C cancels; the file being written stays a valid\n"
             "WAV file with what was read so far.\n"
             "Exit status: 0 when every track was ripped, 1 on an error, 130 when\n"
             "cancelled, 2 for a wrong command line.\n";
    case Command::kNone:
      break;
  }
  return "usage: vynrip COMMAND [options]\n"
         "\n"
         "Commands:\n"
         "  drives   list the CD drives\n"
         "  toc      show the tracks of a disc\n"
         "  cddb     look a disc up on the CDDB server\n"
         "  rip      rip tracks to WAV files\n"
         "\n"
         "vynrip COMMAND --help shows a command's options. The control must be\n"
         "registered first: vynregsvr path/to/libvynctl.so.\n";
}

}  // namespace vyn::rip
