// .NET binding of KivAPI.dll, the flat interface of the Kiv skin engine.
//
// Start-up order on the UI thread, before the first form is created:
//   KivApi.KivInitialize();
//   KivApi.KivDotNETApp();                 Windows Forms hosts only
//   if (KivApi.KivLoadSkin(Path.Combine(AppDomain.CurrentDomain.BaseDirectory, "default.kiv"))) {
//       KivApi.KivAddFilterForCaption("Open");
//       KivApi.KivRun();
//   }
// (A bare "default.kiv" would be looked up in the current folder, which is not
// the program's when it is started from elsewhere.)
// KivAPI.dll must match the process: the 32-bit DLL for an x86 process, the
// 64-bit one for x64 (an AnyCPU program runs as x64 on 64-bit Windows).
using System;
using System.Runtime.InteropServices;

namespace Kiv
{
    public static class KivApi
    {
        private const string Dll = "KivAPI.dll";

        /// <summary>Starts GDI+ once for the process. Always 1.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern int KivInitialize();

        /// <summary>Loads a compiled skin file (.kiv); true when it was loaded.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool KivLoadSkin(string path);

        /// <summary>Skins every window the calling thread creates from now on.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool KivRun();

        /// <summary>Stops skinning new windows; windows skinned so far stay skinned.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        [return: MarshalAs(UnmanagedType.Bool)]
        public static extern bool KivStop();

        /// <summary>Creates the engine instance. Always 1.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern int KivGetClass();

        /// <summary>Windows with this caption, and their children, stay unskinned. Not null.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern void KivAddFilterForCaption(string caption);

        /// <summary>The control with this identifier, and what lies below it, stays unskinned.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern void KivAddFilterForID(int id);

        /// <summary>Maps Windows Forms class names to the standard controls. Call before the first form.</summary>
        [DllImport(Dll, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode)]
        public static extern IntPtr KivDotNETApp();
    }
}
