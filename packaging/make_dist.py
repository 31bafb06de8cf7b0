#!/usr/bin/env python3
"""Gathers the two program folders and packs them.

    make_dist.py SOUND DOCS NSH FOLDER-X86 EXE-X86 ZIP-X86 FOLDER-X64 EXE-X64 ZIP-X64

Each FOLDER is made afresh with its Quillet.exe (the 32-bit or the 64-bit build), sounds/optimize.wav
and whatever DOCS (the source tree's documentation folder) holds, if it exists; its ZIP gets that
folder as "Quillet/", so both zips unpack to the same Quillet\Quillet.exe. NSH gets the
installer's lists of what to install and what to remove again, file by file: the files the two
folders share, and the two programs' paths (QUILLET_EXE_X86, QUILLET_EXE_X64), one of which the
installer puts in place as Quillet.exe.

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


def gather(folder, exe, sound, docs, zip_path):
    """Makes FOLDER and ZIP; returns the folder's files and folders, relative, in a fixed order."""
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
    return files, folders


def main(sound, docs, nsh_path, folder_x86, exe_x86, zip_x86, folder_x64, exe_x64, zip_x64):
    files, folders = gather(folder_x86, exe_x86, sound, docs, zip_x86)
    if gather(folder_x64, exe_x64, sound, docs, zip_x64) != (files, folders):
        sys.exit("make_dist: the two program folders hold different files")

    def windows(relative):  # a "$" would start one of the installer's variables
        return relative.replace(os.sep, "\\").replace("$", "$$")

    def program(folder):
        return os.path.abspath(os.path.join(folder, "Quillet.exe")).replace("$", "$$")

    lines = ["; Made by packaging/make_dist.py from the program folders: do not edit.",
             '!define QUILLET_EXE_X86 "%s"' % program(folder_x86),
             '!define QUILLET_EXE_X64 "%s"' % program(folder_x64),
             "; Everything but Quillet.exe, which the installer picks for the Windows it runs on.",
             "!macro QuilletInstallFiles"]
    for relative in ["."] + folders:
        inside = [f for f in files
                  if os.path.dirname(f) == ("" if relative == "." else relative) and f != "Quillet.exe"]
        if not inside:
            continue
        target = "$INSTDIR" if relative == "." else "$INSTDIR\\" + windows(relative)
        lines.append('  SetOutPath "%s"' % target)
        for f in inside:
            lines.append('  File "%s"' % os.path.abspath(os.path.join(folder_x86, f)).replace("$", "$$"))
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
    if len(sys.argv) != 10:
        sys.exit(__doc__)
    main(*sys.argv[1:])
