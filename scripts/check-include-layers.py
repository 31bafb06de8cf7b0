#!/usr/bin/env python3
"""Keeps Quillet's include graph running downwards.

    check-include-layers.py SOURCE_DIR     checks the tree; exits 1 and lists every wrong include
    check-include-layers.py --self-test    checks that wrong includes in a made-up tree are caught

The program's folders stand in layers, bottom first: the folder tree is the layer diagram. A
file may include files of its own folder and of folders in lower layers; folders of the same
layer know nothing of each other. win32/, the Windows side (the services behind platform/'s
interfaces, the control layer's backend, the resources and the entry point), is the top layer:
none includes it, and it may include every portable folder but widgets/: it turns what the
portable layers make (pictures, texts, control states) into Windows objects, and never paints the
program's drawings itself. platform/fake/, the scripted doubles
of platform/ for native tests, includes only platform/, and nothing of the program includes it.
tests/, fuzz/ and bench/ may include anything. A folder holding C++ that is in no layer fails
the check, so a new folder must be given its place here.

Names follow the folders too: what a file of the program defines stands in the namespace of its
top folder (win32/services/x.cpp in win32 or win32::something). A namespace block that only
declares classes of another folder ("namespace ui { class Form; }") is allowed.
"""
import os
import re
import sys
import tempfile

LAYERS = [
    ["text"],                              # UTF-8 lengths, number reading, message formats
    ["platform"],                          # interfaces of the system's services, the software canvas
    ["ui"],                                # the control layer
    ["widgets"],                           # the graph, the gradient bar, the tray icon's picture
    ["app"],                               # the program's texts, paths, resource names, command line
    ["memory", "monitor"],                 # memory figures, filler, recovery; OS, CPU, resources
    ["commands", "shortcuts", "tweaks"],   # features with their dialogs
    ["mainwindow"],                        # the main window, its layout and its handlers
    ["startup"],                           # start-up and the command-line run
    ["win32"],                             # the Windows side: services, control backend, resources, entry
]
IMPLEMENTATIONS = {"platform/fake": {"platform"}}  # the doubles, and the folders they may include
# Folders a layer may not include although they stand below it, and why.
BARRED = {
    ("win32", "widgets"): "win32/ turns the portable layers' results into Windows objects and may not include widgets/",
}
FREE = {"tests", "fuzz", "bench"}
SKIPPED = {"build", "documentation", "packaging", "scripts", "cmake", ".git", ".ci"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
NAMESPACE = re.compile(r'\bnamespace\s+([A-Za-z_][\w:]*)\s*\{')
FORWARD_ONLY = re.compile(r'^(\s*(class|struct)\s+\w+\s*;)*\s*$')

RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}


def folder_of(path):
    """The layer folder or implementation a root-relative path belongs to."""
    parts = path.split("/")
    if len(parts) >= 2 and parts[0] == "platform" and "/".join(parts[:2]) in IMPLEMENTATIONS:
        return "/".join(parts[:2])
    return parts[0]


def problems_of(root):
    problems = []
    for directory, subdirs, files in os.walk(root):
        rel_dir = os.path.relpath(directory, root).replace(os.sep, "/")
        if rel_dir == ".":
            subdirs[:] = [d for d in subdirs if d not in SKIPPED]
            continue
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            rel = f"{rel_dir}/{name}"
            owner = folder_of(rel)
            if owner in FREE:
                continue
            if owner not in RANK and owner not in IMPLEMENTATIONS:
                problems.append(f"{rel}: the folder {owner}/ stands in no layer of this check")
                continue
            with open(os.path.join(directory, name), encoding="utf-8", errors="replace") as f:
                text = f.read()
            for line, namespace in foreign_namespaces(owner, text):
                problems.append(f"{rel}:{line}: defines names in namespace {namespace}, not in {owner.split('/')[0]}")
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                if "/" not in target:
                    continue  # beside the file or generated into the build tree (version.h)
                line = text.count("\n", 0, match.start()) + 1
                problem = judge(owner, folder_of(target))
                if problem:
                    problems.append(f"{rel}:{line}: includes {target}: {problem}")
    return problems


def without_comments_and_strings(text):
    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\'', " ", text, flags=re.S)


def foreign_namespaces(owner, text):
    """Named namespace blocks at file level that hold more than forward declarations and are not
    named after the file's top folder."""
    folder = owner.split("/")[0]
    code = without_comments_and_strings(text)
    found = []
    for match in NAMESPACE.finditer(code):
        if code.count("{", 0, match.start()) != code.count("}", 0, match.start()):
            continue  # nested inside another block
        depth, end = 1, match.end()
        while depth and end < len(code):
            depth += {"{": 1, "}": -1}.get(code[end], 0)
            end += 1
        name = match.group(1)
        if name.split("::")[0] != folder and not FORWARD_ONLY.match(code[match.end():end - 1]):
            found.append((code.count("\n", 0, match.start()) + 1, name))
    return found


