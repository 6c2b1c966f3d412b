#include "control/server_registration.h"

#include <optional>
#include <vector>

#include "control/class_ids.h"
#include "control/type_library.h"
#include "control/vyn_cd_ripper.h"
#include "platform/com/registry_keys.h"
#include "platform/text/code_page.h"
#include "platform/win/registry.h"

namespace vyn {
namespace {

struct Entry {
  std::u16string key;                  // below HKEY_CLASSES_ROOT
  std::u16string value_name;           // empty: the default value
  std::optional<std::u16string> text;  // none: the key alone
};

std::u16string Decimal(long value) {
  return Utf8ToWide(std::to_string(value));
}

std::vector<Entry> ServerEntries(const std::u16string& path) {
  const std::u16string clsid = CLSID_VynCDRipper.ToWide();
  const std::u16string key = u"CLSID\\" + clsid;
  const std::u16string prog_id = kProgId;
  const std::u16string independent = kVersionIndependentProgId;
  return {
      {prog_id, u"", kClassDescription},
      {prog_id + u"\\CLSID", u"", clsid},
      {independent, u"", kClassDescription},
      {independent + u"\\CLSID", u"", clsid},
      {independent + u"\\CurVer", u"", prog_id},
      {key, u"", kClassDescription},
      {key + u"\\ProgID", u"", prog_id},
      {key + u"\\VersionIndependentProgID", u"", independent},
      {key + u"\\Programmable", u"", std::nullopt},
      {key + u"\\InprocServer32", u"", path},
      {key + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
      {key + u"\\Control", u"", std::nullopt},
      {key + u"\\Insertable", u"", std::nullopt},
      {key + u"\\ToolboxBitmap32", u"", path + u", " + Decimal(kToolboxBitmapId)},
      {key + u"\\MiscStatus", u"", u"0"},
      {key + u"\\MiscStatus\\1", u"", Decimal(kControlMiscStatus)},
      {key + u"\\TypeLib", u"", LIBID_VYNCTLLib.ToWide()},
      {key + u"\\Version", u"", Decimal(kTypeLibraryMajor) + u"." + Decimal(kTypeLibraryMinor)},
  };
}

std::u16string ClassKey() {
  return u"CLSID\\" + CLSID_VynCDRipper.ToWide();
}

}  // namespace

HRESULT WriteServerEntries(const std::string& module_path) {
  // Registering again replaces the class key, so nothing of an older
  // registration lingers in it.
  if (LONG status = reg::DeleteTree(ClassKey()); status != ERROR_SUCCESS)
    return reg::WriteFailure(status);
  for (const Entry& entry : ServerEntries(Utf8ToWide(module_path))) {
    LONG status = entry.text ? reg::SetString(entry.key, entry.value_name, *entry.text)
                             : reg::CreateKey(entry.key);
    if (status != ERROR_SUCCESS)
      return reg::WriteFailure(status);
  }
  return S_OK;
}

void RemoveServerEntries() {
  reg::DeleteTree(kProgId);
  reg::DeleteTree(kVersionIndependentProgId);
  reg::DeleteTree(ClassKey());
}

}  // namespace vyn
