#!/usr/bin/python3
"""The log viewer's loader against mawk on the same generated proxy log, in the same run.

For each size: generate the log, read it once so that both programs find it in the page cache, then
run mawk -F'\\t' '{n+=NF} END{print n}' and the loader for a few rounds, alternated (each round in the
other order than the one before), each in its own process started by the small `measure` program, and
take the medians of wall time, CPU time and peak memory (ru_maxrss). The machine is shared, so the spread
of the rounds' ratios is printed too. Targets, for every size: the load within 0.5x of mawk's wall time,
and peak memory at most the file plus the grid's references (8 bytes a cell and a row), over what the
loader process takes for an empty file. Then the searches over the loaded table, once. The logs are
deleted at the end. Exit status 1 when a target is missed.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys

AWK_PROGRAM = "{n+=NF} END{print n}"
TIME_TARGET = 0.5
STEP_TARGET_MS = 16.0
MB = 1 << 20


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


def mawk_identity(mawk):
    out = subprocess.run([mawk, "-W", "version"], capture_output=True, text=True, stdin=subprocess.DEVNULL)
    first = (out.stdout or out.stderr).strip().splitlines()
    return f"{mawk} ({first[0].strip()})" if first else mawk


def figure(what, value, target="-", met=None):
    """One figure beside its target, in the line `make bench` gathers into its table (bench/common/figure.h)."""
    verdict = "-" if met is None else ("met" if met else "NOT MET")
    print(f"figure: {what} | {value} | {target} | {verdict}", flush=True)


def median(runs, key):
    return statistics.median(r[key] for r in runs)


def spread(values):
    return f"{min(values):.2f}-{max(values):.2f}"


def bench_size(args, mawk, size_text, baseline):
    size = parse_size(size_text)
    path = os.path.join(args.workdir, f"viewer_bench_{size_text}.log")
    try:
        subprocess.run([args.generator, path, str(size)], check=True)
        file_size = os.path.getsize(path)
        with open(path, "rb") as warm:
            while warm.read(1 << 24):
                pass

        mawk_runs, load_runs, ratios = [], [], []
        awk_fields = None
        for round_number in range(args.rounds):
            pair = {}
            order = ("mawk", "loader") if round_number % 2 == 0 else ("loader", "mawk")
            for who in order:
                if who == "mawk":
                    figures, out = measured(args.measure, [mawk, "-F\t", AWK_PROGRAM, path])
                    awk_fields = int(out.strip())
                else:
                    figures, out = measured(args.measure, [args.loader, path])
                    figures.update({k: float(v) for k, v in fields(out).items()})
                pair[who] = figures
            mawk_runs.append(pair["mawk"])
            load_runs.append(pair["loader"])
            ratios.append(pair["loader"]["wall"] / pair["mawk"]["wall"])
        phases = {k: float(v) for k, v in fields(measured(args.measure, [args.loader, "--phases", path])[1]).items()}
        search = {k: float(v) for k, v in fields(measured(args.measure, [args.loader, "--search", path])[1]).items()}

        time_ratio = median(load_runs, "wall") / median(mawk_runs, "wall")
        cpu_ratio = median(load_runs, "cpu") / median(mawk_runs, "cpu")
        last = load_runs[-1]
        references = 8 * (awk_fields + last["lines"])
        allowed = file_size + references + baseline
        peak = median(load_runs, "peak")
        print(f"--- {size_text}: {file_size / MB:.1f} MB, {int(last['lines'])} lines, {awk_fields} fields (mawk), "
              f"grid {int(last['rows'])} rows x {int(last['cols'])} columns, {file_size / last['lines']:.0f} bytes a line; "
              f"the file {'mapped' if phases.get('mapped') else 'read into memory'}")
        for name, runs in (("mawk", mawk_runs), ("loader", load_runs)):
            print(f"{name:7} wall {median(runs, 'wall'):7.3f} s   cpu {median(runs, 'cpu'):7.3f} s "
                  f"(user {median(runs, 'user'):.3f}, sys {median(runs, 'sys'):.3f})   "
                  f"peak {median(runs, 'peak') / MB:8.1f} MB   walls {[round(r['wall'], 3) for r in runs]}")
        print(f"loader  inside ToSG, wall (cpu): {median(load_runs, 'load'):.3f} ({median(load_runs, 'load_cpu'):.3f}) s"
              f" = snapshot and line count {median(load_runs, 'read_and_count'):.3f}"
              f" ({median(load_runs, 'read_and_count_cpu'):.3f})"
              f" + cells {median(load_runs, 'cells'):.3f} ({median(load_runs, 'cells_cpu'):.3f})"
              f" + rows to the grid, ColCount/FixedRows/AutoSize {median(load_runs, 'fit'):.3f}"
              f" ({median(load_runs, 'fit_cpu'):.3f}); gauge moved {int(last['gauge_moves'])} times")
        print(f"loader  apart, wall (cpu): snapshot {phases['read']:.3f} ({phases['read_cpu']:.3f}) s,"
              f" count lines on one thread {phases['count']:.3f} ({phases['count_cpu']:.3f}) s")
        step_ok = search["step_worst_cpu_ms"] < STEP_TARGET_MS
        print(f"search  wall (cpu): a text in no cell {search['absent']:.3f} ({search['absent_cpu']:.3f}) s,"
              f" a text in the last row {search['at_end']:.3f} ({search['at_end_cpu']:.3f}) s,"
              f" one user's rows {search['filter']:.3f} ({search['filter_cpu']:.3f}) s"
              f" ({int(search['filter_rows'])} of {int(search['rows'])} rows);"
              f" a page of {50} rows read through the filter, of 1000 at random places: median"
              f" {search['step_median_ms']:.3f} ms, worst {search['step_worst_ms']:.3f} ms wall,"
              f" {search['step_worst_cpu_ms']:.3f} ms processor (target < {STEP_TARGET_MS:.0f} ms)"
              f" {'ok' if step_ok else 'MISSED'}")
        # The find's own step: the match in the last row selected, scrolled into view and its page read.
        found_step_ok = search["found_step_ok"] and search["found_step_cpu_ms"] < STEP_TARGET_MS
        print(f"find    the painted step after the find in the last row (select, scroll, a page of 50 rows):"
              f" {search['found_step_ms']:.3f} ms wall, {search['found_step_cpu_ms']:.3f} ms processor"
              f" (target < {STEP_TARGET_MS:.0f} ms) {'ok' if found_step_ok else 'MISSED'}")
        step_ok = step_ok and found_step_ok
        if not (search["absent_ok"] and search["at_end_ok"]):
            print("search  WRONG RESULT")
            step_ok = False
        time_ok = time_ratio <= TIME_TARGET
        memory_ok = peak <= allowed
        print(f"ratios  time {time_ratio:.2f}x mawk (target <= {TIME_TARGET}x) {'ok' if time_ok else 'MISSED'};"
              f" rounds {spread(ratios)}x [cpu {cpu_ratio:.2f}x];"
              f" peak {peak / MB:.1f} MB against file {file_size / MB:.1f} + references {references / MB:.1f}"
              f" + process {baseline / MB:.1f} = {allowed / MB:.1f} MB {'ok' if memory_ok else 'MISSED'}")
        what = f"the viewer's load of the {size_text} log"
        figure(f"{what}: wall against mawk", f"{time_ratio:.2f}x ({median(load_runs, 'wall'):.3f} against "
               f"{median(mawk_runs, 'wall'):.3f} s)", f"at most {TIME_TARGET}x", time_ok)
        figure(f"{what}: peak memory", f"{peak / MB:.1f} MB", f"file + references + process ({allowed / MB:.1f} MB)",
               memory_ok)
        figure(f"{what}: a page through the filter, worst", f"{search['step_worst_cpu_ms']:.3f} ms processor",
               f"under {STEP_TARGET_MS:.0f} ms", step_ok)
        return time_ok and memory_ok and step_ok
    finally:
        if os.path.exists(path):
            os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--generator", required=True)
    parser.add_argument("--loader", required=True)
    parser.add_argument("--measure", required=True)
    parser.add_argument("--workdir", required=True)
    parser.add_argument("--sizes", default=os.environ.get("TARNWELL_BENCH_VIEWER_SIZES", "200M,1G"))
    parser.add_argument("--rounds", type=int, default=int(os.environ.get("TARNWELL_BENCH_VIEWER_ROUNDS", "7")))
    args = parser.parse_args()

    mawk = shutil.which("mawk")
    if mawk is None:
        print("mawk is missing (scripts/install-deps installs it)")
        return 1
    empty = os.path.join(args.workdir, "viewer_bench_empty.log")
    open(empty, "wb").close()
    baseline = measured(args.measure, [args.loader, empty])[0]["peak"]
    os.remove(empty)

    load = os.getloadavg()
    print(f"mawk: {mawk_identity(mawk)}; {os.cpu_count()} cores, load average {load[0]:.2f} at start")
    ok = True
    for size_text in args.sizes.split(","):
        ok = bench_size(args, mawk, size_text.strip(), baseline) and ok
    print(f"load average {os.getloadavg()[0]:.2f} at the end")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
