"""reproducible_zip.py OUT FILE...: a zip of the files, each under its own name,
that depends on their contents alone: sorted, one fixed date, one mode, no
extra fields (cmake -E tar would record each file's access and change times)."""
import os
import sys
import zipfile


def main(out, files):
    with zipfile.ZipFile(out + ".part", "w") as archive:
        for path in sorted(files, key=os.path.basename):
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=(1980, 1, 1, 0, 0, 0))
            entry.external_attr = 0o100644 << 16
            entry.create_system = 3  # the mode above is a Unix one
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
