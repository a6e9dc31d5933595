/* The input hook plugin's public interface. Hook.so exports these seven functions with C linkage
 * and the program binds them by name; they may be called in any order, any number of times.
 *
 * While the keyboard hook is installed and enabled, every key press and release anywhere on the
 * desktop is posted to the window as kMsgHookEvent (1034) with wParam the Windows virtual-key code
 * of the key under the current keyboard layout and lParam 0 on press, 1 on release. Keys without
 * a virtual key are not reported. The keypad's Enter key comes as 0x6C (the keypad separator), so
 * that it stays apart from the main Enter key (0x0D).
 *
 * While the mouse hook is installed and enabled, every press and release of a mouse button is
 * posted the same way with wParam the mouse message: 513/514 left, 516/517 right, 519/520 middle,
 * 523/524 the extra buttons with lParam 1 for forward (X button 9) and 2 for back (X button 8).
 * Wheel turns come only after mousewheelenable(1): 522 for the wheel, lParam +120 away from the
 * user and -120 towards; 526 for tilting it, lParam +120 right and -120 left.
 *
 * Both hooks start enabled and the wheel disabled; the enable calls keep their effect across
 * installing and removing. Installing returns once the hook reports (a few milliseconds; at most a
 * second when the server is slow to answer), or at once when it cannot: no X server, or one
 * without the RECORD extension, which is said once on stderr; then nothing is posted. */
#ifndef VELTRIX_HOOK_H
#define VELTRIX_HOOK_H

#include <stdint.h>

#include "platform/window_handle.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Starts the keyboard hook for `window` (copied; the context it names must outlive removehook).
 * Installing again only changes the window. */
void installhook(const VeltrixWindowHandle* window);
/* Stops it; once this returns, nothing more is posted for keys. */
void removehook(void);
/* 0 pauses the key reports, non-zero resumes them. */
void enablehook(int32_t enable);

void installmousehook(const VeltrixWindowHandle* window);
void removemousehook(void);
void enablemousehook(int32_t enable);
/* Non-zero reports the wheel while the mouse hook reports buttons; 0 keeps it away. */
void mousewheelenable(int32_t enable);

#ifdef __cplusplus
}
#endif

#endif
