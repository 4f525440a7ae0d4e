#!/usr/bin/env python3
"""Packs files into a zip whose bytes depend only on their names, contents and one time:
    pack-zip.py OUT.zip EPOCH FILE...
Each FILE is a path relative to the current folder and is stored under that path, with "/"
between folders. Entries keep the given order, carry EPOCH as their time (in UTC, whatever the builder's time
zone) and fixed permissions, and no owner, so that a commit packs the same zip anywhere."""
import os
import sys
import time
import zipfile


def main(argv):
    if len(argv) < 4 or not argv[2].isdigit():
        sys.exit(f"usage: {argv[0]} OUT.zip EPOCH FILE...")
    out, epoch, files = argv[1], int(argv[2]), argv[3:]
    # Zip times are two-second local times from 1980 on.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in files:
            entry = zipfile.ZipInfo(path.replace(os.sep, "/"), date_time=stamp)
            entry.create_system = 3
            mode = 0o755 if os.access(path, os.X_OK) else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(entry, source.read())
    os.replace(partial, out)


if __name__ == "__main__":
    main(sys.argv)
