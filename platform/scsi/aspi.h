// The request blocks of the ASPI command interface, shared by the control
// (which fills them) and the ASPI libraries (which answer them). Field
// names are the interface's published ones. Pointer-sized fields are native.
#pragma once

#include "platform/win/types.h"

inline constexpr BYTE SC_HA_INQUIRY = 0x00;
inline constexpr BYTE SC_GET_DEV_TYPE = 0x01;
inline constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
inline constexpr BYTE SC_ABORT_SRB = 0x03;

// Status values of a request (SRB_Status) and of the support information.
inline constexpr BYTE SS_PENDING = 0x00;
inline constexpr BYTE SS_COMP = 0x01;
inline constexpr BYTE SS_ABORTED = 0x02;
inline constexpr BYTE SS_ERR = 0x04;
inline constexpr BYTE SS_INVALID_CMD = 0x80;
inline constexpr BYTE SS_INVALID_HA = 0x81;
inline constexpr BYTE SS_NO_DEVICE = 0x82;
inline constexpr BYTE SS_NO_ADAPTERS = 0xE8;

// Request flags (SRB_Flags).
inline constexpr BYTE SRB_DIR_IN = 0x08;
inline constexpr BYTE SRB_DIR_OUT = 0x10;
inline constexpr BYTE SRB_EVENT_NOTIFY = 0x40;

// Device types (SRB_DeviceType, and byte 0 of INQUIRY data).
inline constexpr BYTE DTYPE_WORM = 0x04;
inline constexpr BYTE DTYPE_CDROM = 0x05;
inline constexpr BYTE DTYPE_UNKNOWN = 0x1F;

inline constexpr int SENSE_LEN = 14;

#pragma pack(push, 1)

struct SRB_Header {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
};

struct SRB_HAInquiry {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE HA_Count;
  BYTE HA_SCSI_ID;
  BYTE HA_ManagerId[16];
  BYTE HA_Identifier[16];
  BYTE HA_Unique[16];
  WORD HA_Rsvd1;
};

struct SRB_GDEVBlock {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  BYTE SRB_DeviceType;
  BYTE SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  BYTE SRB_Target;
  BYTE SRB_Lun;
  WORD SRB_Rsvd1;
  DWORD SRB_BufLen;
  BYTE* SRB_BufPointer;
  BYTE SRB_SenseLen;
  BYTE SRB_CDBLen;
  BYTE SRB_HaStat;
  BYTE SRB_TargStat;
  void* SRB_PostProc;  // the event handle signalled on completion
  void* SRB_Rsvd2;
  BYTE SRB_Rsvd3[16];
  BYTE CDBByte[16];
  BYTE SenseArea[SENSE_LEN + 2];
};

struct SRB_Abort {
  BYTE SRB_Cmd;
  BYTE SRB_Status;
  BYTE SRB_HaId;
  BYTE SRB_Flags;
  DWORD SRB_Hdr_Rsvd;
  void* SRB_ToAbort;
};

#pragma pack(pop)

// The two entry points every ASPI library exports.
using GetASPI32SupportInfoFn = DWORD (*)();
using SendASPI32CommandFn = DWORD (*)(void* request);
inline constexpr const char kGetSupportInfoName[] = "GetASPI32SupportInfo";
inline constexpr const char kSendCommandName[] = "SendASPI32Command";
