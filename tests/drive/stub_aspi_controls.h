// The test controls of the scripted ASPI library (stub_aspi_library.cpp),
// resolved by name from the loaded copy.
#pragma once

#include "platform/win/types.h"

enum class StubAnswer : int { kAtOnce, kLater, kNever };

extern "C" {
// Forgets every device and record, and waits for late completions.
using StubAspiResetFn = void (*)(DWORD support_info, StubAnswer answer);
// `vendor_product` is put into INQUIRY bytes 8 to 31.
using StubAspiAddDeviceFn =
    void (*)(BYTE adapter, BYTE target, BYTE lun, BYTE type, const char* vendor_product);
// How often `request` was named by an abort (null: any request).
using StubAspiAbortedCountFn = int (*)(void* request);
using StubAspiPendingCountFn = int (*)();
}
