#include "drive/cddb_lookup.h"

#include <vector>

#include "drive/cddb_record_object.h"

namespace vyn {

Result<void> LoadCddbRecords(const std::shared_ptr<DriveState>& drive,
                             const CddbExchangeOptions& options) {
  auto lookup = drive->BeginCddbLookup();
  if (!lookup)
    return lookup.error();

  std::vector<CddbMatch> matches;
  std::vector<ComPtr<ICDDBRecord>> records;
  bool entry_read = false;
  Result<void> result = CddbQuery(lookup->toc, matches, options);
  for (std::size_t index = 0; result && index < matches.size(); ++index) {
    result = CddbRead(matches[index], options);
    if (!result)
      break;
    entry_read = true;
    auto record = CddbRecord::Create(std::weak_ptr<DriveState>(drive), lookup->serial, index);
    if (!record) {
      result = Error{E_OUTOFMEMORY, "cannot make a CDDB record"};
      break;
    }
    records.push_back(std::move(record));
  }

  auto finished =
      drive->FinishCddbLookup(*lookup, std::move(matches), std::move(records), entry_read);
  if (!finished)
    return finished;
  return result;
}

}  // namespace vyn
