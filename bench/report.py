#!/usr/bin/env python3
"""Turns the measurements of bench/run into its Markdown table and target list."""
import json
import re
import sys

(work, runs, same_workers, same_reference, build_rss, build_time, build_note,
 big_bytes, count, cores) = sys.argv[1:11]
labels = sys.argv[11:]
names = ["pixelnook", "pixelnook1", "reference", "floor1", "floorN", "magick", "vips"]
numbers = ["1", "2", "3", "4", "4", "5", "5"]


def read(name):
    try:
        return open(f"{work}/{name}").read().strip()
    except OSError:
        return ""


def load(name):
    match = re.search(r"load average: ([0-9.]+)", read(name))
    return match.group(1) if match else "?"


megapixels = sum(int(line.split()[0]) * int(line.split()[1]) / 1e6
                 for line in open(f"{work}/dims.txt"))
corpus_mb = int(read("corpus-bytes.txt") or 0) / 1e6
median, cpu, rss = {}, {}, {}
for n in names:
    result = json.load(open(f"{work}/{n}.json"))["results"][0]
    median[n] = result["median"]
    cpu[n] = result["user"] + result["system"]  # mean CPU seconds per run
    rss[n] = int(read(f"{n}.rss").split()[-1]) / 1024
base = median["pixelnook"]

lines = [
    f"Corpus: {count} pictures, {megapixels:.0f} megapixels, {corpus_mb:.0f} MB; "
    f"{cores} cores; median of {runs} runs; load average {load('load-before.txt')} before, "
    f"{load('load-after.txt')} after.",
    "",
    "| # | Line | Median (s) | MP/s | CPU (s) | Peak RSS (MiB) | Time vs Pixelnook |",
    "|---|---|---:|---:|---:|---:|---:|",
]
for num, n, label in zip(numbers, names, labels):
    lines.append(f"| {num} | {label} | {median[n]:.2f} | {megapixels / median[n]:.0f} | "
                 f"{cpu[n]:.2f} | {rss[n]:.0f} | {median[n] / base:.2f}x |")
big_rss = int(read("big.rss").split()[-1]) / 1024
big_ref_rss = int(read("big-reference.rss").split()[-1]) / 1024
lines += [
    "",
    "CPU is user + system time of one run (mean): on a machine shared with other work it",
    "shows what each line costs when the wall clock cannot.",
    "",
    f"Output identical, all cores vs 1 worker: {same_workers}; vs the plain reference: {same_reference}.",
]
if build_rss:
    lines.append(f"Whole `pixelnook-build` of the corpus (2 workers): peak RSS "
                 f"{int(build_rss) / 1024:.0f} MiB, {build_time} wall clock.")
else:
    lines.append(f"Whole `pixelnook-build` of the corpus: not measured ({build_note}).")
lines.append(f"12000 x 12000 baseline picture ({int(big_bytes) / 1e6:.1f} MB): peak RSS {big_rss:.0f} MiB "
             f"(plain reference: {big_ref_rss:.0f} MiB).")


def check(ok, text):
    return f"- {'met' if ok else 'MISSED'}: {text}"


build_mib = int(build_rss) / 1024 if build_rss else None
lines += [
    "",
    "Targets (wall clock):",
    check(median["reference"] / base >= 2.3,
          f"at least 2.3x faster than the plain reference ({median['reference'] / base:.2f}x)"),
    check(base / median["floorN"] <= 1.15,
          f"within 1.15x of the all-cores floor ({base / median['floorN']:.2f}x)"),
    check(median["magick"] / base >= 4,
          f"at least 4x faster than ImageMagick -sample ({median['magick'] / base:.2f}x)"),
    check(median["vips"] / base >= 2,
          f"at least 2x faster than vipsthumbnail ({median['vips'] / base:.2f}x)"),
    check(build_mib is not None and build_mib <= 160,
          "whole-build peak RSS at most 160 MiB" +
          (f" ({build_mib:.0f} MiB)" if build_mib is not None else " (not measured)")),
    check(big_rss < 64, f"12000 x 12000 picture under 64 MiB ({big_rss:.0f} MiB)"),
    check(same_workers == "yes" and same_reference == "yes", "byte-identical output"),
]
text = "\n".join(lines) + "\n"
open(f"{work}/results.md", "w").write(text)
print()
print(text)
