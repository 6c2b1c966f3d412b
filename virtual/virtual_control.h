/* Run-time control of the virtual drives in libwnaspi32.so, for tests and
 * tools in the same process: which discs are in, the tray, faults to
 * inject, and what the drives were asked. Drives are numbered from 0 (the
 * drive at target t is drive t). Every function is thread-safe.
 *
 * Images are given as in VYN_VIRTUAL_DRIVES: a CUE sheet's path, a
 * "synthetic:..." description, or "empty". */
#ifndef VYN_VIRTUAL_VIRTUAL_CONTROL_H_
#define VYN_VIRTUAL_VIRTUAL_CONTROL_H_

#define VYN_VIRTUAL_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

enum { VYN_VIRTUAL_OK = 0, VYN_VIRTUAL_NO_SUCH_DRIVE = -1, VYN_VIRTUAL_BAD_IMAGE = -2 };

/* Replaces every drive with the ';'-separated list `drives`; requests still
 * pending end with SS_ABORTED. Returns how many images could not be opened
 * (those drives are empty; the reasons go to stderr). */
VYN_VIRTUAL_EXPORT int VynVirtualConfigure(const char* drives);
VYN_VIRTUAL_EXPORT int VynVirtualDriveCount(void);

/* Media. Inserting swaps whatever disc was in; with the tray open the new
 * disc is seen once the tray closes. A bad image leaves the drive as it was. */
VYN_VIRTUAL_EXPORT int VynVirtualInsertDisc(int drive, const char* image);
VYN_VIRTUAL_EXPORT int VynVirtualRemoveDisc(int drive);
VYN_VIRTUAL_EXPORT int VynVirtualSetTrayOpen(int drive, int open);

/* Faults of one drive: READ CD starts up to `bound_frames` stereo frames
 * early or late (0 switches jitter off); sectors that fail every READ CD
 * touching them. */
VYN_VIRTUAL_EXPORT int VynVirtualSetJitter(int drive, unsigned bound_frames, unsigned seed);
VYN_VIRTUAL_EXPORT int VynVirtualAddUnreadable(int drive, int first_lba, int count);
VYN_VIRTUAL_EXPORT int VynVirtualClearUnreadable(int drive);

/* Faults of the whole library: each execute request completes `ms`
 * milliseconds (of the platform clock) late; or, while `never` is set, new
 * requests are never completed (an abort still ends them). */
VYN_VIRTUAL_EXPORT void VynVirtualSetCompletionDelay(unsigned ms);
VYN_VIRTUAL_EXPORT void VynVirtualSetNeverComplete(int never);
/* While `immediate` is set, an execute request that has no delay and no
 * earlier request of its drive ahead of it is carried out before
 * SendASPI32Command returns, which then returns its final status (its
 * event is still signalled), as a synchronous driver does. Off by default:
 * requests complete later on the library's thread. */
VYN_VIRTUAL_EXPORT void VynVirtualSetImmediateCompletion(int immediate);

/* Observations. GetLastSpeed gives 1 and the speeds sent by the last SET CD
 * SPEED, 0 when none was sent, or VYN_VIRTUAL_NO_SUCH_DRIVE. */
VYN_VIRTUAL_EXPORT int VynVirtualGetLastSpeed(int drive, unsigned* read_kbs, unsigned* write_kbs);
VYN_VIRTUAL_EXPORT unsigned VynVirtualCommandCount(int drive, unsigned opcode);
VYN_VIRTUAL_EXPORT int VynVirtualResetCommandCounts(int drive);

#ifdef __cplusplus
}
#endif

#endif /* VYN_VIRTUAL_VIRTUAL_CONTROL_H_ */
