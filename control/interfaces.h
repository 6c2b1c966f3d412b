// The control's automation interfaces as C++ abstract classes: the C++ face
// of its type library. Every interface is dual (IDispatch first); member
// order is vtable order and hosts built against this header depend on it.
#pragma once

#include "platform/com/dispatch.h"

struct IDrive;
struct ITrack;
struct ICDDBRecord;
struct IDrivesCollection;
struct ITracksCollection;
struct ICDDBRecordsCollection;

// An external encoder, implemented outside the control; its members come
// with the encoder bridge.
struct IVynAudioEncoder : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("D71C4E28-9A05-4F63-8E1D-40B62F97A5C8");

 protected:
  ~IVynAudioEncoder() = default;
};

// The control's default interface. Dispids in comments.
struct IVynCDRipper : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("E1B46F83-5D27-4C9A-8B3E-97A0C41D2F68");

  virtual HRESULT get_Drives(IDrivesCollection** drives) = 0;     // 2
  virtual HRESULT CancelExtraction() = 0;                         // 3
  virtual HRESULT get_Encoder(IVynAudioEncoder** encoder) = 0;    // 4
  virtual HRESULT put_Encoder(IVynAudioEncoder* encoder) = 0;     // 4
  virtual HRESULT get_JitterCorrection(VARIANT_BOOL* value) = 0;  // 5
  virtual HRESULT put_JitterCorrection(VARIANT_BOOL value) = 0;   // 5
  virtual HRESULT RunQueue() = 0;                                 // 6
  virtual HRESULT ClearQueue() = 0;                               // 7
  virtual HRESULT GetDriveNumber(LONG* count) = 0;                // 8
  virtual HRESULT GetDrive(LONG dwNumber, IDrive** drive) = 0;    // 9
  virtual HRESULT get_OverwritePrompt(VARIANT_BOOL* value) = 0;   // 10
  virtual HRESULT put_OverwritePrompt(VARIANT_BOOL value) = 0;    // 10

 protected:
  ~IVynCDRipper() = default;
};

// The event source, a dispinterface: events arrive through IDispatch::Invoke.
inline constexpr IID DIID__IVynCDRipperEvents = MakeGuid("C8152D6E-94A0-4F3B-B6C8-0D7E2A91F563");
inline constexpr DISPID kDispidOnProgress = 1;
inline constexpr DISPID kDispidOnExtractionStart = 2;
inline constexpr DISPID kDispidOnExtractionEnd = 3;
inline constexpr DISPID kDispidOnExtractionError = 4;
inline constexpr DISPID kDispidOnJitterDetected = 5;
inline constexpr DISPID kDispidOnDiskChanged = 6;

struct IDrive : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("4C97E0D1-62AB-4F18-9D05-B3F8127A6E9C");

  virtual HRESULT get_Name(BSTR* name) = 0;                                // 1
  virtual HRESULT get_Tracks(ITracksCollection** tracks) = 0;              // 2
  virtual HRESULT Refresh() = 0;                                           // 3
  virtual HRESULT get_HasAudioCD(VARIANT_BOOL* value) = 0;                 // 4
  virtual HRESULT GetTrackNumber(LONG* count) = 0;                         // 5
  virtual HRESULT GetTrack(LONG dwNumber, ITrack** track) = 0;             // 6
  virtual HRESULT get_CDDBRecords(ICDDBRecordsCollection** records) = 0;   // 7
  virtual HRESULT get_Duration(LONG* seconds) = 0;                         // 8
  virtual HRESULT OpenTray() = 0;                                          // 9
  virtual HRESULT LoadCDDBData() = 0;                                      // 10
  virtual HRESULT CloseTray() = 0;                                         // 11
  virtual HRESULT Eject() = 0;                                             // 12
  virtual HRESULT SetReadSpeed(LONG Speed) = 0;                            // 13
  virtual HRESULT GetCDDBRecordNumber(LONG* count) = 0;                    // 14
  virtual HRESULT GetCDDBRecord(LONG dwNumber, ICDDBRecord** record) = 0;  // 15
  virtual HRESULT get_IsMediaLoaded(VARIANT_BOOL* value) = 0;              // 16
  virtual HRESULT get_AutoRefresh(VARIANT_BOOL* value) = 0;                // 17
  virtual HRESULT put_AutoRefresh(VARIANT_BOOL value) = 0;                 // 17

 protected:
  ~IDrive() = default;
};

