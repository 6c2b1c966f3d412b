#include "control/vyn_cd_ripper.h"

#include "control/class_ids.h"
#include "control/error_reporting.h"
#include "control/event_firing.h"
#include "drive/drive_object.h"
#include "drive/drive_scan.h"
#include "platform/text/code_page.h"
#include "platform/win/clock.h"
#include "platform/win/message_box.h"

namespace vyn {
namespace {

// How often destruction looks whether the worker has ended.
constexpr DWORD kWorkerPollMs = 100;

// Pixels to HIMETRIC (0.01 mm), rounded.
LONG PixelsToHimetric(LONG pixels, int dpi) {
  return (pixels * 2540 + dpi / 2) / dpi;
}

// A VARIANT_BOOL as its 32-bit field stores it: sign-extended.
LONG StoredBool(VARIANT_BOOL value) {
  return static_cast<LONG>(value);
}
// The field as the property reads it: its low 16 bits.
VARIANT_BOOL ReadBool(LONG field) {
  return static_cast<VARIANT_BOOL>(static_cast<std::uint16_t>(field));
}

}  // namespace

HRESULT CreateVynCDRipper(IUnknown* outer, REFIID iid, void** out, const ControlOptions& options) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  if (outer)
    return CLASS_E_NOAGGREGATION;
  ComPtr<VynCDRipper> control = VynCDRipper::Create(options);
  if (!control)
    return E_OUTOFMEMORY;
  // A failure releases the control, whose destructor undoes the startup.
  if (HRESULT hr = control->Startup(); FAILED(hr))
    return hr;
  return control->QueryInterface(iid, out);
}

VynCDRipper::VynCDRipper(const ControlOptions& options)
    : options_(options),
      events_(ConnectionPoint::Create(DIID__IVynCDRipperEvents,
                                      static_cast<IConnectionPointContainer*>(this))),
      event_window_(static_cast<EventWindowClient*>(this)) {}

HRESULT VynCDRipper::Startup() {
  drives_ = DrivesCollection::Create();
  if (!drives_ || !events_)
    return E_OUTOFMEMORY;

  transport_ = std::make_unique<ScsiTransport>(options_.transport);
  if (!transport_->Open()) {
    transport_.reset();
    return E_FAIL;
  }
  std::optional<BYTE> adapters = AcceptedAdapterCount(transport_->GetSupportInfo());
  if (!adapters) {
    transport_->Close();
    transport_.reset();
    return E_FAIL;
  }
  records_ = ScanDrives(*transport_, *adapters);
  scan_done_ = true;
  if (records_.empty())
    return ReportError(CLSID_VynCDRipper, Message::kNoCdDrives);

  if (HRESULT hr = StartDrives(); FAILED(hr))
    return hr;

  if (auto opened = event_window_.Open(); !opened)
    return opened.code();

  natural_extent_ = {PixelsToHimetric(kIconPixels, options_.screen_dpi),
                     PixelsToHimetric(kIconPixels, options_.screen_dpi)};
  extent_ = natural_extent_;
  auto_size_ = true;
  icon_ = FindImageResource(kIconResource);
  return S_OK;
}

HRESULT VynCDRipper::StartDrives() {
  drives_->ResetSlots(records_.size());
  for (std::size_t i = 0; i < records_.size(); ++i) {
    auto drive = Drive::Create(this, &records_[i]);
    if (!drive)
      return drive.code();
    drives_->SetSlot(i, ComPtr<IDrive>(*drive));
  }
  return S_OK;
}

// The destruction, in order: end the worker's run (and wake it if it waits
// for an answer), close the helper window, give up the module lock, take
// every drive out of service, release the encoder and the job lists, close
// the transport, release the collection, release the subscribers and the
// host's objects.
VynCDRipper::~VynCDRipper() {
  // No question may wait on this thread while it waits for the worker: a
  // question asked from now on is answered "keep" (the run is cancelled),
  // and one already waiting is answered so at once.
  event_window_.AbandonQuestions();
  if (busy_.load()) {
    cancel_requested_.store(true);
    event_window_.AbandonQuestions();
  }
  {
    std::lock_guard lock(worker_mutex_);
    worker_.Join();
  }
  // A run claimed without a worker of ours (a test's stand-in) ends on its own.
  while (busy_.load())
    Sleep(kWorkerPollMs);
  event_window_.Close();
  module_lock_.reset();

  if (drives_) {
    // Every slot holds a Drive made by StartDrives.
    for (ComPtr<IDrive>& drive : drives_->TakeAll()) {
      if (drive)
        static_cast<Drive*>(drive.Get())->Shutdown();
    }
  }
  {
    std::lock_guard lock(encoder_mutex_);
    encoder_ = nullptr;
  }
  jobs_.Clear();
  if (scan_done_ && transport_) {
    transport_->Close();
    transport_.reset();
    records_.clear();
  }
  drives_ = nullptr;
  if (events_)
    events_->Disconnect();
  client_site_ = nullptr;
  ole_advise_sink_ = nullptr;
  view_advise_sink_ = nullptr;
}

OverwriteAnswer VynCDRipper::AskOverwrite() {
  return event_window_.AskOverwrite([this] { return cancel_requested_.load(); });
}

// --- IVynCDRipper ---

HRESULT VynCDRipper::get_Drives(IDrivesCollection** drives) {
  if (!drives)
    return E_POINTER;
  *drives = nullptr;
  if (!drives_)
    return E_UNEXPECTED;
  return ComPtr<IDrivesCollection>(drives_).CopyTo(drives);
}

