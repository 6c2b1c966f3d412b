// Every system error code the platform layer reports, once. Each row is
//   X(name, number, text)
// and expands into the constant (last_error.h), the name used in test output
// and the message text (format_message.h). The numbers are the desktop
// platform's, because callers and stored logs compare them. A text is one
// sentence ending in a period; the message table appends the line break
// ("\r\n") that every system text carries.
#pragma once

// clang-format off
#define VYN_SYSTEM_ERROR_LIST(X)                                                                   \
  X(ERROR_SUCCESS, 0, "The operation completed successfully.")                                     \
  X(ERROR_INVALID_FUNCTION, 1, "The function is not valid for this object.")                       \
  X(ERROR_FILE_NOT_FOUND, 2, "The system cannot find the file specified.")                         \
  X(ERROR_PATH_NOT_FOUND, 3, "The system cannot find the path specified.")                         \
  X(ERROR_TOO_MANY_OPEN_FILES, 4, "Too many files are open.")                                      \
  X(ERROR_ACCESS_DENIED, 5, "Access is denied.")                                                   \
  X(ERROR_INVALID_HANDLE, 6, "The handle is not valid.")                                           \
  X(ERROR_NOT_ENOUGH_MEMORY, 8, "There is not enough memory to carry out this command.")           \
  X(ERROR_BAD_FORMAT, 11, "The file is not in the expected format.")                               \
  X(ERROR_INVALID_ACCESS, 12, "The requested access is not valid.")                                \
  X(ERROR_INVALID_DATA, 13, "The data is not valid.")                                              \
  X(ERROR_OUTOFMEMORY, 14, "There is not enough memory to complete this operation.")               \
  X(ERROR_INVALID_DRIVE, 15, "The system cannot find the drive specified.")                        \
  X(ERROR_NOT_SAME_DEVICE, 17, "The file cannot be moved to another device.")                      \
  X(ERROR_NO_MORE_FILES, 18, "There are no more files.")                                           \
  X(ERROR_WRITE_PROTECT, 19, "The medium is write protected.")                                     \
  X(ERROR_BAD_UNIT, 20, "The system cannot find the device specified.")                            \
  X(ERROR_NOT_READY, 21, "The device is not ready.")                                               \
  X(ERROR_BAD_COMMAND, 22, "The device does not recognize the command.")                           \
  X(ERROR_CRC, 23, "A data error occurred (cyclic redundancy check).")                             \
  X(ERROR_BAD_LENGTH, 24, "The command has a length that is not valid.")                           \
  X(ERROR_SEEK, 25, "The drive cannot locate the requested area of the medium.")                   \
  X(ERROR_SECTOR_NOT_FOUND, 27, "The drive cannot find the requested sector.")                     \
  X(ERROR_WRITE_FAULT, 29, "The system cannot write to the specified device.")                     \
  X(ERROR_READ_FAULT, 30, "The system cannot read from the specified device.")                     \
  X(ERROR_GEN_FAILURE, 31, "A device attached to the system is not functioning.")                  \
  X(ERROR_SHARING_VIOLATION, 32, "The file is in use by another process.")                         \
  X(ERROR_LOCK_VIOLATION, 33, "A part of the file is locked by another process.")                  \
  X(ERROR_HANDLE_EOF, 38, "The end of the file has been reached.")                                 \
  X(ERROR_NOT_SUPPORTED, 50, "The request is not supported.")                                      \
  X(ERROR_DEV_NOT_EXIST, 55, "The specified device is no longer available.")                       \
  X(ERROR_FILE_EXISTS, 80, "The file already exists.")                                             \
  X(ERROR_INVALID_PARAMETER, 87, "The parameter is not valid.")                                    \
  X(ERROR_BROKEN_PIPE, 109, "The pipe has been ended.")                                            \
  X(ERROR_OPEN_FAILED, 110, "The system cannot open the device or file specified.")                \
  X(ERROR_DISK_FULL, 112, "There is not enough space on the disk.")                                \
  X(ERROR_CALL_NOT_IMPLEMENTED, 120, "This function is not supported on this system.")             \
  X(ERROR_SEM_TIMEOUT, 121, "The time-out period of the semaphore expired.")                       \
  X(ERROR_INSUFFICIENT_BUFFER, 122, "The data area passed to a system call is too small.")         \
  X(ERROR_INVALID_NAME, 123, "The file name, directory name or volume label syntax is not valid.") \
  X(ERROR_MOD_NOT_FOUND, 126, "The specified module could not be found.")                          \
  X(ERROR_PROC_NOT_FOUND, 127, "The specified procedure could not be found.")                      \
  X(ERROR_NEGATIVE_SEEK, 131, "The file pointer cannot be set before the beginning of the file.")  \
  X(ERROR_DIR_NOT_EMPTY, 145, "The directory is not empty.")                                       \
  X(ERROR_BAD_PATHNAME, 161, "The specified path is not valid.")                                   \
  X(ERROR_BUSY, 170, "The requested resource is in use.")                                          \
  X(ERROR_ALREADY_EXISTS, 183, "Cannot create a file when that file already exists.")              \
  X(ERROR_BAD_EXE_FORMAT, 193, "The module is not a valid executable for this system.")            \
  X(ERROR_FILENAME_EXCED_RANGE, 206, "The file name or extension is too long.")                    \
  X(ERROR_FILE_TOO_LARGE, 223, "The file size exceeds the limit allowed.")                         \
  X(ERROR_NO_DATA, 232, "The pipe is being closed.")                                               \
  X(ERROR_MORE_DATA, 234, "More data is available.")                                               \
  X(ERROR_NO_MORE_ITEMS, 259, "No more data is available.")                                        \
  X(ERROR_DIRECTORY, 267, "The directory name is not valid.")                                      \
  X(ERROR_MR_MID_NOT_FOUND, 317, "The system has no message text for this message number.")        \
  X(ERROR_INVALID_ADDRESS, 487, "Attempt to access an address that is not valid.")                 \
  X(ERROR_ARITHMETIC_OVERFLOW, 534, "The result is too large for its type.")                       \
  X(ERROR_OPERATION_ABORTED, 995, "The I/O operation was aborted.")                                \
  X(ERROR_IO_INCOMPLETE, 996, "The overlapped I/O operation has not completed.")                   \
  X(ERROR_IO_PENDING, 997, "The overlapped I/O operation is in progress.")                         \
  X(ERROR_NOACCESS, 998, "Access to the memory location is not valid.")                            \
  X(ERROR_INVALID_FLAGS, 1004, "The flags are not valid.")                                         \
  X(ERROR_BADDB, 1009, "The configuration registry database is corrupt.")                          \
  X(ERROR_MEDIA_CHANGED, 1110, "The medium in the drive may have changed.")                        \
  X(ERROR_NO_MEDIA_IN_DRIVE, 1112, "There is no medium in the drive.")                             \
  X(ERROR_NO_UNICODE_TRANSLATION, 1113, "No mapping for the Unicode character exists.")            \
  X(ERROR_DLL_INIT_FAILED, 1114, "A module's initialization routine failed.")                      \
  X(ERROR_IO_DEVICE, 1117, "The request could not be performed because of a device I/O error.")   \
  X(ERROR_POSSIBLE_DEADLOCK, 1131, "A potential deadlock condition has been detected.")            \
  X(ERROR_DEVICE_NOT_CONNECTED, 1167, "The device is not connected.")                              \
  X(ERROR_NOT_FOUND, 1168, "Element not found.")                                                   \
  X(ERROR_CANCELLED, 1223, "The operation was cancelled by the user.")                             \
  X(ERROR_INVALID_WINDOW_HANDLE, 1400, "The window handle is not valid.")                          \
  X(ERROR_CANNOT_FIND_WND_CLASS, 1407, "The window class cannot be found.")                        \
  X(ERROR_WINDOW_OF_OTHER_THREAD, 1408, "The window belongs to another thread.")                   \
  X(ERROR_CLASS_ALREADY_EXISTS, 1410, "The window class already exists.")                          \
  X(ERROR_CLASS_DOES_NOT_EXIST, 1411, "The window class does not exist.")                          \
  X(ERROR_CLASS_HAS_WINDOWS, 1412, "Class still has open windows.")                                \
  X(ERROR_INVALID_THREAD_ID, 1444, "The thread identifier is not valid.")                          \
  X(ERROR_NO_SYSTEM_RESOURCES, 1450, "There are not enough system resources to finish the request.") \
  X(ERROR_TIMEOUT, 1460, "The operation returned because the time-out period expired.")            \
  X(ERROR_RESOURCE_LANG_NOT_FOUND, 1815, "There is no message text in the requested language.")    \
  X(ERROR_NOT_ENOUGH_QUOTA, 1816, "There is not enough quota to process this command.")            \
  X(WSAEINTR, 10004, "A blocking operation was interrupted.")                                      \
  X(WSAEBADF, 10009, "The socket handle is not valid.")                                            \
  X(WSAEACCES, 10013, "Access to the socket was denied by its access permissions.")                \
  X(WSAEFAULT, 10014, "A pointer argument of a socket call is not valid.")                         \
  X(WSAEINVAL, 10022, "An argument of a socket call is not valid.")                                \
  X(WSAEMFILE, 10024, "Too many sockets are open.")                                                \
  X(WSAEWOULDBLOCK, 10035, "A non-blocking socket operation could not be completed at once.")      \
  X(WSAEINPROGRESS, 10036, "A blocking socket operation is already in progress.")                  \
  X(WSAEALREADY, 10037, "An operation is already in progress on this non-blocking socket.")        \
  X(WSAENOTSOCK, 10038, "The operation was attempted on something that is not a socket.")          \
  X(WSAEMSGSIZE, 10040, "The datagram was larger than the buffer given to receive it.")            \
  X(WSAEAFNOSUPPORT, 10047, "The address family is not supported.")                                \
  X(WSAEADDRINUSE, 10048, "The socket address is already in use.")                                 \
  X(WSAEADDRNOTAVAIL, 10049, "The requested address is not valid in its context.")                 \
  X(WSAENETDOWN, 10050, "The network is down.")                                                    \
  X(WSAENETUNREACH, 10051, "The network cannot be reached.")                                       \
  X(WSAENETRESET, 10052, "The connection was dropped because the network was reset.")              \
  X(WSAECONNABORTED, 10053, "The connection was aborted by the local host.")                       \
  X(WSAECONNRESET, 10054, "The connection was reset by the remote host.")                          \
  X(WSAENOBUFS, 10055, "No buffer space is available for the socket operation.")                   \
  X(WSAEISCONN, 10056, "The socket is already connected.")                                         \
  X(WSAENOTCONN, 10057, "The socket is not connected.")                                            \
  X(WSAESHUTDOWN, 10058, "The socket has already been shut down.")                                 \
  X(WSAETIMEDOUT, 10060, "The connection attempt timed out without an answer from the host.")     \
  X(WSAECONNREFUSED, 10061, "The connection was refused by the remote host.")                      \
  X(WSAEHOSTUNREACH, 10065, "The host cannot be reached.")                                         \
  X(WSASYSNOTREADY, 10091, "The network subsystem is not ready.")                                  \
  X(WSAVERNOTSUPPORTED, 10092, "The requested socket library version is not supported.")           \
  X(WSANOTINITIALISED, 10093, "The socket library has not been started.")                          \
  X(WSAHOST_NOT_FOUND, 11001, "The host name is not known.")                                       \
  X(WSATRY_AGAIN, 11002, "The host name could not be resolved now; try again later.")              \
  X(WSANO_RECOVERY, 11003, "The name lookup failed with an error that cannot be recovered.")       \
  X(WSANO_DATA, 11004, "The host name is known but has no address of the requested type.")
// clang-format on
