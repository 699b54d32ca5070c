/*
 * KivAPI - flat C interface of the Kiv skin engine.
 *
 * Start-up order on the UI thread:
 *   KivInitialize();                  starts GDI+ (always returns 1)
 *   KivDotNETApp();                   Windows Forms hosts only, before any window exists
 *   if (KivLoadSkin(L"skin.kiv")) {   non-zero when the skin was loaded
 *       KivAddFilterForCaption(...);  windows that must stay unskinned
 *       KivRun();                     skin every window this thread creates from now on
 *   }
 * All functions use the stdcall (WINAPI) convention and are exported by their
 * undecorated names, which is what .NET DllImport expects by default.
 *
 * One UI thread: the engine's window registry is not locked and belongs to the
 * thread that ran KivRun. Call every function from that thread. While windows
 * of that thread are skinned, KivRun from any other thread returns 0.
 *
 * Once KivRun has succeeded the DLL stays loaded until the process ends, even
 * if the host frees it: skinned windows keep its window procedure.
 */
#ifndef KIVAPI_H
#define KIVAPI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef KIVAPI_BUILDING
#define KIVAPI __declspec(dllexport)
#else
#define KIVAPI __declspec(dllimport)
#endif

/* Starts GDI+ once for the process. Always 1. */
KIVAPI int WINAPI KivInitialize(void);

/* Loads a compiled skin file (.kiv). Non-zero when the skin was loaded.
 *
 * Switching skins: a later call that succeeds switches every open skinned
 * window of the engine's thread at once (frames and dialogs with their menu
 * bars and shadows, and every skinned control): each takes the new skin's
 * colours, pictures and sizes, text colours chosen by contrast are chosen
 * again, and each window repaints once, without being recreated. A frame
 * whose borders or caption change size keeps its client area (the window
 * grows or shrinks around it). The old skin's bitmaps and brushes are freed
 * once nothing draws with them.
 *
 * When it returns 0 (missing, damaged or refused file) the skin in use and
 * every window are left exactly as they were. */
KIVAPI BOOL WINAPI KivLoadSkin(const wchar_t* path);

/* Installs the skinning hook on the calling thread. Non-zero when installed;
 * 0 when a hook is already installed, when windows of another thread that ran
 * KivRun are still skinned, or when the platform refuses it.
 * While no skin is loaded (KivRun called before any KivLoadSkin succeeded, for
 * instance because the file is missing) the hook leaves every window the
 * thread creates in the system look. Once a KivLoadSkin succeeds, windows
 * created from then on are skinned as usual; those created before it keep the
 * system look. */
KIVAPI BOOL WINAPI KivRun(void);

/* Removes the hook. Windows skinned so far stay skinned. Non-zero when a hook was removed. */
KIVAPI BOOL WINAPI KivStop(void);

/* Creates the engine instance. Always 1. */
KIVAPI int WINAPI KivGetClass(void);

/* Windows whose caption equals this text (ASCII case ignored) stay unskinned,
 * together with their child and owned windows. Must not be NULL; may be empty. */
KIVAPI void WINAPI KivAddFilterForCaption(const wchar_t* caption);

/* The window with this control identifier, and every window up to six levels
 * below it, stays unskinned. */
KIVAPI void WINAPI KivAddFilterForID(int id);

/* Switches on the class-name mapping for Windows Forms controls. Call before
 * the first window is created. The returned value is opaque. */
KIVAPI void* WINAPI KivDotNETApp(void);

#ifdef __cplusplus
}
#endif

#endif /* KIVAPI_H */
