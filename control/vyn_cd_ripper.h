// VynCDRipper: the control a host creates. It finds the CD drives, owns one
// Drive per drive found (reached through its Drives collection), keeps the
// properties the extraction reads, raises its events on the host's thread
// through its helper window, persists two properties, and answers what an
// ActiveX host asks of an embedded control (extent, drawing, activation).
//
// Home thread: the host's, the thread that created it; every interface
// member runs there. Other threads reach it only through DriveOwner
// (PostEvent, IsExtractionRunning) and, for the extraction worker, through
// ExtractionContext (events, flags, the overwrite question, the end of the
// run); the fields they read are atomic or name their guard.
//
// Extraction runs: a start call (a track's ExtractToWav/ExtractToEncoder,
// RunQueue) claims `busy_` itself and hands the new worker its own copy of
// the jobs, so two start calls can never both pass the check, and no run
// ever reads a job list the host is changing.
//
// Lifetime: made by CreateVynCDRipper, which runs the startup; the last
// Release (or a failed startup) runs the destruction in the destructor.
// A live control holds one module lock.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "control/class_ids.h"
#include "control/collection.h"
#include "control/connection_point.h"
#include "control/dual_object.h"
#include "control/event_window.h"
#include "control/icon.h"
#include "control/interfaces.h"
#include "control/module_lock.h"
#include "control/persisted_properties.h"
#include "drive/drive_owner.h"
#include "drive/drive_record.h"
#include "drive/scsi_transport.h"
#include "extract/extraction_context.h"
#include "extract/extraction_worker.h"
#include "extract/job_lists.h"
#include "platform/com/com_object.h"
#include "platform/com/connection_points.h"
#include "platform/com/error_info.h"
#include "platform/com/ole_control_info.h"
#include "platform/com/ole_data.h"
#include "platform/com/ole_in_place.h"
#include "platform/com/ole_view.h"
#include "platform/com/persist.h"

namespace vyn {

// Where the control finds its drives; production uses the defaults.
struct ControlOptions {
  TransportSeams transport;
  // Pixels per logical inch of the screen, for the HIMETRIC extent.
  int screen_dpi = 96;
  // What extraction runs use; tests make one piece fail.
  ExtractionSeams extraction;
};

// The OLE status bits of the control: invisible at run time, activate when
// visible, inside-out, can't link inside, recompose on resize, set client
// site first.
inline constexpr DWORD kControlMiscStatus = 132497;
inline constexpr LONG kIconPixels = 32;

// Makes a control and runs its startup, for hosts in this process (the
// class factory uses it too). Aggregation is refused.
HRESULT CreateVynCDRipper(IUnknown* outer,
                          REFIID iid,
                          void** out,
                          const ControlOptions& options = {});

class VynCDRipper final : public DualObject<VynCDRipper,
                                            IVynCDRipper,
                                            ISupportErrorInfo,
                                            IConnectionPointContainer,
                                            IPersistStreamInit,
                                            IPersistStorage,
                                            IOleObject,
                                            IViewObjectEx,
                                            IOleControl,
                                            IOleInPlaceObjectWindowless,
                                            IOleInPlaceActiveObject,
                                            IQuickActivate,
                                            IDataObject,
                                            ISpecifyPropertyPages,
                                            IProvideClassInfo2>,
                          public DriveOwner,
                          public ExtractionContext,
                          private EventWindowClient {
 public:
  explicit VynCDRipper(const ControlOptions& options);

  // Startup, in order: collection, transport, adapter count, scan, one
  // Drive per record, helper window, extent, icon.
  HRESULT Startup();

  // --- Extraction runs (any thread) ---
  // Claims the run, which starts uncancelled; false when one is active.
  bool TryClaimRun() {
    if (busy_.exchange(true))
      return false;
    cancel_requested_.store(false);
    return true;
  }
  LONG jitter_correction() const { return jitter_correction_.load(); }
  LONG overwrite_prompt() const { return overwrite_prompt_.load(); }
  const EventWindow& event_window() const { return event_window_; }

  // --- ExtractionContext (the worker) ---
  void EndRun() override { busy_.store(false); }
  bool cancel_requested() const override { return cancel_requested_.load(); }
  const std::atomic<LONG>& jitter_correction_flag() const override { return jitter_correction_; }
  // Asks the host's thread whether an existing file may be replaced.
  OverwriteAnswer AskOverwrite() override;

  // --- DriveOwner (any thread), PostEvent also for the worker ---
  bool IsExtractionRunning() const override { return busy_.load(); }
  void PostEvent(UINT message, WPARAM wparam) override { event_window_.PostEvent(message, wparam); }
  HRESULT RequestExtraction(ExtractionJob job, JobStart start) override;

  // --- IVynCDRipper ---
  HRESULT get_Drives(IDrivesCollection** drives) override;
  HRESULT CancelExtraction() override;
  HRESULT get_Encoder(IVynAudioEncoder** encoder) override;
  HRESULT put_Encoder(IVynAudioEncoder* encoder) override;
  HRESULT get_JitterCorrection(VARIANT_BOOL* value) override;
  HRESULT put_JitterCorrection(VARIANT_BOOL value) override;
  HRESULT RunQueue() override;
  HRESULT ClearQueue() override;
  HRESULT GetDriveNumber(LONG* count) override;
  HRESULT GetDrive(LONG dwNumber, IDrive** drive) override;
  HRESULT get_OverwritePrompt(VARIANT_BOOL* value) override;
  HRESULT put_OverwritePrompt(VARIANT_BOOL value) override;

  // --- ISupportErrorInfo ---
  HRESULT InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IVynCDRipper::kIid ? S_OK : S_FALSE;
  }

