#!/usr/bin/env python3
"""Quillet's running costs against a plain window, measured in one run under Wine.

Idle CPU: Quillet.exe at the default graph pace and at the fastest (30 ms), each left alone for
a fixed time, against the baseline (a plain window with a 500 ms timer drawing a Chinese text in
宋体). The CPU counted is the program's own plus the Wine server's and the desktop explorer's
(they do the program's window work), read from /proc as user + system clock ticks.
Private memory: Quillet's against the baseline's, at the end of the idle time.
Start-up: process start to window shown, Quillet's against the baseline's (a minimal window).
Size: the shipped (i686) Quillet.exe against 1 MB.

Run by scripts/bench.sh, which builds what it needs first.
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
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")

# The graph's pace is the GraphSpeed key of Quillet.ini beside the program: 0 = 30 ms,
# 1 = 60 ms, 2 = 250 ms (the default, used when the file has no key), 3 = 500 ms.
PACES = {"default": None, "30ms": 0, "60ms": 1, "250ms": 2, "500ms": 3}


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
    is one of names."""
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


def cpu_ticks(pid):
    """User plus system time of a process, in clock ticks."""
    with open(f"/proc/{pid}/stat") as f:
        text = f.read()
    fields = text[text.rindex(")") + 2:].split()
    return int(fields[11]) + int(fields[12])


