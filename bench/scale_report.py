#!/usr/bin/env python3
"""Turns the measurements of bench/scale into its Markdown table."""
import re
import statistics
import sys

work, runs, width, size, cores = sys.argv[1:6]


def read(name):
    try:
        return open(f"{work}/{name}").read()
    except OSError:
        return ""


def load(name):
    match = re.search(r"load average: ([0-9.]+)", read(name))
    return match.group(1) if match else "?"


rows = {}
for line in read("times.txt").split("\n"):
    fields = line.split()
    if len(fields) == 5:
        count = int(fields[0])
        wall, user, system = map(float, fields[1:4])
        rows.setdefault(count, []).append((wall, user + system, int(fields[4]) / 1024))
pages = {}
for line in read("pages.txt").split("\n"):
    if line.split():
        count, n = map(int, line.split())
        pages[count] = n
photos = [line.split() for line in read("photos.txt").split("\n") if line.split()]
megapixels = statistics.mean(int(w) * int(h) / 1e6 for w, h, _ in photos)
kilobytes = statistics.mean(int(b) / 1000 for _, _, b in photos)

lines = [
    f"{len(photos)} mate-backgrounds photos scaled to {width} px wide (mean {megapixels:.2f} "
    f"megapixels, {kilobytes:.0f} KB), linked under distinct names; template 1, thumbnail size "
    f"{size}, one worker per core, {cores} cores; median of {runs} runs; load average "
    f"{load('load-before.txt')} before, {load('load-after.txt')} after.",
    "",
    "| Pictures | Pages | Wall (s) | CPU (s) | Wall per 1,000 pictures (s) | Peak RSS (MiB) |",
    "|---:|---:|---:|---:|---:|---:|",
]
summary = {}
for count in sorted(rows):
    wall = statistics.median(r[0] for r in rows[count])
    cpu = statistics.median(r[1] for r in rows[count])
    rss = max(r[2] for r in rows[count])
    summary[count] = (wall, cpu, rss)
    lines.append(f"| {count:,} | {pages.get(count, 0):,} | {wall:.1f} | {cpu:.1f} | "
                 f"{wall / count * 1000:.2f} | {rss:.1f} |")
if len(summary) >= 2:
    small, large = min(summary), max(summary)
    ratio = large / small
    wall_ratio = summary[large][0] / summary[small][0]
    cpu_ratio = summary[large][1] / summary[small][1]
    rss_ratio = summary[large][2] / summary[small][2]
    lines += [
        "",
        f"{large:,} against {small:,} pictures ({ratio:.0f}x as many): wall time {wall_ratio:.2f}x, "
        f"CPU time {cpu_ratio:.2f}x (linear would be {ratio:.2f}x); peak RSS {rss_ratio:.2f}x "
        f"({summary[small][2]:.1f} and {summary[large][2]:.1f} MiB, "
        f"{(summary[large][2] - summary[small][2]) * 1024 / (large - small):.2f} KiB more per picture).",
    ]
text = "\n".join(lines) + "\n"
open(f"{work}/../scale.md", "w").write(text)
print()
print(text)
