#!/usr/bin/env python3
"""Quillet's running costs as the user feels them, each beside a baseline measured in the same
run and the same Wine, for both builds: the i686 Quillet.exe under 32-bit Wine and the x64 one
under 64-bit Wine, each with the bench programs built for its own architecture.

Start-up: from process start until the main window is on screen, painted, and the program waits
for input (WaitForInputIdle), against a plain window; the moment the window shows is given
beside it; and, reported without a goal, against the plain window with the child windows of
Quillet's first page (what having those windows costs Wine, apart from Quillet's own work).
Measured first, in a fresh prefix, the programs taking turns.
Idle CPU: the time the scheduler gave the program, the Wine server and the desktop's explorer
(they do the program's window work), from /proc/PID/task/*/schedstat, over a fixed time:
Quillet's window shown at the default pace and Quillet closed to the notification area, each
against a plain window with a 500 ms timer; Quillet at the 30 ms pace against a window that
scrolls a graph of the same size every 30 ms.
Private memory: committed private memory as Windows counts it, Quillet's (window shown, default
pace) against the plain window's; beside them, reported without a goal, the plain window that loads
the common controls with Quillet's manifest and uses none of them (what comctl32 takes by itself).
Size: the shipped Quillet.exe of each build.

Exit status: 0 when every figure was measured and met its goal, 1 when every figure was measured
and some goal was missed, 2 when something could not be measured. Run by scripts/bench.sh,
which builds what it needs first.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_ENV = os.path.join(ROOT, "scripts", "wine-env.sh")
BUILD = os.path.join(ROOT, "build")

# Each build: the shipped Quillet.exe (the one its zip holds) and the build tree whose bench/
# holds the driver and the baselines for the same architecture.
ARCHES = {
    "win64": {"name": "x64", "wine": "64-bit Wine", "startup_runs": 10,
              "quillet": os.path.join(BUILD, "windows", "x64", "win32", "Quillet.exe"),
              "bench": os.path.join(BUILD, "windows-x64", "bench")},
    "win32": {"name": "i686", "wine": "32-bit Wine", "startup_runs": 6,
              "quillet": os.path.join(BUILD, "windows", "win32", "Quillet.exe"),
              "bench": os.path.join(BUILD, "windows", "bench")},
}

# The graph's pace is the GraphSpeed key of Quillet.ini beside the program: 0 = 30 ms,
# 1 = 60 ms, 2 = 250 ms (the default, used when the file has no key), 3 = 500 ms.
PACES = {"default": None, "30ms": 0, "60ms": 1, "250ms": 2, "500ms": 3}

SIZE_GOAL = 700 * 1024

PLAIN = ("idle_baseline.exe", "QuilletIdleBaseline")
GRAPH = ("graph_baseline.exe", "QuilletGraphBaseline")
CONTROLS = ("controls_baseline.exe", "QuilletIdleBaseline")
CHILDREN = ("children_baseline.exe", "QuilletIdleBaseline")
QUILLET_CLASS = "TQuilletForm"


class BenchError(Exception):
    pass


def process_environment(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []


def finished(pid):
    """A process that has ended but was not reaped yet."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            text = f.read()
    except OSError:
        return True
    return text[text.rindex(")") + 2:].split()[0] in ("Z", "X")


def find_processes(names, prefix):
    """Linux processes of this Wine prefix whose name (as the kernel keeps it, 15 characters)
    is one of names. (Under qemu the name is the Windows program's too.)"""
    wanted = {name[:15] for name in names}
    marker = b"WINEPREFIX=" + prefix.encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                comm = f.read().strip()
        except OSError:
            continue
        if comm in wanted and marker in process_environment(entry) and not finished(entry):
            found.append(int(entry))
    return found


def thread_cpu_ns(pid):
    """Time on a CPU of each thread of a process, in nanoseconds, as the scheduler counts it
    (the first field of /proc/PID/task/TID/schedstat)."""
    times = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return times
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                times[int(tid)] = int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass  # the thread ended in between
    return times


