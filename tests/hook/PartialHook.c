/* A hook plugin with two of the seven entry points: installhook posts at once, so a test sees it
 * reached; every other call must be skipped. */
#include "hook/hook.h"

void installhook(const VeltrixWindowHandle* window) {
    VeltrixPost(window, 1034, 7, 7);
}

void enablehook(int32_t enable) {
    (void)enable;
}
