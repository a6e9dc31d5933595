/* A broken driver plugin: six of the seven entry points, GetFeature missing. Every entry point
 * answers 7 and Open_DevMonitor posts at once, so a test notices any call that reaches it. */
#include "hiddriver/hiddriver.h"

int32_t Set_VIDPID(int32_t vid, int32_t pid) {
    (void)vid;
    (void)pid;
    return 7;
}

int32_t Open_DevMonitor(const VeltrixWindowHandle* window, uint32_t reportMessage,
                        uint32_t changeMessage) {
    VeltrixPost(window, reportMessage, changeMessage, 7);
    return 7;
}

int32_t Open_FeatureDevice(void) {
    return 7;
}

int32_t SetFeature(const uint8_t* data, int32_t length) {
    (void)data;
    (void)length;
    return 7;
}

int32_t Close_FeatureDevice(void) {
    return 7;
}

int32_t Close_DevMonitor(void) {
    return 7;
}
