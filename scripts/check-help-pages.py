#!/usr/bin/env python3
"""Checks the help pages that ship in documentation/ beside Quillet.exe.

    check-help-pages.py DOCUMENTATION_DIR    check the pages; exit code 1 on any fault
    check-help-pages.py --self-test          show that every kind of fault is caught

Every page must be UTF-8 with <meta charset="utf-8"> and a title, and work without scripts
(no <script>, no javascript: links). Every href and src (and url() in a stylesheet) must name
a file inside the folder, by a relative path with forward slashes, and a #fragment must name an
id or anchor of its page. Every page must be reachable from index.html, and every other file in
the folder (pictures, stylesheets) must be used by some page. Web and mail links are allowed
and listed.

Every page must also be valid HTML: HTML Tidy (Debian's package tidy, installed by
scripts/install-deps.sh) reads each page, and each of its warnings and errors is a fault
(markup inside an attribute, a second charset declaration, a stray or missing end tag, an
element or attribute HTML5 does not have, an id used twice...).
"""
import html.parser
import os
import posixpath
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

EXTERNAL = ("http://", "https://", "mailto:")


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []  # (tag, attribute, value)
        self.anchors = set()
        self.charset = False
        self.title = False
        self.scripts = 0
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("id", "name") if tag == "a" else ("id",):
            if attrs.get(name):
                self.anchors.add(attrs[name])
        if tag == "meta" and (attrs.get("charset") or "").lower() == "utf-8":
            self.charset = True
        if tag == "script":
            self.scripts += 1
        if tag == "title":
            self._in_title = True
        for attribute in ("href", "src"):
            if attrs.get(attribute) is not None:
                self.links.append((tag, attribute, attrs[attribute]))
        for attribute, value in attrs.items():
            if attribute.startswith("on"):
                self.scripts += 1

    def handle_data(self, data):
        if self._in_title and data.strip():
            self.title = True

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False


def validate(path):
    """HTML Tidy's warnings and errors about the page, or why it could not read it."""
    try:
        # No configuration file of the user's: the same judgement everywhere.
        result = subprocess.run(["tidy", "-quiet", "-errors", "--gnu-emacs", "yes", "--show-warnings", "yes",
                                 "--show-info", "no", path], capture_output=True, text=True, encoding="utf-8",
                                errors="replace", env=dict(os.environ, HTML_TIDY=""))
    except FileNotFoundError:
        return ["the HTML validator tidy is not installed (scripts/install-deps.sh installs it)"]
    if result.returncode > 2:
        return [f"tidy could not read it (exit code {result.returncode}): {result.stderr.strip()}"]
    messages = []
    for line in result.stderr.splitlines():
        found = re.match(r"^.*?:(\d+):(\d+): (Warning|Error): (.*)$", line)
        if found:
            messages.append(f"line {found.group(1)}: {found.group(4)}")
    if result.returncode != 0 and not messages:
        messages.append("tidy found faults: " + result.stderr.strip())
    return messages


