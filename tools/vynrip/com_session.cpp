#include "tools/vynrip/com_session.h"

#include "platform/com/co_create.h"
#include "platform/com/progid.h"
#include "tools/vynrip/control_error.h"

namespace vyn::rip {
namespace {

constexpr char16_t kProgId[] = u"Nuvex.CDRipper";

}  // namespace

Result<ComSession> ComSession::Open() {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
  if (FAILED(hr)) {
    return Error{hr,
                 "the CD ripper control is not registered (run: vynregsvr path/to/libvynctl.so)"};
  }
  ComPtr<IVynCDRipper> control;
  Result<void> created = CallControl([&] {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IVynCDRipper::kIid,
                            control.ReceiveVoid());
  });
  if (!created) {
    Error error = created.error();
    if (error.code == REGDB_E_CLASSNOTREG || error.code == CO_E_DLLNOTFOUND)
      error.message += "; register the control again with vynregsvr";
    return error;
  }
  return ComSession(std::move(control));
}

Result<ComPtr<IDrive>> ComSession::Drive(int number) const {
  LONG count = 0;
  if (Result<void> counted = CallControl([&] { return control_->GetDriveNumber(&count); });
      !counted)
    return counted.error();
  if (number < 1 || number > count) {
    return Error{E_INVALIDARG, "there is no drive " + std::to_string(number) + " (" +
                                   std::to_string(count) + " drive" + (count == 1 ? "" : "s") +
                                   " found)"};
  }
  ComPtr<IDrive> drive;
  if (Result<void> got = CallControl([&] { return control_->GetDrive(number, drive.Receive()); });
      !got)
    return got.error();
  return drive;
}

}  // namespace vyn::rip