  // --- IConnectionPointContainer ---
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** out) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // --- IPersist, IPersistStreamInit, IPersistStorage ---
  HRESULT GetClassID(CLSID* clsid) override;
  // Property changes do not make the control need saving: always S_FALSE.
  HRESULT IsDirty() override { return S_FALSE; }
  HRESULT Load(IStream* stream) override;
  HRESULT Save(IStream* stream, BOOL clear_dirty) override;
  HRESULT GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT InitNew() override { return S_OK; }
  HRESULT InitNew(IStorage* storage) override;
  HRESULT Load(IStorage* storage) override;
  HRESULT Save(IStorage* storage, BOOL same_as_load) override;
  HRESULT SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT HandsOffStorage() override { return S_OK; }

  // --- IOleObject ---
  HRESULT SetClientSite(IOleClientSite* site) override;
  HRESULT GetClientSite(IOleClientSite** site) override;
  HRESULT SetHostNames(const OLECHAR*, const OLECHAR*) override { return S_OK; }
  HRESULT Close(DWORD save_option) override;
  HRESULT DoVerb(LONG verb, IOleClientSite* site, HWND parent) override;
  HRESULT GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  HRESULT SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;
  HRESULT GetMiscStatus(DWORD aspect, DWORD* status) override;

  // --- IViewObject, IViewObject2, IViewObjectEx ---
  HRESULT Draw(DWORD aspect,
               LONG index,
               void* aspect_info,
               RGBASURFACE* surface,
               const RECTL* bounds) override;
  HRESULT SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT GetExtent(DWORD aspect, LONG index, void* target_device, SIZEL* size) override;
  HRESULT GetViewStatus(DWORD* status) override;

  // --- IOleControl ---
  HRESULT GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  HRESULT OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT OnAmbientPropertyChange(DISPID) override { return S_OK; }
  HRESULT FreezeEvents(BOOL freeze) override;

  // --- IOleWindow, IOleInPlaceObject(Windowless), IOleInPlaceActiveObject ---
  // The control is windowless: its helper window is not a UI window.
  HRESULT GetWindow(HWND* window) override;
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT InPlaceDeactivate() override { return S_OK; }
  HRESULT UIDeactivate() override { return S_OK; }
  HRESULT SetObjectRects(const RECT* position, const RECT* clip) override;
  HRESULT ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override;
  HRESULT TranslateAccelerator(MSG*) override { return S_FALSE; }
  HRESULT OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return S_OK; }

  // --- IQuickActivate ---
  HRESULT QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT SetContentExtent(SIZEL* size) override { return SetExtent(DVASPECT_CONTENT, size); }
  HRESULT GetContentExtent(SIZEL* size) override { return GetExtent(DVASPECT_CONTENT, size); }

  // --- IDataObject: the control offers no data formats ---
  HRESULT GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
  HRESULT QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }

  // --- ISpecifyPropertyPages ---
  HRESULT GetPages(CAUUID* pages) override;

  // --- IProvideClassInfo, IProvideClassInfo2 ---
  HRESULT GetClassInfo(ITypeInfo** info) override {
    return LibraryTypeInfo(CLSID_VynCDRipper, info);
  }
  HRESULT GetGUID(DWORD kind, GUID* guid) override;

 protected:
  // The destruction: see the .cpp for its order.
  ~VynCDRipper() override;

 private:
  // --- EventWindowClient (host's thread) ---
  void OnEventMessage(UINT message, WPARAM wparam, const char16_t* text) override;
  OverwriteAnswer DecideOverwrite(HWND owner) override;

  Result<void> LoadFrom(IStream& stream);
  HRESULT StartDrives();
  bool HasEncoder() const;
  // Claims the run and starts its worker on `jobs`; the automation error
  // or the system's code when either fails.
  HRESULT StartRun(std::vector<ExtractionJob> jobs);

  const ControlOptions options_;
  std::optional<ModuleLock> module_lock_{std::in_place};
  std::atomic<LONG> jitter_correction_{0};
  std::atomic<LONG> overwrite_prompt_{1};
  std::atomic<bool> busy_{false};
  std::atomic<bool> cancel_requested_{false};

  ComPtr<DrivesCollection> drives_;
  bool scan_done_ = false;
  std::unique_ptr<ScsiTransport> transport_;
  std::vector<DriveRecord> records_;  // fixed in size once the drives exist

  mutable std::mutex encoder_mutex_;
  ComPtr<IVynAudioEncoder> encoder_;  // guarded by encoder_mutex_; the worker reads it

  JobLists jobs_;
  std::mutex worker_mutex_;
  Thread worker_;  // guarded by worker_mutex_: the last run's thread

  ComPtr<ConnectionPoint> events_;
  EventWindow event_window_;

  // What an OLE host gave or asked for.
  ComPtr<IOleClientSite> client_site_;
  ComPtr<IAdviseSink> ole_advise_sink_;
  ComPtr<IAdviseSink> view_advise_sink_;
  DWORD view_advise_aspects_ = 0;
  DWORD view_advise_flags_ = 0;
  SIZEL natural_extent_{0, 0};  // HIMETRIC
  SIZEL extent_{0, 0};          // HIMETRIC
  bool auto_size_ = false;
  int freeze_count_ = 0;
  const RgbaImage* icon_ = nullptr;
};

}  // namespace vyn