def check(root):
    """Returns (faults, external links) for the folder."""
    root = os.path.abspath(root)
    faults, external = [], []
    files = set()
    for folder, _, names in os.walk(root):
        for name in names:
            files.add(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/"))
    pages = {}
    for path in sorted(f for f in files if f.endswith(".html")):
        raw = open(os.path.join(root, path), "rb").read()
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError as error:
            faults.append(f"{path}: not UTF-8 ({error})")
            continue
        page = Page()
        page.feed(text)
        page.close()
        pages[path] = page
        if not page.charset:
            faults.append(f'{path}: no <meta charset="utf-8">')
        if not page.title:
            faults.append(f"{path}: no title")
        if page.scripts:
            faults.append(f"{path}: uses scripts, but the pages must work without them")
        for message in validate(os.path.join(root, path)):
            faults.append(f"{path}: not valid HTML: {message}")

    used = set()  # files named by some page or stylesheet
    edges = {}  # page -> pages it links to

    def resolve(source, value, where):
        """The file a reference names, or None after reporting why it names none."""
        if value.startswith(EXTERNAL):
            external.append(f"{where}: {value}")
            return None
        if re.match(r"^[a-zA-Z][a-zA-Z0-9+.-]*:", value) or value.startswith("//"):
            faults.append(f"{where}: {value} is no file of the help pages")
            return None
        if "\\" in value or value.startswith("/"):
            faults.append(f"{where}: {value} must be a relative path with forward slashes")
            return None
        target, _, fragment = value.partition("#")
        target = urllib.parse.unquote(target.split("?")[0])
        name = source if target == "" else posixpath.normpath(posixpath.join(posixpath.dirname(source), target))
        if name.startswith("../") or name == "..":
            faults.append(f"{where}: {value} lies outside the help pages")
            return None
        if name not in files:
            faults.append(f"{where}: {value} does not exist")
            return None
        if fragment and name.endswith(".html"):
            if name in pages and fragment not in pages[name].anchors:
                faults.append(f"{where}: {value}: {name} has no anchor #{fragment}")
        return name

    for path, page in pages.items():
        edges[path] = set()
        for tag, attribute, value in page.links:
            where = f"{path}: <{tag} {attribute}>"
            if value.strip() == "":
                faults.append(f"{where}: empty")
                continue
            name = resolve(path, value.strip(), where)
            if name is None:
                continue
            used.add(name)
            if name.endswith(".html"):
                edges[path].add(name)
    for path in sorted(f for f in files if f.endswith(".css")):
        text = open(os.path.join(root, path), encoding="utf-8").read()
        for value in re.findall(r"url\(\s*['\"]?([^'\")]+)['\"]?\s*\)", text):
            name = resolve(path, value.strip(), f"{path}: url()")
            if name is not None:
                used.add(name)

    if "index.html" not in pages:
        faults.append("index.html: missing")
    reached, queue = set(), ["index.html"] if "index.html" in pages else []
    while queue:
        page = queue.pop()
        if page in reached:
            continue
        reached.add(page)
        queue.extend(edges.get(page, ()))
    for path in sorted(pages):
        if path not in reached:
            faults.append(f"{path}: not reachable from index.html")
    for path in sorted(files):
        if not path.endswith(".html") and path not in used:
            faults.append(f"{path}: used by no page")
    return faults, external


def self_test():
    """Each kind of fault in an otherwise sound folder is reported; the sound folder passes."""
    good = {
        "index.html": '<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8"><title>目录</title>'
                      '<link rel="stylesheet" href="style.css"></head><body><p><a href="a.html#x">页</a> '
                      '<img src="images/p.png" alt="“关于”页"> <a href="mailto:x@example.org">邮件</a></p>'
                      '</body></html>',
        "a.html": '<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8"><title>页</title></head><body>'
                  '<h2 id="x">x</h2><p><a href="index.html">目录</a></p></body></html>',
        "style.css": "body { background: url(images/bg.png); }",
        "images/p.png": "",
        "images/bg.png": "",
    }
    broken = {
        "broken link": ("a.html", lambda t: t.replace("index.html", "indx.html"), "does not exist"),
        "missing picture": ("index.html", lambda t: t.replace("images/p.png", "images/q.png"), "does not exist"),
        "missing anchor": ("index.html", lambda t: t.replace("a.html#x", "a.html#y"), "no anchor"),
        "unused picture": ("images/extra.png", lambda t: "", "used by no page"),
        "unreachable page": ("b.html", lambda t: good["a.html"], "not reachable"),
        "script": ("a.html", lambda t: t.replace("</body>", "<script>x()</script></body>"), "scripts"),
        "no charset": ("a.html", lambda t: t.replace('<meta charset="utf-8">', ""), "charset"),
        "absolute path": ("a.html", lambda t: t.replace('href="index.html"', 'href="/index.html"'), "relative"),
        "outside": ("a.html", lambda t: t.replace('href="index.html"', 'href="../index.html"'), "outside"),
        "stylesheet picture": ("style.css", lambda t: t.replace("bg.png", "none.png"), "does not exist"),
        # What HTML Tidy reports: markup inside a picture's text breaks the img element...
        "markup in alt": ("index.html", lambda t: t.replace('alt="“关于”页"', 'alt="<span class="ui">关于</span>页"'),
                          "not valid HTML"),
        # ...a second charset declaration, a stray end tag, an id used twice.
        "two charsets": ("a.html", lambda t: t.replace(
            "<title>", '<meta http-equiv="Content-Type" content="text/html; charset=utf-8"><title>'), "not valid HTML"),
        "stray end tag": ("a.html", lambda t: t.replace("</h2>", "</h2></div>"), "not valid HTML"),
        "id twice": ("a.html", lambda t: t.replace("</body>", '<h2 id="x">y</h2></body>'), "not valid HTML"),
    }
    failures = 0
    for case, (name, change, expected) in [("sound", (None, None, None))] + list(broken.items()):
        folder = tempfile.mkdtemp()
        try:
            for path, text in good.items():
                os.makedirs(os.path.join(folder, os.path.dirname(path)), exist_ok=True)
                open(os.path.join(folder, path), "w", encoding="utf-8").write(text)
            if name is not None:
                path = os.path.join(folder, name)
                before = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
                open(path, "w", encoding="utf-8").write(change(before))
            faults, external = check(folder)
            ok = (not faults and external == ["index.html: <a href>: mailto:x@example.org"]) if name is None \
                else any(expected in f for f in faults)
            print(("ok   " if ok else "FAIL ") + case + ("" if ok else f": {faults}"))
            failures += 0 if ok else 1
        finally:
            shutil.rmtree(folder)
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    faults, external = check(sys.argv[1])
    for link in external:
        print("external " + link)
    for fault in faults:
        print("FAIL " + fault)
    pages = sum(1 for _, _, names in os.walk(sys.argv[1]) for n in names if n.endswith(".html"))
    print(f"help pages: {pages} pages, {len(external)} external links, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
