"""check_shipped.py DIR SYMBOLS.zip [--host-budget BYTES] [--ca CERT.pem [--also FILE...]]

What a release puts on a user's machine, checked as installed in DIR:
  - HidHost.exe, lan.dll and Option.exe carry no debugging sections;
  - each names its symbol file in .gnu_debuglink, and SYMBOLS.zip holds a file
    of that name whose CRC-32 is the one recorded there (so a debugger takes
    it as the file's own), and the host's symbol file has line information;
  - with --host-budget, the stripped HidHost.exe is smaller than BYTES;
  - with --ca, every .exe and .dll in DIR (the uninstaller too) and each FILE
    carry an Authenticode signature that verifies against CERT.pem.
Prints one line per check; exits 1 at the first failure.
"""
import argparse
import glob
import os
import re
import subprocess
import sys
import tempfile
import zipfile
import zlib

SHIPPED = ("HidHost.exe", "lan.dll", "Option.exe")


def fail(message):
    print("FAIL [shipped] " + message)
    sys.exit(1)


def section_names(path):
    out = subprocess.run(["objdump", "-h", path], check=True, capture_output=True, text=True).stdout
    return re.findall(r"^\s*\d+\s+(\S+)", out, re.M)


def section_bytes(path, section):
    out = subprocess.run(["objdump", "-s", "-j", section, path], check=True, capture_output=True,
                         text=True).stdout
    data = bytearray()
    for line in out.splitlines():
        # " 4aa000 48696448 6f73742e 6578652e 64656275  HidHost.exe.debu"
        fields = re.match(r"^ [0-9a-f]+ ((?:[0-9a-f]{2,8} ){1,4})", line + " ")
        if fields:
            data += bytes.fromhex("".join(fields.group(1).split()))
    return bytes(data)


def check_stripped_and_linked(directory, archive):
    members = {info.filename: info for info in archive.infolist()}
    for name in SHIPPED:
        path = os.path.join(directory, name)
        if not os.path.isfile(path):
            fail(f"{name} is not installed in {directory}")
        sections = section_names(path)
        debugging = [s for s in sections if s.startswith(".debug")]
        if debugging:
            fail(f"{name} still has debugging sections: {' '.join(debugging)}")
        if ".gnu_debuglink" not in sections:
            fail(f"{name} has no .gnu_debuglink section")
        link = section_bytes(path, ".gnu_debuglink")
        end = link.index(b"\0")
        symbol_name = link[:end].decode()
        crc = int.from_bytes(link[(end + 4) & ~3:][:4], "little")
        if symbol_name not in members:
            fail(f"{name} links to {symbol_name}, which is not in {archive.filename}")
        data = archive.read(symbol_name)
        if zlib.crc32(data) != crc:
            fail(f"{symbol_name} in the archive has CRC {zlib.crc32(data):08x}, {name} expects {crc:08x}")
        print(f"  ok: {name} is stripped ({os.path.getsize(path)} bytes) and {symbol_name} matches it")
    host_symbols = "HidHost.exe.debug"
    with tempfile.TemporaryDirectory() as scratch:
        extracted = archive.extract(host_symbols, scratch)
        sections = section_names(extracted)
    for needed in (".debug_info", ".debug_line"):
        if needed not in sections:
            fail(f"{host_symbols} has no {needed}: {' '.join(sections)}")
    print(f"  ok: {host_symbols} has the host's debugging information")


def check_host_budget(directory, budget):
    size = os.path.getsize(os.path.join(directory, "HidHost.exe"))
    if size >= budget:
        fail(f"the stripped HidHost.exe is {size} bytes, over its budget of {budget}")
    print(f"  ok: the stripped HidHost.exe ({size} bytes) is within its budget of {budget}")


def check_signatures(directory, ca, also):
    files = sorted(glob.glob(os.path.join(directory, "*.exe")) + glob.glob(os.path.join(directory, "*.dll")))
    for path in files + list(also):
        run = subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], capture_output=True, text=True)
        if run.returncode != 0 or "Signature verification: ok" not in run.stdout:
            fail(f"the signature of {path} does not verify:\n{run.stdout}{run.stderr}")
        print(f"  ok: {os.path.basename(path)} is signed and its signature verifies")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("directory")
    parser.add_argument("symbols")
    parser.add_argument("--host-budget", type=int)
    parser.add_argument("--ca")
    parser.add_argument("--also", nargs="*", default=[])
    args = parser.parse_args()
    with zipfile.ZipFile(args.symbols) as archive:
        check_stripped_and_linked(args.directory, archive)
    if args.host_budget:
        check_host_budget(args.directory, args.host_budget)
    if args.ca:
        check_signatures(args.directory, args.ca, args.also)


if __name__ == "__main__":
    main()
