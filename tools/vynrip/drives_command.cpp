// vynrip drives: every drive the control found, with what it holds.
#include <cstdio>

#include "tools/vynrip/com_session.h"
#include "tools/vynrip/commands.h"
#include "tools/vynrip/control_error.h"
#include "tools/vynrip/drive_text.h"
#include "tools/vynrip/exit_status.h"

namespace vyn::rip {

int RunDrivesCommand(const Options&) {
  auto session = ComSession::Open();
  if (!session)
    return ReportFailure(session.error().message);
  LONG count = 0;
  if (Result<void> counted =
          CallControl([&] { return session->control()->GetDriveNumber(&count); });
      !counted)
    return ReportFailure(counted.error().message);
  for (LONG number = 1; number <= count; ++number) {
    auto drive = session->Drive(static_cast<int>(number));
    if (!drive)
      return ReportFailure(drive.error().message);
    std::optional<long> tracks = TrackCount(drive->Get());
    LONG seconds = 0;
    std::string holds = "no disc";
    if (tracks && *tracks > 0) {
      holds = std::to_string(*tracks) + (*tracks == 1 ? " track" : " tracks");
      if (SUCCEEDED((*drive)->get_Duration(&seconds)))
        holds += ", " + MinutesSeconds(seconds);
    }
    std::printf("%ld: %s (%s)\n", static_cast<long>(number), DriveName(drive->Get()).c_str(),
                holds.c_str());
  }
  return kExitOk;
}

}  // namespace vyn::rip
