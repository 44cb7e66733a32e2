#!/usr/bin/python3
"""The log viewer's loader against awk on the same generated proxy log, in the same run.

For each size: generate the log, read it once so that both programs find it in the page cache, then
alternate awk -F'\\t' '{n+=NF} END{print n}' and the loader for a few rounds, each in its own process
started by the small `measure` program, and take the medians of wall time, CPU time and peak memory
(ru_maxrss). The targets, set for a log of a gigabyte: load time within 1.5x of awk's, peak memory
under 1.5x the file size; smaller logs are shown for comparison. The logs are deleted at the end. Exit
status 1 when a target is missed.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys

AWK_PROGRAM = "{n+=NF} END{print n}"
TIME_TARGET = 1.5
MEMORY_TARGET = 1.5
MB = 1 << 20
TARGET_SIZE = 1 << 30  # the targets are for a log of this size and up


def parse_size(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30}
    if text[-1].upper() in units:
        return int(text[:-1]) * units[text[-1].upper()]
    return int(text)


def fields(text):
    return {key: value for key, value in re.findall(r"(\w+)=(\S+)", text)}


def measured(measure, command):
    """Runs the command under `measure`; returns its figures and its standard output."""
    done = subprocess.run([measure] + command, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    if done.returncode != 0:
        raise RuntimeError(f"{command} ended with status {done.returncode}: {done.stderr.strip()}")
    line = [l for l in done.stderr.splitlines() if l.startswith("measure: ")][-1]
    figures = {key: float(value) for key, value in fields(line).items()}
    figures["cpu"] = figures["user"] + figures["sys"]
    figures["peak"] = figures["maxrss_kb"] * 1024
    return figures, done.stdout


def awk_identity():
    awk = shutil.which("awk")
    real = os.path.realpath(awk)
    for args in ([awk, "-W", "version"], [awk, "--version"]):
        try:
            out = subprocess.run(args, capture_output=True, text=True, timeout=10, stdin=subprocess.DEVNULL)
        except (OSError, subprocess.TimeoutExpired):
            continue
        first = (out.stdout or out.stderr).strip().splitlines()
        if out.returncode == 0 and first:
            return f"{awk} -> {real} ({first[0].strip()})"
    return f"{awk} -> {real}"


def median(runs, key):
    return statistics.median(r[key] for r in runs)


def bench_size(args, size_text):
    size = parse_size(size_text)
    path = os.path.join(args.workdir, f"viewer_bench_{size_text}.log")
    try:
        subprocess.run([args.generator, path, str(size)], check=True)
        file_size = os.path.getsize(path)
        with open(path, "rb") as warm:
            while warm.read(1 << 24):
                pass

        awk_runs, load_runs = [], []
        awk_fields = None
        for _ in range(args.rounds):
            figures, out = measured(args.measure, ["awk", "-F\t", AWK_PROGRAM, path])
            awk_fields = int(out.strip())
            awk_runs.append(figures)
            figures, out = measured(args.measure, [args.loader, path])
            figures.update({k: float(v) for k, v in fields(out).items()})
            load_runs.append(figures)
        phases = {k: float(v) for k, v in fields(measured(args.measure, [args.loader, "--phases", path])[1]).items()}

        time_ratio = median(load_runs, "wall") / median(awk_runs, "wall")
        cpu_ratio = median(load_runs, "cpu") / median(awk_runs, "cpu")
        memory_ratio = median(load_runs, "peak") / file_size
        last = load_runs[-1]
        print(f"--- {size_text}: {file_size / MB:.1f} MB, {int(last['lines'])} lines, {awk_fields} fields (awk), "
              f"grid {int(last['rows'])} rows x {int(last['cols'])} columns, {file_size / last['lines']:.0f} bytes a line")
        for name, runs in (("awk", awk_runs), ("loader", load_runs)):
            print(f"{name:7} wall {median(runs, 'wall'):7.3f} s   cpu {median(runs, 'cpu'):7.3f} s "
                  f"(user {median(runs, 'user'):.3f}, sys {median(runs, 'sys'):.3f})   "
                  f"peak {median(runs, 'peak') / MB:8.1f} MB   walls {[round(r['wall'], 3) for r in runs]}")
        print(f"loader  inside ToSG, wall (cpu): {median(load_runs, 'load'):.3f} ({median(load_runs, 'load_cpu'):.3f}) s"
              f" = read, NUL cut, line count {median(load_runs, 'read_and_count'):.3f}"
              f" ({median(load_runs, 'read_and_count_cpu'):.3f})"
              f" + cells {median(load_runs, 'cells'):.3f} ({median(load_runs, 'cells_cpu'):.3f})"
              f" + ColCount/FixedRows/AutoSize {median(load_runs, 'fit'):.3f} ({median(load_runs, 'fit_cpu'):.3f});"
              f" gauge moved {int(last['gauge_moves'])} times")
        print(f"loader  apart, wall (cpu): read whole file {phases['read']:.3f} ({phases['read_cpu']:.3f}) s,"
              f" count lines {phases['count']:.3f} ({phases['count_cpu']:.3f}) s")
        checked = size >= TARGET_SIZE
        time_ok = time_ratio <= TIME_TARGET or not checked
        memory_ok = memory_ratio < MEMORY_TARGET or not checked

        def verdict(ok):
            return ("ok" if ok else "MISSED") if checked else "(the targets are for 1 GB)"

        print(f"ratios  time {time_ratio:.2f}x awk (target <= {TIME_TARGET}x) {verdict(time_ok)} [cpu {cpu_ratio:.2f}x];"
              f" memory {memory_ratio:.2f}x file (target < {MEMORY_TARGET}x) {verdict(memory_ok)}")
        return time_ok and memory_ok
    finally:
        if os.path.exists(path):
            os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--generator", required=True)
    parser.add_argument("--loader", required=True)
    parser.add_argument("--measure", required=True)
    parser.add_argument("--workdir", required=True)
    parser.add_argument("--sizes", default=os.environ.get("TARNWELL_BENCH_VIEWER_SIZES", "100M,1G"))
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("TARNWELL_BENCH_VIEWER_ROUNDS", "5")))
    args = parser.parse_args()

    load = os.getloadavg()
    print(f"awk: {awk_identity()}; {os.cpu_count()} cores, load average {load[0]:.2f} at start")
    ok = True
    for size_text in args.sizes.split(","):
        ok = bench_size(args, size_text.strip()) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
