/* The window handle that the driver and hook plugins post their messages to. Plain C, so that a
 * plugin needs nothing of the program but this header. `post` may be called from any thread; the
 * receiver handles the message later on its own thread, in the order of posting. */
#ifndef VELTRIX_WINDOW_HANDLE_H
#define VELTRIX_WINDOW_HANDLE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VeltrixWindowHandle {
    void* context;
    void (*post)(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
} VeltrixWindowHandle;

/* Posts through a handle; a null handle or a handle without post drops the message. */
static inline void VeltrixPost(const VeltrixWindowHandle* handle, uint32_t message,
                               uintptr_t wParam, intptr_t lParam) {
    if (handle != 0 && handle->post != 0) {
        handle->post(handle->context, message, wParam, lParam);
    }
}

#ifdef __cplusplus
}
#endif

#endif