HRESULT VynCDRipper::CancelExtraction() {
  if (!busy_.load())
    return S_FALSE;
  cancel_requested_.store(true);
  event_window_.AbandonQuestions();
  return S_OK;
}

HRESULT VynCDRipper::RunQueue() {
  if (busy_.load())
    return ReportError(CLSID_VynCDRipper, Message::kExtractionInProgress);
  std::vector<ExtractionJob> jobs = jobs_.QueueCopy();
  if (jobs.empty())
    return ReportError(CLSID_VynCDRipper, Message::kQueueEmpty);
  return StartRun(std::move(jobs));
}

HRESULT VynCDRipper::ClearQueue() {
  jobs_.ClearQueue();
  return S_OK;
}

HRESULT VynCDRipper::RequestExtraction(ExtractionJob job, JobStart start) {
  if (start == JobStart::kNow && busy_.load())
    return ReportError(CLSID_VynCDRipper, Message::kExtractionInProgress);
  if (job.kind == JobKind::kEncoder && !HasEncoder())
    return ReportError(CLSID_VynCDRipper, Message::kEncoderNotSet);
  if (start == JobStart::kQueued) {
    jobs_.Enqueue(std::move(job));
    return S_OK;
  }
  return StartRun(jobs_.SelectSingle(std::move(job)));
}

HRESULT VynCDRipper::StartRun(std::vector<ExtractionJob> jobs) {
  if (!TryClaimRun())
    return ReportError(CLSID_VynCDRipper, Message::kExtractionInProgress);
  std::lock_guard lock(worker_mutex_);
  // The last run has ended (busy was clear); its thread is on its way out.
  worker_.Join();
  auto thread = StartExtractionRun(*this, std::move(jobs), options_.extraction);
  if (!thread) {
    EndRun();
    return thread.code();
  }
  worker_ = std::move(thread.value());
  return S_OK;
}

bool VynCDRipper::HasEncoder() const {
  std::lock_guard lock(encoder_mutex_);
  return static_cast<bool>(encoder_);
}

HRESULT VynCDRipper::get_Encoder(IVynAudioEncoder** encoder) {
  if (!encoder)
    return E_POINTER;
  *encoder = nullptr;
  ComPtr<IVynAudioEncoder> current;
  {
    std::lock_guard lock(encoder_mutex_);
    current = encoder_;
  }
  if (!current)
    return S_OK;
  return current->QueryInterface(IVynAudioEncoder::kIid, reinterpret_cast<void**>(encoder));
}

HRESULT VynCDRipper::put_Encoder(IVynAudioEncoder* encoder) {
  ComPtr<IVynAudioEncoder> replacement(encoder);
  {
    std::lock_guard lock(encoder_mutex_);
    replacement.Swap(encoder_);
  }
  // The old encoder is released here, outside the lock.
  return S_OK;
}

HRESULT VynCDRipper::get_JitterCorrection(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  *value = ReadBool(jitter_correction_.load());
  return S_OK;
}

HRESULT VynCDRipper::put_JitterCorrection(VARIANT_BOOL value) {
  jitter_correction_.store(StoredBool(value));
  return S_OK;
}

HRESULT VynCDRipper::GetDriveNumber(LONG* count) {
  if (!count)
    return E_POINTER;
  if (!drives_)
    return E_UNEXPECTED;
  return drives_->get_Count(count);
}

HRESULT VynCDRipper::GetDrive(LONG dwNumber, IDrive** drive) {
  if (!drive)
    return E_POINTER;
  *drive = nullptr;
  if (!drives_)
    return E_UNEXPECTED;
  return drives_->get_Item(dwNumber, drive);
}

HRESULT VynCDRipper::get_OverwritePrompt(VARIANT_BOOL* value) {
  if (!value)
    return E_POINTER;
  *value = ReadBool(overwrite_prompt_.load());
  return S_OK;
}

HRESULT VynCDRipper::put_OverwritePrompt(VARIANT_BOOL value) {
  overwrite_prompt_.store(StoredBool(value));
  return S_OK;
}

// --- Events, on the host's thread ---

void VynCDRipper::OnEventMessage(UINT message, WPARAM wparam, const char16_t* text) {
  if (!events_)
    return;
  switch (message) {
    case kMsgDiskChanged:
      FireEvent(*events_, kDispidOnDiskChanged);
      break;
    case kMsgExtractionStart:
      FireEvent(*events_, kDispidOnExtractionStart);
      break;
    case kMsgExtractionEnd:
      FireEvent(*events_, kDispidOnExtractionEnd);
      break;
    case kMsgExtractionError:
      FireEventWithText(*events_, kDispidOnExtractionError, text);
      break;
    case kMsgJitterDetected:
      FireEvent(*events_, kDispidOnJitterDetected);
      break;
    case kMsgProgress:
      FireEvent(*events_, kDispidOnProgress, static_cast<LONG>(wparam));
      break;
    default:
      break;
  }
}

OverwriteAnswer VynCDRipper::DecideOverwrite(HWND owner) {
  if (cancel_requested_.load())
    return OverwriteAnswer::kKeep;
  if (overwrite_prompt_.load() == 0)
    return OverwriteAnswer::kReplace;
  std::u16string text = AnsiToWide(MessageText(Message::kOverwriteQuestion));
  std::u16string caption = AnsiToWide(MessageText(Message::kOverwriteCaption));
  int chosen = MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION);
  return chosen == IDYES ? OverwriteAnswer::kReplace : OverwriteAnswer::kKeep;
}

}  // namespace vyn
