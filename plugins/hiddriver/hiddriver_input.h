/* How the mouse tells the host about itself: its input reports. The receiver and the cable both
 * send them on the mouse's vendor interface, as numbered HID input reports of 8 bytes:
 *
 *   byte 0     VELTRIX_INPUT_REPORT_ID
 *   byte 1     the event: the high byte of its 16-bit event code
 *   byte 2     the value
 *   bytes 3-7  0
 *
 *   event                      code    value
 *   DPI level changed          0x1000  the new current level of the current profile, 1 to 8
 *   report rate changed        0x2000  1 to 8
 *   status                     0x4000  low nibble: the current DPI level, high nibble: the battery,
 *                                      each counted in set bits from bit 0 (1, 3, 7, 15 are one
 *                                      to four); a level above 4 cannot be told and gives 0
 *   lighting mode changed      0x7000  0 to 7
 *   profile changed            0x8000  the new current profile, 1 to 5
 *
 * The driver plugin posts each event as its report message: wParam the code, lParam the value.
 * Plain C, so that the plugin, the program and the emulated mouse share one definition. */
#ifndef VELTRIX_HIDDRIVER_INPUT_H
#define VELTRIX_HIDDRIVER_INPUT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VELTRIX_INPUT_REPORT_ID 0x03
#define VELTRIX_INPUT_REPORT_LENGTH 8

#define VELTRIX_INPUT_DPI_LEVEL 0x1000
#define VELTRIX_INPUT_REPORT_RATE 0x2000
#define VELTRIX_INPUT_STATUS 0x4000
#define VELTRIX_INPUT_LIGHT_MODE 0x7000
#define VELTRIX_INPUT_PROFILE 0x8000

typedef struct VeltrixInputEvent {
    uint16_t code;
    uint16_t value;
} VeltrixInputEvent;

/* Decodes an input report as read from the device, report id first. Returns 1 and fills *event
 * for one of the five events above; 0 for anything else (another report id, a report too short
 * to hold an event, an unknown event), which the plugin drops. */
static inline int VeltrixDecodeInputReport(const uint8_t* report, size_t length,
                                           VeltrixInputEvent* event) {
    if (report == 0 || length < 3 || report[0] != VELTRIX_INPUT_REPORT_ID) {
        return 0;
    }
    const uint16_t code = (uint16_t)(report[1] << 8);
    switch (code) {
        case VELTRIX_INPUT_DPI_LEVEL:
        case VELTRIX_INPUT_REPORT_RATE:
        case VELTRIX_INPUT_STATUS:
        case VELTRIX_INPUT_LIGHT_MODE:
        case VELTRIX_INPUT_PROFILE:
            event->code = code;
            event->value = report[2];
            return 1;
        default:
            return 0;
    }
}

/* Fills report[0 .. VELTRIX_INPUT_REPORT_LENGTH - 1] with the input report of an event. */
static inline void VeltrixEncodeInputReport(uint16_t code, uint8_t value,
                                            uint8_t report[VELTRIX_INPUT_REPORT_LENGTH]) {
    for (size_t i = 0; i < VELTRIX_INPUT_REPORT_LENGTH; ++i) {
        report[i] = 0;
    }
    report[0] = VELTRIX_INPUT_REPORT_ID;
    report[1] = (uint8_t)(code >> 8);
    report[2] = value;
}

/* The nibble that counts 1 to 4 in set bits (1, 3, 7, 15); 0 for any other count. */
static inline uint8_t VeltrixCountNibble(int count) {
    return (uint8_t)(count >= 1 && count <= 4 ? (1 << count) - 1 : 0);
}

/* The status value of a mouse at DPI level `level` (1 to 8) with `batteryBars` (1 to 4). */
static inline uint8_t VeltrixStatusValue(int level, int batteryBars) {
    return (uint8_t)(VeltrixCountNibble(batteryBars) << 4 | VeltrixCountNibble(level));
}

#ifdef __cplusplus
}
#endif

#endif
