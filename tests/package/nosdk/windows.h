/* The few names KivAPI.h takes from <windows.h>, so that the MSVC-style
 * link test compiles the real header for the MSVC ABI without a Windows SDK
 * (mingw-w64's headers do not compile for that target). */
#ifndef KIV_NOSDK_WINDOWS_H
#define KIV_NOSDK_WINDOWS_H
#include <stddef.h>
typedef int BOOL;
#define WINAPI __stdcall
#define FALSE 0
#define TRUE 1
#endif
