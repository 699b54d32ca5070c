#!/usr/bin/env python3
"""Shows that check_layers.py catches what it is there to catch: builds small
trees in a temporary folder and checks its verdict on each."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")


def tree(files):
    root = tempfile.mkdtemp(prefix="kiv-layers-")
    for path, text in files.items():
        full = os.path.join(root, "skinlib", path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as out:
            out.write(text)
    return root


def verdict(files):
    run = subprocess.run([sys.executable, CHECK, tree(files)], capture_output=True, text=True)
    return run.returncode, run.stdout


CASES = [
    # (name, files, expected exit status, text the output must hold)
    ("downward includes pass",
     {"base/CKivHandle.h": "", "skindata/A.h": '#include "CKivHandle.h"\n',
      "engine/B.cpp": '#include "A.h"\n#include "CKivHandle.h"\n#include <windows.h>\n',
      "classes/T.cpp": '#include "B.h"\n', "engine/B.h": ""},
     0, "no upward includes"),
    ("engine reaching a control fails",
     {"engine/CKivWndBox.cpp": '#include "CKivButton.h"\n', "controls/CKivButton.h": ""},
     1, "skinlib/engine/CKivWndBox.cpp:1: layer engine includes CKivButton.h of the higher layer controls"),
    ("a path does not hide the layer",
     {"skindata/L.cpp": '\n  #  include "../paint/CKivClientDC.h"\n', "paint/CKivClientDC.h": ""},
     1, "L.cpp:2: layer skindata includes ../paint/CKivClientDC.h"),
    ("base sees nothing above it",
     {"base/H.h": '#include "KivSkinSettings.h"\n', "skindata/KivSkinSettings.h": ""},
     1, "1 upward include(s)"),
    ("controls may not reach the class table",
     {"controls/C.cpp": '#include "Table.h"\n', "classes/Table.h": ""},
     1, "higher layer classes"),
]


def main():
    failed = 0
    for name, files, status, text in CASES:
        got, out = verdict(files)
        if got != status or text not in out:
            print("FAIL %s: exit %d, output:\n%s" % (name, got, out))
            failed += 1
        else:
            print("ok   %s" % name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
