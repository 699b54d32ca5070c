/* Counting checks for the plain C hosts of KivAPI.dll: each failure is
 * printed with its line; the host ends with KIV_HOST_RESULT(). */
#ifndef KIVHOSTEXPECT_H
#define KIVHOSTEXPECT_H

#include <stdio.h>

static int passed = 0, failed = 0;

#define EXPECT(cond)                                                   \
    do {                                                               \
        if (cond) {                                                    \
            ++passed;                                                  \
        } else {                                                       \
            ++failed;                                                  \
            printf("%s:%d: FAILED: %s\n", __FILE__, __LINE__, #cond); \
        }                                                              \
    } while (0)

/* Prints the counts; the exit code of the host. */
#define KIV_HOST_RESULT() (printf("%d passed, %d failed\n", passed, failed), failed == 0 ? 0 : 1)

#endif /* KIVHOSTEXPECT_H */