// The disc's layout as the drive's stored table holds it: what cue sheets,
// disc identifiers and verification need beyond the track objects. Entries
// are numbered from 1 and include the lead-out. The drive answers it beside
// IDrive; its dispids start at 101 so one IDispatch can serve both.
struct IDiscLayout : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("9A3F6C21-47D8-4B5E-8C02-D61E7B94A3F5");

  virtual HRESULT get_EntryCount(LONG* count) = 0;                      // 101
  virtual HRESULT EntryTrackNumber(LONG nEntry, LONG* number) = 0;      // 102
  virtual HRESULT EntryAdrControl(LONG nEntry, LONG* adr_control) = 0;  // 103
  virtual HRESULT EntryStartAddress(LONG nEntry, LONG* lba) = 0;        // 104
  virtual HRESULT get_CddbDiscId(BSTR* disc_id) = 0;                    // 105
  virtual HRESULT get_CddbQueryCommand(BSTR* command) = 0;              // 106

 protected:
  ~IDiscLayout() = default;
};

struct ITrack : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("38A6C1E2-F0B9-4D57-A14E-6D2905B8C73F");

  virtual HRESULT get_Duration(LONG* seconds) = 0;                                     // 1
  virtual HRESULT get_Size(LONG* bytes) = 0;                                           // 2
  virtual HRESULT get_IsAudio(VARIANT_BOOL* value) = 0;                                // 3
  virtual HRESULT ExtractToWav(BSTR szFilename) = 0;                                   // 4
  virtual HRESULT ExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) = 0;       // 5
  virtual HRESULT QueueExtractToWav(BSTR szFilename) = 0;                              // 6
  virtual HRESULT QueueExtractToEncoder(BSTR szFilename, VARIANT_BOOL bWriteTag) = 0;  // 7
  virtual HRESULT GenerateFilename(BSTR szTemplate, BSTR* szFilename) = 0;             // 8

 protected:
  ~ITrack() = default;
};

struct ICDDBRecord : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("B5F03A96-48D1-4C2E-97B6-E8C1504A3D72");

  virtual HRESULT get_Description(BSTR* description) = 0;  // 1
  virtual HRESULT SetActive() = 0;                         // 2
  virtual HRESULT get_RawData(BSTR* text) = 0;             // 3

 protected:
  ~ICDDBRecord() = default;
};

// The three collections differ only in their element interface.
template <class Element>
struct ICollectionOf : IDispatch {
  using Base = IDispatch;
  using ElementInterface = Element;

  virtual HRESULT get__NewEnum(IUnknown** enumerator) = 0;   // dispid -4
  virtual HRESULT get_Item(LONG Index, Element** item) = 0;  // dispid 0
  virtual HRESULT get_Count(LONG* count) = 0;                // dispid 1

 protected:
  ~ICollectionOf() = default;
};

struct IDrivesCollection : ICollectionOf<IDrive> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("0F6A2B95-D81C-4E47-A3B2-58C9E70D146B");

 protected:
  ~IDrivesCollection() = default;
};

struct ITracksCollection : ICollectionOf<ITrack> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("92D0F5A7-1E4C-4B83-86A9-2C7B05E3D914");

 protected:
  ~ITracksCollection() = default;
};

struct ICDDBRecordsCollection : ICollectionOf<ICDDBRecord> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("6E2B8D04-A7C3-4E91-B58F-1A40D96C27E5");

 protected:
  ~ICDDBRecordsCollection() = default;
};
