// The control's face to ActiveX hosts: connection points, embedding,
// drawing, activation and class information.
#include "control/vyn_cd_ripper.h"

#include "control/class_ids.h"
#include "control/connection_enumerators.h"

namespace vyn {

// --- IConnectionPointContainer ---

HRESULT VynCDRipper::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  auto points = std::make_shared<std::vector<ComPtr<IConnectionPoint>>>();
  if (events_)
    points->push_back(ComPtr<IConnectionPoint>(events_));
  auto enumerator = ConnectionPointsEnumerator::Create(std::move(points), 0);
  if (!enumerator)
    return E_OUTOFMEMORY;
  *out = enumerator.Detach();
  return S_OK;
}

HRESULT VynCDRipper::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point)
    return E_POINTER;
  *point = nullptr;
  if (!events_ || iid != events_->iid())
    return CONNECT_E_NOCONNECTION;
  return ComPtr<IConnectionPoint>(events_).CopyTo(point);
}

// --- IOleObject ---

HRESULT VynCDRipper::SetClientSite(IOleClientSite* site) {
  client_site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT VynCDRipper::GetClientSite(IOleClientSite** site) {
  if (!site)
    return E_POINTER;
  return client_site_.CopyTo(site);
}

HRESULT VynCDRipper::Close(DWORD) {
  // The host is letting go: drop what ties the control to it.
  ole_advise_sink_ = nullptr;
  view_advise_sink_ = nullptr;
  return S_OK;
}

HRESULT VynCDRipper::DoVerb(LONG verb, IOleClientSite*, HWND) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_HIDE:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
      return S_OK;  // nothing to show: the control is invisible at run time
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT VynCDRipper::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT)
    return DV_E_DVASPECT;
  if (!size)
    return E_POINTER;
  const bool natural = size->cx == natural_extent_.cx && size->cy == natural_extent_.cy;
  // An auto-sized control keeps its natural size.
  if (auto_size_)
    return natural ? S_OK : E_FAIL;
  extent_ = *size;
  return S_OK;
}

HRESULT VynCDRipper::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size)
    return E_POINTER;
  if (aspect != DVASPECT_CONTENT)
    return E_FAIL;
  *size = extent_;
  return S_OK;
}

HRESULT VynCDRipper::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!sink || !cookie)
    return E_POINTER;
  ole_advise_sink_ = ComPtr<IAdviseSink>(sink);
  *cookie = 1;
  return S_OK;
}

HRESULT VynCDRipper::Unadvise(DWORD cookie) {
  if (cookie != 1 || !ole_advise_sink_)
    return OLE_E_NOCONNECTION;
  ole_advise_sink_ = nullptr;
  return S_OK;
}

HRESULT VynCDRipper::GetMiscStatus(DWORD, DWORD* status) {
  if (!status)
    return E_POINTER;
  *status = kControlMiscStatus;
  return S_OK;
}

// --- IViewObject, IViewObject2, IViewObjectEx ---

HRESULT VynCDRipper::Draw(DWORD aspect, LONG, void*, RGBASURFACE* surface, const RECTL* bounds) {
  if (aspect != DVASPECT_CONTENT)
    return DV_E_DVASPECT;
  if (!surface || !bounds)
    return E_INVALIDARG;
  if (icon_)
    DrawImage(*icon_, *surface, bounds->left, bounds->top);
  return S_OK;
}

HRESULT VynCDRipper::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_advise_sink_ = ComPtr<IAdviseSink>(sink);
  view_advise_aspects_ = aspects;
  view_advise_flags_ = flags;
  return S_OK;
}

HRESULT VynCDRipper::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects)
    *aspects = view_advise_aspects_;
  if (flags)
    *flags = view_advise_flags_;
  if (sink)
    return view_advise_sink_.CopyTo(sink);
  return S_OK;
}

HRESULT VynCDRipper::GetExtent(DWORD aspect, LONG, void*, SIZEL* size) {
  return GetExtent(aspect, size);
}

HRESULT VynCDRipper::GetViewStatus(DWORD* status) {
  if (!status)
    return E_POINTER;
  *status = 0;  // the icon has transparent parts
  return S_OK;
}

// --- IOleControl ---

HRESULT VynCDRipper::FreezeEvents(BOOL freeze) {
  freeze_count_ += freeze ? 1 : (freeze_count_ > 0 ? -1 : 0);
  return S_OK;
}

// --- In-place activation ---

HRESULT VynCDRipper::GetWindow(HWND* window) {
  if (!window)
    return E_POINTER;
  *window = nullptr;
  return E_FAIL;
}

HRESULT VynCDRipper::SetObjectRects(const RECT* position, const RECT*) {
  if (!position)
    return E_POINTER;
  return S_OK;
}

HRESULT VynCDRipper::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) {
  if (result)
    *result = 0;
  return S_FALSE;
}

// --- IQuickActivate ---

HRESULT VynCDRipper::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control)
    return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
    return E_INVALIDARG;
  SetClientSite(container->pClientSite);
  control->dwMiscStatus = kControlMiscStatus;
  control->dwViewStatus = 0;
  control->dwEventCookie = 0;
  if (container->pUnkEventSink && events_) {
    // A sink that does not take the events leaves the activation intact.
    (void)events_->Advise(container->pUnkEventSink, &control->dwEventCookie);
  }
  return S_OK;
}

// --- ISpecifyPropertyPages ---

HRESULT VynCDRipper::GetPages(CAUUID* pages) {
  if (!pages)
    return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  return S_OK;
}

// --- IProvideClassInfo2 ---

HRESULT VynCDRipper::GetGUID(DWORD kind, GUID* guid) {
  if (!guid)
    return E_POINTER;
  *guid = GUID_NULL;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
    return E_INVALIDARG;
  *guid = DIID__IVynCDRipperEvents;
  return S_OK;
}

}  // namespace vyn
