/*
 * The main program of one peer test file: the test list with its single entry
 * and the runner the peer's test header brings when STANDALONE is defined.
 * KIV_CONFORMANCE_TEST names the test (the file name without ".c").
 *
 * The peer's debug helpers are exported by its own system library; mingw's
 * import libraries do not have them, so the few the tests use live here.
 */
#define STANDALONE
#include <stdio.h>
#include <string.h>
#include "wine/test.h"

#define KIV_PASTE(a, b) a##b
#define KIV_TEST_FUNCTION(name) KIV_PASTE(func_, name)
#define KIV_QUOTE(name) #name
#define KIV_TEST_NAME(name) KIV_QUOTE(name)

extern void KIV_TEST_FUNCTION(KIV_CONFORMANCE_TEST)(void);

const struct test winetest_testlist[] = {
    { KIV_TEST_NAME(KIV_CONFORMANCE_TEST), KIV_TEST_FUNCTION(KIV_CONFORMANCE_TEST) },
    { 0, 0 }
};

/* Debug strings are handed out from a ring of buffers, as the peer's library
 * does: a string stays valid until 64 more have been made. */
#define KIV_DEBUG_SLOTS 64
#define KIV_DEBUG_SLOT_SIZE 1024
static char kiv_debug_strings[KIV_DEBUG_SLOTS][KIV_DEBUG_SLOT_SIZE];
static LONG kiv_debug_next;

const char * __cdecl __wine_dbg_strdup(const char *str)
{
    LONG slot = InterlockedIncrement(&kiv_debug_next) % KIV_DEBUG_SLOTS;
    char *copy = kiv_debug_strings[slot < 0 ? -slot : slot];
    lstrcpynA(copy, str, KIV_DEBUG_SLOT_SIZE);
    return copy;
}

int __cdecl __wine_dbg_output(const char *str)
{
    return fputs(str, stderr) < 0 ? -1 : (int)strlen(str);
}

unsigned char __cdecl __wine_dbg_get_channel_flags(struct __wine_debug_channel *channel)
{
    (void)channel;
    return 0;
}

int __cdecl __wine_dbg_header(enum __wine_debug_class cls, struct __wine_debug_channel *channel,
                              const char *function)
{
    (void)cls;
    (void)channel;
    (void)function;
    return -1;
}