def cpu_used_ns(before, after):
    """CPU used between two readings of thread_cpu_ns: the threads present at both by their
    difference, the threads started in between whole (a thread that ended in between is lost:
    none of the measured programs ends threads while idle)."""
    return sum(ns - before.get(tid, 0) for tid, ns in after.items())


class Wine:
    def __init__(self, arch, state):
        self.arch = arch
        self.state = state
        self.prefix = os.path.join(state, "prefix")

    def command(self, *args):
        return ["bash", WINE_ENV, self.state, self.arch, *args]

    def setup(self):
        done = subprocess.run(self.command("setup"), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if done.returncode != 0:
            raise BenchError(f"no {self.arch} Wine prefix (wine-env.sh setup exited {done.returncode}): "
                             f"{done.stdout.strip()}")

    def cleanup(self):
        subprocess.run(self.command("cleanup"), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def helpers(self):
        """The Wine server and the desktop's explorer of this prefix (an explorer started for
        the desktop that already exists hands over and ends within moments)."""
        server, explorer = [], []
        for _ in range(100):
            server = find_processes(["wineserver", "wineserver64", "wineserver32"], self.prefix)
            explorer = find_processes(["explorer.exe"], self.prefix)
            if len(server) == 1 and len(explorer) == 1:
                return server[0], explorer[0]
            time.sleep(0.1)
        raise BenchError(f"expected one wineserver and one explorer, found {server} and {explorer}")


class IdleResult:
    def __init__(self, own_ns, helpers_ns, private_mb, ready_ms, ended_clean):
        self.own_ns = own_ns
        self.helpers_ns = helpers_ns
        self.private_mb = private_mb
        self.ready_ms = ready_ms
        self.ended_clean = ended_clean

    @property
    def total_ns(self):
        return self.own_ns + self.helpers_ns


def read_line(child, what):
    line = child.stdout.readline().split()
    if not line:
        raise BenchError(f"the driver stopped before {what}")
    return line


def measure_idle(wine, driver, program, window_class, to_tray, seconds, settle):
    """Starts the program (closing its window to the tray when asked), lets it settle, and
    counts the CPU it and the helpers use."""
    args = ["run", driver, "idle", program, window_class] + (["tray"] if to_tray else [])
    child = subprocess.Popen(wine.command(*args), stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        line = read_line(child, "the window showed")
        if line[0] != "shown" or len(line) < 4:
            raise BenchError(f"{program} did not show its window: {' '.join(line)}")
        ready_ms = float(line[3])
        if to_tray:
            line = read_line(child, "the window was closed")
            if line != ["hidden"]:
                raise BenchError(f"{program} did not go to the tray: {' '.join(line)}")
        own = find_processes([os.path.basename(program)], wine.prefix)
        if len(own) != 1:
            raise BenchError(f"expected one process of {program}, found {own}")
        pids = [own[0], *wine.helpers()]
        time.sleep(settle)
        before = [thread_cpu_ns(pid) for pid in pids]
        time.sleep(seconds)
        after = [thread_cpu_ns(pid) for pid in pids]
        if not after[0]:
            raise BenchError(f"{program} ended while it was measured")
        child.stdin.write("\n")
        child.stdin.close()
        result = read_line(child, "the memory figure")
        if len(result) < 3 or result[:2] != ["result", "private_mb"]:
            raise BenchError(f"no memory figure from the driver: {' '.join(result)}")
        ended = read_line(child, "the program ended")
        child.wait(timeout=30)
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()
    used = [cpu_used_ns(b, a) for b, a in zip(before, after)]
    return IdleResult(used[0], used[1] + used[2], float(result[2]), ready_ms, ended == ["ended", "clean"])


def measure_startup(wine, driver, programs, runs):
    """(shown median, shown fastest, ready median, ready fastest) of each (program, window
    class), the programs taking turns; and how many had to be ended by force."""
    args = [str(runs)]
    for program, window_class in programs:
        args += [program, window_class]
    done = subprocess.run(wine.command("run", driver, "startup", *args), stdout=subprocess.PIPE, text=True)
    figures, forced = {}, None
    for line in done.stdout.splitlines():
        words = line.split()
        if words[:2] == ["result", "startup"] and len(words) == 7:
            figures[int(words[2])] = tuple(float(w) for w in words[3:])
        elif words[:2] == ["result", "forced"]:
            forced = int(words[2])
    if done.returncode != 0 or len(figures) != len(programs) or forced is None:
        raise BenchError(f"no start-up figures (driver exited {done.returncode}):\n{done.stdout}")
    return [figures[i] for i in range(len(programs))], forced


def place_program(source, folder, graph_speed=None):
    """A fresh copy of the program in its own folder, with a settings file for the pace."""
    os.makedirs(folder)
    target = os.path.join(folder, os.path.basename(source))
    shutil.copy2(source, target)
    if graph_speed is not None:
        with open(os.path.join(folder, "Quillet.ini"), "w", newline="\r\n") as f:
            f.write(f"[Settings]\nGraphSpeed={graph_speed}\n")
    return target


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


class Table:
    """The figures of one build, each beside its baseline, the ratio and the goal."""

    def __init__(self):
        self.rows = []
        self.missed = 0

    def add(self, figure, measured, baseline, ratio, goal, met):
        """met: True, False, or None for a figure reported without a goal."""
        if met is False:
            self.missed += 1
        verdict = {True: "pass", False: "FAIL", None: ""}[met]
        self.rows.append((figure, measured, baseline, ratio, goal, verdict))

    def print(self):
        header = ("figure", "Quillet", "baseline", "ratio", "goal", "")
        for row in [header, *self.rows]:
            print(f"  {row[0]:<46} {row[1]:>11} {row[2]:>11} {row[3]:>15}   {row[4]:<28} {row[5]}".rstrip())


def cpu_text(ns):
    return f"{ns / 1e6:.0f} ms"


def ratio_row(table, figure, value, base, unit_text, goal_ratio, goal_text):
    ratio = value / base if base else float("inf")
    table.add(figure, unit_text(value), unit_text(base), f"{ratio:.2f}x", goal_text,
              None if goal_ratio is None else ratio <= goal_ratio)


def bench_arch(arch, args, paces, notes):
    """Measures one build in its own fresh prefix; returns its table."""
    conf = ARCHES[arch]
    quillet = args.quillet or conf["quillet"]
    driver = os.path.join(conf["bench"], "bench_driver.exe")
    plain = os.path.join(conf["bench"], PLAIN[0])
    graph = os.path.join(conf["bench"], GRAPH[0])
    controls = os.path.join(conf["bench"], CONTROLS[0])
    children = os.path.join(conf["bench"], CHILDREN[0])
    for path in (quillet, driver, plain, graph, controls, children):
        if not os.path.isfile(path):
            raise BenchError(f"{path} is missing: build first (scripts/bench.sh builds both presets)")
    runs = 0 if args.memory_only else args.startup_runs or conf["startup_runs"]
    print(f"{conf['name']}: {os.path.relpath(quillet, ROOT)} under {conf['wine']}, {runs} start-ups and "
          f"{args.seconds:g} s idle per program x {args.rounds} round(s)", flush=True)

    loads = [load_average()]
    state = tempfile.mkdtemp(prefix=f"quillet-bench-{arch}-")
    wine = Wine(arch, state)
    programs = os.path.join(state, "programs")
    try:
        began = time.monotonic()
        wine.setup()
        # Start-up first, while the prefix is fresh. Quillet starts without a settings file in
        # the warm-up run and with the one it saved there in every later run, as a user's copy.
        if args.memory_only:
            (quillet_start, plain_start, children_start), forced = (None, None, None), 0
        else:
            (quillet_start, plain_start, children_start), forced = measure_startup(
                wine, driver,
                [(place_program(quillet, os.path.join(programs, "startup-quillet")), QUILLET_CLASS),
                 (place_program(plain, os.path.join(programs, "startup-plain")), PLAIN[1]),
                 (place_program(children, os.path.join(programs, "startup-children")), CHILDREN[1])],
                runs)
        if quillet_start:
            print(f"  start-up: Quillet ready {quillet_start[2]:.0f} ms (fastest {quillet_start[3]:.0f}), shown "
                  f"{quillet_start[0]:.0f} ms; plain window ready {plain_start[2]:.0f} ms (fastest "
                  f"{plain_start[3]:.0f}), shown {plain_start[0]:.0f} ms; with the child windows ready "
                  f"{children_start[2]:.0f} ms (fastest {children_start[3]:.0f}), shown {children_start[0]:.0f} ms",
                  flush=True)
        if forced:
            notes.append(f"{conf['name']}: {forced} program(s) had to be ended by force during the start-up runs; "
                         f"later starts in that prefix are slower")

        # Idle CPU and memory, the programs taking turns so that every one meets the same machine.
        cases = [("plain", plain, PLAIN[1], None, False),
                 ("default", quillet, QUILLET_CLASS, PACES["default"], False),
                 ("controls", controls, CONTROLS[1], None, False),
                 ("tray", quillet, QUILLET_CLASS, PACES["default"], True),
                 ("graph", graph, GRAPH[1], None, False),
                 ("30ms", quillet, QUILLET_CLASS, PACES["30ms"], False)]
        cases += [(pace, quillet, QUILLET_CLASS, PACES[pace], False) for pace in paces]
        if args.memory_only:
            cases = cases[:3]  # the plain window, Quillet at its default pace, the common controls
        results = {case[0]: [] for case in cases}
        count = 0
        for round_number in range(1, args.rounds + 1):
            for name, source, window_class, speed, to_tray in cases:
                count += 1
                program = place_program(source, os.path.join(programs, f"{count}-{name}"), speed)
                r = measure_idle(wine, driver, program, window_class, to_tray, args.seconds, args.settle)
                results[name].append(r)
                if not r.ended_clean:
                    notes.append(f"{conf['name']}: {name} had to be ended by force")
                print(f"  round {round_number} {name:<8}: process {r.own_ns / 1e6:6.0f} ms, wineserver + explorer "
                      f"{r.helpers_ns / 1e6:6.0f} ms, total {r.total_ns / 1e6:6.0f} ms CPU; private memory "
                      f"{r.private_mb:6.2f} MB", flush=True)
        loads.append(load_average())
        print(f"  ({time.monotonic() - began:.0f} s)", flush=True)
    finally:
        wine.cleanup()
        shutil.rmtree(state, ignore_errors=True)

    cores = os.cpu_count() or 1
    if max(loads) > cores:
        notes.append(f"{conf['name']}: the machine was busy (load average up to {max(loads):.1f} on {cores} cores): "
                     f"every figure is inflated, the start-up most; compare runs made in the same conditions")

    table = Table()
    ms = lambda v: f"{v:.0f} ms"  # noqa: E731
    if quillet_start:
        ratio_row(table, "start-up to visible window waiting for input", quillet_start[2], plain_start[2], ms, 1.2,
                  "<= 1.2x plain window")
        ratio_row(table, "  window shown", quillet_start[0], plain_start[0], ms, None, "(reported)")
        ratio_row(table, "  against the same child windows", quillet_start[2], children_start[2], ms, None,
                  "(reported)")

    own_mb = statistics.median(r.private_mb for r in results["default"])
    base_mb = statistics.median(r.private_mb for r in results["plain"])
    table.add("private memory", f"{own_mb:.2f} MB", f"{base_mb:.2f} MB",
              f"{own_mb / base_mb:.2f}x {own_mb - base_mb:+.2f}MB", "<= plain window + 1 MB", own_mb <= base_mb + 1)
    controls_mb = statistics.median(r.private_mb for r in results["controls"])
    table.add("  plain window with the common controls", f"{own_mb:.2f} MB", f"{controls_mb:.2f} MB",
              f"{own_mb / controls_mb:.2f}x {own_mb - controls_mb:+.2f}MB", "(reported)", None)
    if args.memory_only:
        return table

    cpu = {name: sum(r.total_ns for r in rs) for name, rs in results.items()}
    as_cpu = cpu_text
    ratio_row(table, "idle CPU default pace, window shown", cpu["default"], cpu["plain"], as_cpu, 1.3,
              "<= 1.3x plain window")
    ratio_row(table, "idle CPU closed to the tray", cpu["tray"], cpu["plain"], as_cpu, 1.1, "<= 1.1x plain window")
    ratio_row(table, "idle CPU at 30 ms pace", cpu["30ms"], cpu["graph"], as_cpu, 1.5, "<= 1.5x 30 ms graph window")
    for pace in paces:
        ratio_row(table, f"idle CPU at {pace[:-2]} ms pace, window shown", cpu[pace], cpu["plain"], as_cpu, None,
                  "(reported)")

    size = os.path.getsize(quillet)
    goal = arch == "win32"  # the size goal is the i686 build's; the x64 size is reported beside it
    table.add(f"Quillet.exe size ({conf['name']})", f"{size / 1024:.0f} KB", f"{SIZE_GOAL // 1024} KB",
              f"{size / SIZE_GOAL:.2f}x", "<= 700 KB" if goal else "(reported)", size <= SIZE_GOAL if goal else None)
    return table


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--arch", default="win64,win32",
                        help="the builds to measure, each under its own Wine: win64 (x64), win32 (i686); "
                             "default both")
    parser.add_argument("--seconds", type=float, default=30, help="idle time measured per program (default 30)")
    parser.add_argument("--settle", type=float, default=3, help="seconds after the window shows before counting")
    parser.add_argument("--rounds", type=int, default=1,
                        help="idle measurements of each program, the programs taking turns; the CPU times are "
                             "summed (default 1)")
    parser.add_argument("--startup-runs", type=int, default=0,
                        help="start-ups per program after a warm-up (default 10 for x64, 6 for i686, which runs "
                             "through qemu)")
    parser.add_argument("--paces", default="",
                        help="further graph paces measured with the window shown against the plain window, "
                             "reported without a goal: 60ms, 250ms, 500ms")
    parser.add_argument("--memory-only", action="store_true",
                        help="private memory alone: no start-ups, the plain window, Quillet and the plain window "
                             "with the common controls once each")
    parser.add_argument("--regions", action="store_true",
                        help="list each program's committed private regions as its memory is measured")
    parser.add_argument("--quillet", default="",
                        help="measure this Quillet.exe instead of the build's (one --arch only, the exe's own)")
    args = parser.parse_args()
    if args.regions:
        os.environ["QUILLET_BENCH_REGIONS"] = "1"
    arches = [a for a in args.arch.split(",") if a]
    for arch in arches:
        if arch not in ARCHES:
            parser.error(f"unknown arch {arch}")
    if args.quillet and len(arches) != 1:
        parser.error("--quillet needs one --arch, the one the program was built for")
    paces = [p for p in args.paces.split(",") if p]
    for pace in paces:
        if pace not in ("60ms", "250ms", "500ms"):
            parser.error(f"unknown pace {pace}")
    if args.rounds < 1 or args.seconds <= 0:
        parser.error("--rounds and --seconds must be positive")

    began = time.monotonic()
    tables, notes = {}, []
    try:
        for arch in arches:
            tables[arch] = bench_arch(arch, args, paces, notes)
    except BenchError as e:
        print(f"quillet_bench: {e}", file=sys.stderr)
        return 2

    print()
    for arch in arches:
        conf = ARCHES[arch]
        print(f"{conf['name']} Quillet.exe under {conf['wine']}, beside baselines built for {conf['name']}:")
        tables[arch].print()
    if "win32" in arches:
        print("(32-bit Wine runs here through qemu where the kernel runs no 32-bit code: its figures are only "
              "meaningful as ratios)")
    print(f"(CPU: time on a CPU of the program, the Wine server and the desktop's explorer over "
          f"{args.seconds:g} s x {args.rounds}, after {args.settle:g} s to settle; start-up: medians, "
          f"fresh prefix; whole run {time.monotonic() - began:.0f} s)")
    for note in notes:
        print(f"note: {note}")
    missed = sum(t.missed for t in tables.values())
    print(f"{missed} goal(s) missed" if missed else "every goal met")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
