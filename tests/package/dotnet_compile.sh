#!/usr/bin/env bash
# Compiles the C# binding, and the WinForms sample with it, with Debian's mcs:
#   dotnet_compile.sh BINDING_DIR OUT_DIR
# Exit 77 (skipped) when no C# compiler or no Windows Forms assembly is installed.
set -u
src=$1 out=$2
if ! command -v mcs >/dev/null; then
  echo "SKIPPED: no C# compiler (mcs); tools/setup.sh installs mono-mcs"
  exit 77
fi
rm -rf "$out" && mkdir -p "$out"
mcs -warnaserror -target:library -out:"$out/KivApi.dll" "$src/KivApi.cs" || exit 1
# The binding exports the eight functions, each bound to KivAPI.dll by name.
for name in KivInitialize KivLoadSkin KivRun KivStop KivGetClass KivAddFilterForCaption \
            KivAddFilterForID KivDotNETApp; do
  grep -q "public static extern [a-zA-Z]* $name(" "$src/KivApi.cs" || { echo "binding lacks $name"; exit 1; }
done
forms=$(ls /usr/lib/mono/4.5/System.Windows.Forms.dll /usr/lib/mono/4.*-api/System.Windows.Forms.dll 2>/dev/null | head -1)
if [ -z "$forms" ]; then
  echo "SKIPPED: binding compiled; the WinForms sample needs System.Windows.Forms.dll" \
       "(Debian package libmono-system-windows-forms4.0-cil, installed by tools/setup.sh)"
  exit 77
fi
mcs -warnaserror -target:winexe -r:System.Windows.Forms.dll -r:System.Drawing.dll \
    -out:"$out/KivWinFormsSample.exe" "$src/KivApi.cs" "$src/WinFormsSample/Program.cs" || exit 1
echo "compiled $out/KivApi.dll and $out/KivWinFormsSample.exe"
