#!/usr/bin/env python3
"""Shows that the zips depend on the files alone, not on the build machine's times and modes.

    check_reproducible.py EXE-X86 EXE-X64 SOUND DOCS [MAKENSIS NSI ICON]

Copies the inputs, makes both zips, then touches every input (other times, other modes) and makes
them again: each must come out the same bytes, and every entry carries SOURCE_DATE_EPOCH's date
and a plain Windows file's or folder's attributes, never a Unix mode; each zip holds its own
program as Quillet/Quillet.exe. Given makensis, the installer made twice from the two sets of
folders must be the same bytes too.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_dist  # noqa: E402

EPOCH = "1700000000"  # 2023-11-14 22:13:20 UTC
EXPECTED_DATE = (2023, 11, 14, 22, 13, 20)
ARCHES = ("x86", "x64")


def touch_all(root, seconds, mode_file, mode_folder):
    for folder, _, names in os.walk(root):
        os.chmod(folder, mode_folder)
        for name in names:
            path = os.path.join(folder, name)
            os.chmod(path, mode_file)
            os.utime(path, (seconds, seconds))


def build(work, inputs, label, makensis):
    # The folders are in the same places both times, as in a build tree.
    zips = {arch: os.path.join(work, "Quillet-%s-%s.zip" % (label, arch)) for arch in ARCHES}
    nsh = os.path.join(work, "files.nsh")
    make_dist.main(inputs["sound"], inputs["docs"], nsh,
                   os.path.join(work, "x86", "Quillet"), inputs["x86"], zips["x86"],
                   os.path.join(work, "x64", "Quillet"), inputs["x64"], zips["x64"])
    setup = None
    if makensis:
        setup = os.path.join(work, "setup-%s.exe" % label)
        subprocess.run([makensis[0], "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=0.0", "-DFILE_VERSION=0.0.0.0",
                        "-DFILES=" + nsh, "-DOUTFILE=" + setup, "-DICON=" + makensis[2], makensis[1]], check=True)
    return zips, setup


def main(exe_x86, exe_x64, sound, docs, *makensis):
    makensis = [makensis[0]] + [os.path.abspath(path) for path in makensis[1:]] if makensis else []
    os.environ["SOURCE_DATE_EPOCH"] = EPOCH
    failures = []
    work = tempfile.mkdtemp()
    try:
        inputs = {"x86": os.path.join(work, "in", "x86", "Quillet.exe"),
                  "x64": os.path.join(work, "in", "x64", "Quillet.exe"),
                  "sound": os.path.join(work, "in", "optimize.wav"), "docs": os.path.join(work, "in", "documentation")}
        os.makedirs(os.path.join(work, "in", "x86"))
        os.makedirs(os.path.join(work, "in", "x64"))
        shutil.copyfile(exe_x86, inputs["x86"])
        shutil.copyfile(exe_x64, inputs["x64"])
        shutil.copyfile(sound, inputs["sound"])
        shutil.copytree(docs, inputs["docs"])
        touch_all(os.path.join(work, "in"), 1500000000, 0o644, 0o755)
        first_zips, first_setup = build(work, inputs, "first", makensis)
        touch_all(os.path.join(work, "in"), 1600000000, 0o600, 0o700)
        os.chmod(inputs["x86"], 0o755)
        os.chmod(inputs["x64"], 0o755)
        second_zips, second_setup = build(work, inputs, "second", makensis)

        for arch in ARCHES:
            failures += check_zip(arch, first_zips[arch], second_zips[arch], inputs[arch])
        if makensis and open(first_setup, "rb").read() != open(second_setup, "rb").read():
            failures.append("the installer made from touched inputs differs")
    finally:
        shutil.rmtree(work)
    for failure in failures:
        print("FAIL " + failure)
    what = "the zips and the installer" if makensis else "the zips"
    print(f"{what}: {'the same bytes from touched inputs' if not failures else f'{len(failures)} faults'}")
    return 1 if failures else 0


def check_zip(arch, first_zip, second_zip, program):
    failures = []
    if open(first_zip, "rb").read() != open(second_zip, "rb").read():
        failures.append(f"the {arch} zip made from touched inputs differs")
    with zipfile.ZipFile(second_zip) as archive:
        names = archive.namelist()
        if names != sorted(names, key=lambda n: (not n.endswith("/"), n)):
            failures.append("the entries are not in their fixed order: folders, then files, each sorted")
        for info in archive.infolist():
            folder = info.filename.endswith("/")
            if info.date_time != EXPECTED_DATE:
                failures.append(f"{info.filename}: dated {info.date_time}, not SOURCE_DATE_EPOCH's {EXPECTED_DATE}")
            if info.create_system != 0 or info.external_attr != (0x10 if folder else 0x20):
                failures.append(f"{info.filename}: attributes {info.create_system}/{info.external_attr:#x}, "
                                f"not a plain Windows {'folder' if folder else 'file'}'s")
        if "Quillet/Quillet.exe" not in names:
            failures.append(f"the {arch} zip holds no Quillet/Quillet.exe")
        elif archive.read("Quillet/Quillet.exe") != open(program, "rb").read():
            failures.append(f"the {arch} zip's Quillet/Quillet.exe is not its own program")
    return failures


if __name__ == "__main__":
    if len(sys.argv) not in (5, 8):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