class Wine:
    def __init__(self, arch, state):
        self.arch = arch
        self.state = state
        self.prefix = os.path.join(state, "prefix")

    def command(self, *args):
        return ["bash", WINE_ENV, self.state, self.arch, *args]

    def setup(self):
        subprocess.run(self.command("setup"), check=True, stdout=subprocess.DEVNULL)

    def cleanup(self):
        subprocess.run(self.command("cleanup"), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def helpers(self):
        """The Wine server and the desktop's explorer of this prefix (an explorer started for
        the desktop that already exists hands over and ends within moments)."""
        for _ in range(100):
            server = find_processes(["wineserver", "wineserver64", "wineserver32"], self.prefix)
            explorer = find_processes(["explorer.exe"], self.prefix)
            if len(server) == 1 and len(explorer) == 1:
                return server[0], explorer[0]
            time.sleep(0.1)
        raise RuntimeError(f"expected one wineserver and one explorer, found {server} and {explorer}")


class IdleResult:
    def __init__(self, own, helpers, private_mb, shown_ms):
        self.own = own
        self.helpers = helpers
        self.private_mb = private_mb
        self.shown_ms = shown_ms

    @property
    def total(self):
        return self.own + self.helpers


def measure_idle(wine, driver, program, window_class, seconds, settle):
    """Starts the program, lets it settle, and counts the CPU it and the helpers use."""
    child = subprocess.Popen(wine.command("run", driver, "idle", program, window_class), stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, text=True)
    try:
        line = child.stdout.readline().split()
        if not line or line[0] != "shown":
            raise RuntimeError(f"{program} did not show its window: {' '.join(line)}")
        shown_ms = float(line[1])
        own = find_processes([os.path.basename(program)], wine.prefix)
        if len(own) != 1:
            raise RuntimeError(f"expected one process of {program}, found {own}")
        pids = [own[0], *wine.helpers()]
        time.sleep(settle)
        before = [cpu_ticks(pid) for pid in pids]
        time.sleep(seconds)
        after = [cpu_ticks(pid) for pid in pids]
        child.stdin.write("\n")
        child.stdin.close()
        result = child.stdout.readline().split()
        if len(result) < 3 or result[:2] != ["result", "private_mb"]:
            raise RuntimeError(f"no memory figure from the driver: {' '.join(result)}")
        child.wait(timeout=30)
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()
    used = [a - b for a, b in zip(after, before)]
    return IdleResult(used[0], used[1] + used[2], float(result[2]), shown_ms)


def measure_startup(wine, driver, programs, runs):
    """Median and fastest start-up time of each (program, window class), the programs taking turns."""
    args = [str(runs)]
    for program, window_class in programs:
        args += [program, window_class]
    out = subprocess.run(wine.command("run", driver, "startup", *args), check=True, stdout=subprocess.PIPE,
                         text=True).stdout
    figures = [(float(line.split()[2]), float(line.split()[3])) for line in out.splitlines()
               if line.split()[:2] == ["result", "startup_ms"]]
    if len(figures) != len(programs):
        raise RuntimeError(f"no start-up figures:\n{out}")
    return figures


def place_program(source, folder, graph_speed):
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


def table_line(figure, measured, baseline, ratio, goal, met):
    return f"{figure:<34} {measured:>14} {baseline:>14} {ratio:>9}   {goal:<22} {'met' if met else 'MISSED'}"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=30, help="idle time measured per program (default 30)")
    parser.add_argument("--rounds", type=int, default=1,
                        help="idle measurements of each program, interleaved; the ticks are summed (default 1)")
    parser.add_argument("--startup-runs", type=int, default=10, help="start-up runs per program (default 10)")
    parser.add_argument("--settle", type=float, default=3, help="seconds after the window shows before counting")
    parser.add_argument("--paces", default="default,30ms", help=f"graph paces to measure, of {','.join(PACES)}")
    parser.add_argument("--arch", default="win64", help="Wine to measure under (default win64)")
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "windows-x64"),
                        help="build tree of the measured programs")
    parser.add_argument("--shipped", default=os.path.join(ROOT, "build", "windows", "win32", "Quillet.exe"),
                        help="the shipped (i686) Quillet.exe, whose size is measured")
    args = parser.parse_args()
    paces = [p for p in args.paces.split(",") if p]
    for pace in paces:
        if pace not in PACES:
            parser.error(f"unknown pace {pace}")

    quillet = os.path.join(args.build, "win32", "Quillet.exe")
    driver = os.path.join(args.build, "bench", "bench_driver.exe")
    baseline = os.path.join(args.build, "bench", "idle_baseline.exe")
    for path in (quillet, driver, baseline, args.shipped):
        if not os.path.isfile(path):
            sys.exit(f"quillet_bench: {path} is missing: build first")

    loads = [load_average()]
    state = tempfile.mkdtemp(prefix="quillet-bench-")
    wine = Wine(args.arch, state)
    try:
        wine.setup()
        print(f"quillet_bench: {os.path.relpath(quillet, ROOT)} under {args.arch} Wine, "
              f"{args.seconds:g} s idle per program, {args.rounds} round(s)", flush=True)

        # Idle CPU and memory, interleaved so every program meets the same machine.
        results = {"baseline": [], **{pace: [] for pace in paces}}
        count = 0
        for round_number in range(1, args.rounds + 1):
            for name in results:
                count += 1
                folder = os.path.join(state, "programs", f"{count}-{name}")
                if name == "baseline":
                    program, window_class = place_program(baseline, folder, None), "QuilletIdleBaseline"
                else:
                    program, window_class = place_program(quillet, folder, PACES[name]), "TQuilletForm"
                r = measure_idle(wine, driver, program, window_class, args.seconds, args.settle)
                results[name].append(r)
                print(f"  round {round_number} {name:<8}: process {r.own:4d} ticks, wineserver + explorer "
                      f"{r.helpers:4d} ticks, total {r.total:4d}; private memory {r.private_mb:6.2f} MB", flush=True)

        # Start-up, each program on its own copy (Quillet without a settings file).
        (startup_quillet, fastest_quillet), (startup_baseline, fastest_baseline) = measure_startup(
            wine, driver,
            [(place_program(quillet, os.path.join(state, "programs", "startup-quillet"), None), "TQuilletForm"),
             (place_program(baseline, os.path.join(state, "programs", "startup-baseline"), None), "QuilletIdleBaseline")],
            args.startup_runs)
        print(f"  start-up: Quillet {startup_quillet:.0f} ms (fastest {fastest_quillet:.0f}), baseline "
              f"{startup_baseline:.0f} ms (fastest {fastest_baseline:.0f}), {args.startup_runs} runs each", flush=True)
        loads.append(load_average())
    finally:
        wine.cleanup()
        shutil.rmtree(state, ignore_errors=True)

    print()
    print(table_line("figure", "measured", "baseline", "ratio", "goal", True)[:-4])
    base_ticks = sum(r.total for r in results["baseline"])
    goals = {"default": 3, "30ms": 6}
    for pace in paces:
        ticks = sum(r.total for r in results[pace])
        ratio = ticks / base_ticks if base_ticks else float("inf")
        goal = goals.get(pace)
        label = "default pace (250 ms)" if pace == "default" else f"{pace[:-2]} ms pace"
        print(table_line(f"idle CPU, {label}", f"{ticks} ticks", f"{base_ticks} ticks", f"{ratio:.2f}x",
                         f"<= {goal}x" if goal else "-", goal is None or ratio <= goal))

    quillet_mb = statistics.median(r.private_mb for p in paces for r in results[p])
    base_mb = statistics.median(r.private_mb for r in results["baseline"])
    print(table_line("private memory", f"{quillet_mb:.2f} MB", f"{base_mb:.2f} MB", f"{quillet_mb / base_mb:.2f}x",
                     f"<= baseline + 4 MB", quillet_mb <= base_mb + 4))

    ratio = startup_quillet / startup_baseline
    print(table_line("start-up to window shown", f"{startup_quillet:.0f} ms", f"{startup_baseline:.0f} ms",
                     f"{ratio:.2f}x", "<= 1.5x", ratio <= 1.5))

    size = os.path.getsize(args.shipped)
    limit = 1 << 20
    print(table_line("Quillet.exe size (i686)", f"{size:,} B", f"{limit:,} B", f"{size / limit:.2f}x", "<= 1 MB",
                     size <= limit))
    print(f"(CPU in clock ticks of 1/{TICKS_PER_SECOND} s: the program's own plus the Wine server's and the "
          f"desktop explorer's over {args.seconds:g} s x {args.rounds}; start-up the median of {args.startup_runs})")
    cores = os.cpu_count() or 1
    if max(loads) > cores:
        print(f"note: the machine was busy (load average up to {max(loads):.1f} on {cores} cores): every figure is "
              f"inflated, the start-up time (waits for the Wine server) most; measure again when it is quiet")


if __name__ == "__main__":
    main()
