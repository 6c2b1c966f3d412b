// Class ids of the control's object classes. Error objects name the class
// that reports them; only the control's class is registered with a ProgID.
#pragma once

#include "platform/com/guid.h"

inline constexpr CLSID CLSID_VynCDRipper = MakeGuid("7D3E9A10-2C58-4B61-A9F4-E05B36C87D12");
inline constexpr CLSID CLSID_DrivesCollection = MakeGuid("F43D9B07-6C1A-4E85-B0D2-71A5C8E4902F");
inline constexpr CLSID CLSID_Drive = MakeGuid("29C7A4E5-D03B-4F96-8A71-C6E15B0F38D4");
inline constexpr CLSID CLSID_TracksCollection = MakeGuid("850E1F3C-7B2D-4A69-9C04-D3B8A6E7152F");
inline constexpr CLSID CLSID_Track = MakeGuid("63F8B2D9-0A4E-4C17-B5E3-9E2C71D048A6");
inline constexpr CLSID CLSID_CDDBRecordsCollection =
    MakeGuid("AE41D6B0-25F7-4B3C-8D96-07F4E1C2A59B");
inline constexpr CLSID CLSID_CDDBRecord = MakeGuid("0C5B7E81-F92A-4D64-9B1F-A76D3E05C82E");
inline constexpr GUID LIBID_VYNCTLLib = MakeGuid("5B1D0C42-7E93-4A16-8F25-31C6D9A07E54");
