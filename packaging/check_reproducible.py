#!/usr/bin/env python3
"""Shows that the zip depends on the files alone, not on the build machine's times and modes.

    check_reproducible.py EXE SOUND DOCS [MAKENSIS NSI ICON]

Copies the inputs, makes the zip, then touches every input (other times, other modes) and makes
it again: the two must be the same bytes, and every entry carries SOURCE_DATE_EPOCH's date and
a plain Windows file's or folder's attributes, never a Unix mode. Given makensis, the installer
made twice from the two folders must be the same bytes too.
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


def touch_all(root, seconds, mode_file, mode_folder):
    for folder, _, names in os.walk(root):
        os.chmod(folder, mode_folder)
        for name in names:
            path = os.path.join(folder, name)
            os.chmod(path, mode_file)
            os.utime(path, (seconds, seconds))


def build(work, inputs, label, makensis):
    folder = os.path.join(work, "Quillet")  # the same place both times, as in a build tree
    zip_path = os.path.join(work, "Quillet-%s.zip" % label)
    nsh = os.path.join(work, "files.nsh")
    make_dist.main(folder, inputs["exe"], inputs["sound"], inputs["docs"], zip_path, nsh)
    setup = None
    if makensis:
        setup = os.path.join(work, "setup-%s.exe" % label)
        subprocess.run([makensis[0], "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=0.0", "-DFILE_VERSION=0.0.0.0",
                        "-DFILES=" + nsh, "-DOUTFILE=" + setup, "-DICON=" + makensis[2], makensis[1]], check=True)
    return zip_path, setup


def main(exe, sound, docs, *makensis):
    makensis = [makensis[0]] + [os.path.abspath(path) for path in makensis[1:]] if makensis else []
    os.environ["SOURCE_DATE_EPOCH"] = EPOCH
    failures = []
    work = tempfile.mkdtemp()
    try:
        inputs = {"exe": os.path.join(work, "in", "Quillet.exe"), "sound": os.path.join(work, "in", "optimize.wav"),
                  "docs": os.path.join(work, "in", "documentation")}
        os.makedirs(os.path.join(work, "in"))
        shutil.copyfile(exe, inputs["exe"])
        shutil.copyfile(sound, inputs["sound"])
        shutil.copytree(docs, inputs["docs"])
        touch_all(os.path.join(work, "in"), 1500000000, 0o644, 0o755)
        first_zip, first_setup = build(work, inputs, "first", makensis)
        touch_all(os.path.join(work, "in"), 1600000000, 0o600, 0o700)
        os.chmod(inputs["exe"], 0o755)
        second_zip, second_setup = build(work, inputs, "second", makensis)

        if open(first_zip, "rb").read() != open(second_zip, "rb").read():
            failures.append("the zip made from touched inputs differs")
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
                failures.append("the zip holds no Quillet/Quillet.exe")
        if makensis and open(first_setup, "rb").read() != open(second_setup, "rb").read():
            failures.append("the installer made from touched inputs differs")
    finally:
        shutil.rmtree(work)
    for failure in failures:
        print("FAIL " + failure)
    what = "the zip and the installer" if makensis else "the zip"
    print(f"{what}: {'the same bytes from touched inputs' if not failures else f'{len(failures)} faults'}")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) not in (4, 7):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
