#!/usr/bin/env python3
"""Packs the release zip: one folder vantor/ with the program, its skins, the
user's guide (help/, pages and pictures as they are), the user's readme and
the licence, and writes the zip's SHA-256 beside it.

The same inputs always give the same bytes: entries in sorted order, one fixed
date on every entry, fixed attributes, no extra fields. The readme is kept as
UTF-8 in the repository, with @VERSION@ where the version goes, and goes into
the zip as Japanese Windows readers expect it: code page 932 with CR LF line
ends; the licence gets CR LF too.
"""
import argparse
import datetime
import hashlib
import io
import os
import sys
import zipfile

TOP = "vantor/"
DIR_ATTR = 0x10  # MS-DOS directory flag
FILE_ATTR = 0x20  # MS-DOS archive flag


def windows_text(path, encoding, version=None):
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    if version is not None:
        text = text.replace("@VERSION@", version)
    if "\r" in text:
        sys.exit(f"{path}: keep LF line ends in the repository; CR LF is made here")
    try:
        return text.replace("\n", "\r\n").encode(encoding)
    except UnicodeEncodeError as e:
        sys.exit(f"{path}: {text[e.start:e.end]!r} has no {encoding} form")


def entries(args):
    """(name in the zip, bytes or None for a folder), in the zip's order."""
    out = [(TOP, None)]
    with open(args.exe, "rb") as f:
        out.append((TOP + "vantor.exe", f.read()))
    out.append((TOP + "readme.txt", windows_text(args.readme, "cp932", args.version)))
    out.append((TOP + "LICENSE.txt", windows_text(args.license, "ascii")))
    for folder, subfolders, names in os.walk(args.guide):
        subfolders.sort()
        inside = os.path.relpath(folder, args.guide).replace(os.sep, "/")
        place = TOP + "help/" + ("" if inside == "." else inside + "/")
        out.append((place, None))
        for name in sorted(names):
            with open(os.path.join(folder, name), "rb") as f:
                out.append((place + name, f.read()))
    for skin in sorted(os.listdir(args.skins)):
        folder = os.path.join(args.skins, skin)
        if not os.path.isdir(folder):
            continue
        out.append((f"{TOP}{skin}/", None))
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as f:
                out.append((f"{TOP}{skin}/{name}", f.read()))
    return sorted(out)


def pack(args):
    when = datetime.date.fromisoformat(args.date).timetuple()[:6]
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as z:
        for name, data in entries(args):
            info = zipfile.ZipInfo(name, date_time=when)
            info.create_system = 0  # MS-DOS attributes, as Windows' own zips have
            if data is None:
                info.external_attr = DIR_ATTR
                z.writestr(info, b"")
            else:
                info.external_attr = FILE_ATTR
                info.compress_type = zipfile.ZIP_DEFLATED
                z.writestr(info, data, compresslevel=9)
    return buffer.getvalue()


def main():
    # @FILE reads arguments from FILE, one a line: the build keeps its inputs so.
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0], fromfile_prefix_chars="@")
    for option in ("--out", "--exe", "--skins", "--guide", "--readme", "--license", "--version", "--date"):
        p.add_argument(option, required=True)
    args = p.parse_args()
    data = pack(args)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    # Written under a temporary name first: a failed run leaves no half zip.
    with open(args.out + ".part", "wb") as f:
        f.write(data)
    os.replace(args.out + ".part", args.out)
    digest = hashlib.sha256(data).hexdigest()
    with open(args.out + ".sha256", "w", newline="\n") as f:
        f.write(f"{digest}  {os.path.basename(args.out)}\n")
    print(f"{digest}  {os.path.basename(args.out)}")


if __name__ == "__main__":
    main()
