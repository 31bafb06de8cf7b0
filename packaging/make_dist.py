#!/usr/bin/env python3
"""Gathers the program folder and packs it.

    make_dist.py FOLDER EXE SOUND DOCS ZIP NSH

FOLDER is made afresh with Quillet.exe, sounds/optimize.wav and whatever DOCS (the source
tree's documentation folder) holds, if it exists; ZIP gets that folder as "Quillet/"; NSH gets
the installer's lists of what to install and what to remove again, file by file.

The same files make the same zip, byte for byte, whatever their times and modes on the build
machine: the entries come in a fixed order, each dated SOURCE_DATE_EPOCH (seconds since 1970,
UTC; 1980-01-01 when unset, the earliest date a zip holds) with the plain attributes of a
Windows file or folder.
"""
import os
import shutil
import sys
import time
import zipfile

EARLIEST_ZIP_TIME = 315532800  # 1980-01-01 00:00:00 UTC
FILE_ATTRIBUTES = 0x20  # FILE_ATTRIBUTE_ARCHIVE
FOLDER_ATTRIBUTES = 0x10  # FILE_ATTRIBUTE_DIRECTORY


def entry(name, stamp, folder):
    """A zip entry of a fixed date and fixed attributes, made as on Windows."""
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(stamp, EARLIEST_ZIP_TIME))[:6])
    info.create_system = 0  # MS-DOS / Windows attributes, no Unix modes
    info.external_attr = FOLDER_ATTRIBUTES if folder else FILE_ATTRIBUTES
    info.compress_type = zipfile.ZIP_STORED if folder else zipfile.ZIP_DEFLATED
    return info


def source_date():
    value = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    return int(value) if value.isdigit() else EARLIEST_ZIP_TIME


def main(folder, exe, sound, docs, zip_path, nsh_path):
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(os.path.join(folder, "sounds"))
    shutil.copy2(exe, os.path.join(folder, "Quillet.exe"))
    shutil.copy2(sound, os.path.join(folder, "sounds", "optimize.wav"))
    if os.path.isdir(docs):
        shutil.copytree(docs, os.path.join(folder, "documentation"))

    files, folders = [], []
    for root, dirs, names in os.walk(folder):
        dirs.sort()
        relative = os.path.relpath(root, folder)
        if relative != ".":
            folders.append(relative)
        for name in sorted(names):
            files.append(os.path.normpath(os.path.join(relative, name)))

    stamp = source_date()
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for relative in sorted(folders):
            archive.writestr(entry("Quillet/" + relative.replace(os.sep, "/") + "/", stamp, True), b"")
        for relative in sorted(files):
            with open(os.path.join(folder, relative), "rb") as source:
                data = source.read()
            archive.writestr(entry("Quillet/" + relative.replace(os.sep, "/"), stamp, False), data,
                             compresslevel=9)
    os.replace(partial, zip_path)

    def windows(relative):  # a "$" would start one of the installer's variables
        return relative.replace(os.sep, "\\").replace("$", "$$")

    lines = ["; Made by packaging/make_dist.py from the program folder: do not edit.", "!macro QuilletInstallFiles"]
    for relative in ["."] + folders:
        inside = [f for f in files if os.path.dirname(f) == ("" if relative == "." else relative)]
        if not inside:
            continue
        target = "$INSTDIR" if relative == "." else "$INSTDIR\\" + windows(relative)
        lines.append('  SetOutPath "%s"' % target)
        for f in inside:
            lines.append('  File "%s"' % os.path.abspath(os.path.join(folder, f)).replace("$", "$$"))
    lines.append('  SetOutPath "$INSTDIR"')
    lines.append("!macroend")
    lines.append("!macro QuilletRemoveFiles")
    for f in files:
        if f != "Quillet.exe":  # removed first, on its own, once the program has ended
            lines.append('  Delete "$INSTDIR\\%s"' % windows(f))
    for relative in sorted(folders, key=lambda r: r.count(os.sep), reverse=True):
        lines.append('  RMDir "$INSTDIR\\%s"' % windows(relative))
    lines.append("!macroend")
    with open(nsh_path, "w", encoding="utf-8-sig") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
