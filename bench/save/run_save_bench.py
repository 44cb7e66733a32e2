#!/usr/bin/python3
"""The viewer's saves of generated proxy logs (the loader benchmark's generator): for each size, the log is
written and read once into the page cache, then saved as the HTML page and as the Excel workbook, each in a
process of its own (bench_save), and the files are deleted again.

Sizes from TARNWELL_BENCH_SAVE_SIZES (default 200M,1G).
"""

import argparse
import os
import shutil
import subprocess
import sys

parser = argparse.ArgumentParser()
parser.add_argument("--generator", required=True)
parser.add_argument("--save", required=True)
parser.add_argument("--workdir", required=True)
args = parser.parse_args()

sizes = os.environ.get("TARNWELL_BENCH_SAVE_SIZES", "200M,1G").split(",")
folder = os.path.join(args.workdir, "save_bench")
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
try:
    for size in sizes:
        log = os.path.join(folder, "proxy.log")
        subprocess.run([args.generator, log, size], check=True, stdout=subprocess.DEVNULL)
        with open(log, "rb") as f:
            while f.read(1 << 24):
                pass
        for kind in ("html", "xls"):
            out = os.path.join(folder, "out")
            os.makedirs(out)
            result = subprocess.run([args.save, log, kind, out, "%s log" % size], capture_output=True, text=True)
            sys.stdout.write(result.stdout)
            sys.stderr.write(result.stderr)
            sys.stdout.flush()
            shutil.rmtree(out)
            if result.returncode != 0:
                sys.exit("bench_save ended with status %d" % result.returncode)
        os.remove(log)
finally:
    shutil.rmtree(folder, ignore_errors=True)
