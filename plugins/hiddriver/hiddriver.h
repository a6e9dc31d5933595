/* The driver plugin's public interface. hiddriver_1.so carries the wireless receiver and
 * hiddriver_2.so the charging cable; both export these seven functions with C linkage, and the
 * program binds them by name. All integers are 32-bit.
 *
 * SetFeature is called on the program's worker thread while the others run on its UI thread. */
#ifndef VELTRIX_HIDDRIVER_H
#define VELTRIX_HIDDRIVER_H

#include <stdint.h>

#include "platform/window_handle.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the device (USB vendor and product id) that the other calls address. */
int32_t Set_VIDPID(int32_t vid, int32_t pid);

/* Starts watching the device: from now on the plugin posts to `window` (copied; the context it
 * names must outlive Close_DevMonitor)
 *   - reportMessage with wParam a 16-bit event code and lParam a 16-bit value, for every input
 *     report of the mouse;
 *   - changeMessage with wParam 1 when the device arrives and 0 when it goes. */
int32_t Open_DevMonitor(const VeltrixWindowHandle* window, uint32_t reportMessage,
                        uint32_t changeMessage);

/* Opens the device for feature reports; non-zero when it is present and open. */
int32_t Open_FeatureDevice(void);

/* Sends one feature report (byte 0 the command, byte 1 the length); non-zero when accepted. */
int32_t SetFeature(const uint8_t* data, int32_t length);

/* Reads a feature report; bound by the program but never called. */
int32_t GetFeature(uint8_t* data, int32_t length);

int32_t Close_FeatureDevice(void);
int32_t Close_DevMonitor(void);

#ifdef __cplusplus
}
#endif

#endif
