#!/usr/bin/env python3
"""Only the Win32 backend and the Windows-only programs may reach the system.

Fails when a source file elsewhere includes a header of the Windows SDK (any
of them, in any letter case: the SDK's headers are the ones mingw-w64 ships
that the C and C++ libraries do not), or one of the backend's own headers,
which bring the SDK along.

  check-seam.py [ROOT]        checks the tree at ROOT (default: this checkout)
  check-seam.py --self-test   plants includes in a scratch tree and checks that
                              each is caught where it is forbidden only
"""
import os
import re
import subprocess
import sys
import tempfile

SCANNED = ("src", "tools", "tests", "bench", "fuzz")
ALLOWED = ("src/platform/win32/", "tools/win32/", "tests/wine/programs/", "bench/wine/",
           "tests/win32/")
SOURCES = (".h", ".hpp", ".c", ".cc", ".cpp", ".rc", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
BACKEND = "platform/win32/"

SDK_DIRS = ("/usr/share/mingw-w64/include", "/usr/x86_64-w64-mingw32/include",
            "/usr/i686-w64-mingw32/include")
# Without mingw-w64 on the machine, the SDK's headers are told by their names.
SDK_FALLBACK = re.compile(
    r"^(windows|win\w*|wt\w*|sh\w*api|shlobj\w*|shldisp|commctrl|commdlg|objbase|ole\w*|"
    r"combaseapi|unknwn|rpc\w*|ntdef|ntstatus|dbt|setupapi|hid\w*|cfgmgr32|devguid|"
    r"mmsystem|processthreadsapi|synchapi|handleapi|fileapi|memoryapi|libloaderapi|"
    r"errhandlingapi|sysinfoapi|tlhelp32|psapi|dbghelp|iphlpapi|ws2\w*|mswsock|"
    r"wincrypt|dwmapi|uxtheme|shellscalingapi|direct\w*|d3d\w*|dxgi\w*|mmreg|ks\w*|"
    r"propsys|propvarutil|strsafe|intsafe|tchar|conio|process)\.h$",
    re.IGNORECASE)


def headers_under(directories):
    names = set()
    for top in directories:
        for folder, _, files in os.walk(top):
            relative = os.path.relpath(folder, top)
            for name in files:
                path = name if relative == "." else os.path.join(relative, name)
                names.add(path.replace(os.sep, "/").lower())
    return names


def library_dirs():
    """Where this machine's C and C++ compiler finds the libraries' headers."""
    found = []
    for language in ("c", "c++"):
        try:
            run = subprocess.run(["c++", "-x", language, "-E", "-v", "-"], input="",
                                 capture_output=True, text=True, check=False)
        except OSError:
            continue
        listing = run.stderr.split("search starts here:")[-1].split("End of search list.")[0]
        found += [line.strip() for line in listing.splitlines() if os.path.isdir(line.strip())]
    return found


def sdk_header_test():
    present = [d for d in SDK_DIRS if os.path.isdir(d)]
    libraries = library_dirs()
    if not present or not libraries:
        return lambda name: bool(SDK_FALLBACK.match(os.path.basename(name)))
    sdk = headers_under(present) - headers_under(libraries)
    return lambda name: name.replace("\\", "/").lower() in sdk


def resolves_in_tree(root, source, name):
    folders = [os.path.dirname(source)] + [os.path.join(root, d) for d in ("src", "tests", "fuzz", "")]
    return any(os.path.isfile(os.path.join(folder, name)) for folder in folders)


def breaches(root, is_sdk_header):
    found = []
    for top in SCANNED:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                if not name.endswith(SOURCES) or relative.startswith(ALLOWED):
                    continue
                with open(path, encoding="utf-8", errors="replace") as source:
                    text = source.read()
                for bracket, header in INCLUDE.findall(text):
                    ours = bracket == '"' and resolves_in_tree(root, path, header)
                    if header.replace("\\", "/").startswith(BACKEND) or (
                            not ours and is_sdk_header(header)):
                        found.append(f"{relative}: {header}")
    return found


def check(root):
    found = breaches(root, sdk_header_test())
    if found:
        print("system headers included outside the Win32 backend:", file=sys.stderr)
        print("\n".join(found), file=sys.stderr)
        return 1
    print("seam ok")
    return 0


def self_test():
    is_sdk_header = sdk_header_test()
    planted = ["<winioctl.h>", "<winreg.h>", "<objbase.h>", "<Windows.h>", '"windows.h"',
               '"platform/win32/Win32Api.h"']
    harmless = ["<cstdint>", "<string.h>", '"platform/Platform.h"']
    failures = []
    for include in planted + harmless:
        with tempfile.TemporaryDirectory() as root:
            for relative in ("src/app/Planted.cpp", "src/platform/win32/Allowed.cpp",
                             "tools/win32/option/Allowed.cpp"):
                os.makedirs(os.path.join(root, os.path.dirname(relative)), exist_ok=True)
                with open(os.path.join(root, relative), "w") as source:
                    source.write(f"// planted\n#include {include}\nint x;\n")
            os.makedirs(os.path.join(root, "src/platform"), exist_ok=True)
            open(os.path.join(root, "src/platform/Platform.h"), "w").close()
            found = breaches(root, is_sdk_header)
            expected = [f"src/app/Planted.cpp: {include[1:-1]}"] if include in planted else []
            if found != expected:
                failures.append(f"#include {include}: expected {expected}, found {found}")
    if failures:
        print("\n".join(failures), file=sys.stderr)
        return 1
    print(f"seam check catches {len(planted)} planted includes, passes {len(harmless)} harmless ones")
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(self_test())
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    sys.exit(check(sys.argv[1] if len(sys.argv) > 1 else here))
