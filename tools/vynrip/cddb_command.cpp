// vynrip cddb: looks the disc up and shows the records found and the text
// of the active one (the first, after a lookup).
#include <cstdio>

#include "platform/com/bstr.h"
#include "platform/text/code_page.h"
#include "tools/vynrip/com_session.h"
#include "tools/vynrip/commands.h"
#include "tools/vynrip/control_error.h"
#include "tools/vynrip/exit_status.h"

namespace vyn::rip {

int RunCddbCommand(const Options& options) {
  auto session = ComSession::Open();
  if (!session)
    return ReportFailure(session.error().message);
  auto drive = session->Drive(options.drive);
  if (!drive)
    return ReportFailure(drive.error().message);
  std::fprintf(stderr, "Looking the disc up on the CDDB server...\n");
  if (Result<void> loaded = CallControl([&] { return (*drive)->LoadCDDBData(); }); !loaded)
    return ReportFailure("CDDB lookup failed: " + loaded.error().message);
  LONG count = 0;
  if (Result<void> counted = CallControl([&] { return (*drive)->GetCDDBRecordNumber(&count); });
      !counted)
    return ReportFailure(counted.error().message);
  std::printf("Records: %ld\n", static_cast<long>(count));
  ComPtr<ICDDBRecord> active;
  for (LONG number = 1; number <= count; ++number) {
    ComPtr<ICDDBRecord> record;
    if (Result<void> got =
            CallControl([&] { return (*drive)->GetCDDBRecord(number, record.Receive()); });
        !got)
      return ReportFailure(got.error().message);
    Bstr description;
    (void)record->get_Description(description.Receive());
    std::printf("%ld: %s%s\n", static_cast<long>(number), WideToUtf8(description.View()).c_str(),
                number == 1 ? "  (active)" : "");
    if (number == 1)
      active = record;
  }
  if (active) {
    Bstr text;
    (void)active->get_RawData(text.Receive());
    std::printf("\nActive record:\n%s", WideToUtf8(text.View()).c_str());
    if (!text.View().empty() && text.View().back() != u'\n')
      std::printf("\n");
  }
  return kExitOk;
}

}  // namespace vyn::rip
