#!/usr/bin/env python3
"""Gathers the program folder and packs it.

    make_dist.py FOLDER EXE SOUND DOCS ZIP NSH

FOLDER is made afresh with Quillet.exe, sounds/optimize.wav and whatever DOCS (the source
tree's documentation folder) holds, if it exists; ZIP gets that folder as "Quillet/"; NSH gets
the installer's lists of what to install and what to remove again, file by file.
"""
import os
import shutil
import sys
import zipfile


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

    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for relative in folders:
            archive.write(os.path.join(folder, relative), "Quillet/" + relative.replace(os.sep, "/") + "/")
        for relative in files:
            archive.write(os.path.join(folder, relative), "Quillet/" + relative.replace(os.sep, "/"))
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