def judge(owner, target):
    if target == owner:
        return None
    if target in IMPLEMENTATIONS:
        return f"the program must not include {target}/ (test doubles)"
    if target in FREE:
        return f"{target}/ is not part of the program"
    if target not in RANK:
        return None  # not one of ours (a system or third-party header named with a folder)
    if owner in IMPLEMENTATIONS:
        allowed = IMPLEMENTATIONS[owner]
        if allowed is None or target in allowed:
            return None
        return f"{owner}/ may include only {', '.join(sorted(allowed))}/"
    if (owner, target) in BARRED:
        return BARRED[(owner, target)]
    if RANK[target] < RANK[owner]:
        return None
    if RANK[target] == RANK[owner]:
        return f"{owner}/ and {target}/ stand in the same layer and must not know each other"
    return f"{target}/ stands in a layer above {owner}/"


def self_test():
    cases = {
        "ui/good.cpp": '#include "ui/form.h"\n#include "platform/canvas.h"\n',
        "ui/paint.cpp": '#include "widgets/gradient.h"\n',                        # upwards
        "mainwindow/layout.cpp": '#include "win32/resources/x.h"\n',             # Win32 from portable code
        "platform/canvas.h": '#include "win32/services/gdi_canvas.h"\n',        # up out of the ground floor
        "shortcuts/form.cpp": '#include "commands/upgrade.h"\n',                 # same layer
        "memory/tune.cpp": '#include "memory/recovery.h"\n#include "ui/controls.h"\n',
        "win32/controls/backend.cpp": '#include "ui/form.h"\n#include "startup/startup.h"\n',
        "win32/services/tray.cpp": '#include "platform/tray.h"\n#include "widgets/tray_icon_painter.h"\n',
        "startup/startup.cpp": '#include "platform/fake/fake_platform.h"\n',    # the doubles in the program
        "platform/fake/fake.cpp": '#include "ui/form.h"\n',                       # fake knows platform/ only
        "gadgets/thing.cpp": '#include "ui/form.h"\n',                            # a folder in no layer
        "tests/unit/t.cpp": '#include "win32/services/x.h"\n#include "startup/startup.h"\n',
        "tests/wine/t.cpp": '#include "win32/services/x.h"\n#include "platform/fake/f.h"\n',
        "build/native/generated.cpp": '#include "win32/services/x.h"\n',
        "memory/dialog.h": 'namespace ui {\nclass Form;\n}\nnamespace memory {\nint a;\n}\n',
        "mainwindow/splash.h": '// namespace widgets { in a comment\nnamespace widgets {\nclass Splash {};\n}\n',
        "win32/services/s.cpp": 'namespace win32::detail {\nvoid f() { if (1) {} }\n}\nnamespace {\nint b;\n}\n',
    }
    expected = {
        "ui/paint.cpp:1: includes widgets/gradient.h",
        "mainwindow/layout.cpp:1: includes win32/resources/x.h",
        "platform/canvas.h:1: includes win32/services/gdi_canvas.h",
        "startup/startup.cpp:1: includes platform/fake/fake_platform.h",
        "shortcuts/form.cpp:1: includes commands/upgrade.h",
        "platform/fake/fake.cpp:1: includes ui/form.h",
        "gadgets/thing.cpp: the folder gadgets/",
        "win32/services/tray.cpp:2: includes widgets/tray_icon_painter.h",
        "mainwindow/splash.h:2: defines names in namespace widgets",
    }
    with tempfile.TemporaryDirectory() as root:
        for rel, text in cases.items():
            path = os.path.join(root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        found = problems_of(root)
    caught = {p for p in found if any(p.startswith(e) for e in expected)}
    missed = [e for e in expected if not any(p.startswith(e) for p in found)]
    extra = [p for p in found if p not in caught]
    for e in missed:
        print(f"check-include-layers self-test: not caught: {e}")
    for p in extra:
        print(f"check-include-layers self-test: wrongly reported: {p}")
    if missed or extra:
        return 1
    print(f"check-include-layers self-test: all {len(expected)} wrong includes and names caught, nothing else reported")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    problems = problems_of(argv[1])
    for p in problems:
        print(p)
    if problems:
        print(f"check-include-layers: {len(problems)} include(s) or namespace(s) against the layers")
        return 1
    print("check-include-layers: every include runs downwards")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
