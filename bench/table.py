"""Prints bench/run.sh's table from the results its benchmarks left in a folder.

  table.py WORK LOGS

WORK holds each benchmark's output: the rows the scripts print (bench/rows.sh: "ROW" lines in
transfer.txt and window.txt), Google Benchmark's JSON (mergefiles.json, output.json,
startup.json) and the text of the others (mergefiles.txt, widefile.txt); "failed" names the
benchmarks that failed. Each row: operation, ours, peer, ours / peer, goal, verdict ("meets",
"short", "void" when a side failed, "not known" beside a peer stopped at its time bound, "n/a"
when not measured, "-" without a goal); the void rows, the unmeasured ones and the rows that fall
short are listed at the end.
"""
import json
import os
import re
import sys

work, logs = sys.argv[1], sys.argv[2]


def load(name):
    try:
        with open(os.path.join(work, name)) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def text(name):
    try:
        with open(os.path.join(work, name)) as f:
            return f.read()
    except OSError:
        return ""


def named(b, name):
    # A fixed iteration count shows in the name: "BM_ExportXlsx/iterations:3".
    return any(b.get(k) == name or str(b.get(k, "")).startswith(name + "/iterations:")
               for k in ("name", "run_name"))


def ms(data, name):
    """Real time of one benchmark in milliseconds; a void with the reason when it failed."""
    if not data:
        return None
    for b in data.get("benchmarks", []):
        if b.get("run_type", "iteration") == "iteration" and named(b, name):
            if b.get("error_occurred"):
                return "void: " + str(b.get("error_message", "failed"))
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            return b["real_time"] * scale
    return None


def counter(data, name, key):
    if not data:
        return None
    for b in data.get("benchmarks", []):
        if named(b, name) and key in b:
            return b[key]
    return None


def number(field):
    """A ROW field: a float, None ("-"), a void text, or (">", lower bound)."""
    if field in ("-", ""):
        return None
    if field.startswith("void"):
        return field
    if field.startswith(">"):
        return (">", float(field[1:]))
    try:
        return float(field)
    except ValueError:
        return "void: " + field


rows = []  # (operation, ours, peer, unit, goal)


def add(label, ours, peer, unit, goal="none"):
    rows.append((label, ours, peer, unit, goal))


# The scripts' rows, in their order.
for name in ("transfer.txt", "window.txt"):
    for line in text(name).splitlines():
        if line.startswith("ROW\t"):
            _, label, ours, peer, unit, goal = (line.split("\t") + [""] * 6)[:6]
            add(label, number(ours), number(peer), unit, goal or "none")

# Record loading beside the bare parse, both in-process.
mf = load("mergefiles.json")
for sample in ("32767x26", "1000000x10"):
    add(f"load records {sample}, in-process vs the bare parse of the same file in-process",
        ms(mf, "load_records/" + sample), ms(mf, "bare_parse/" + sample), "ms", "ratio<=2.00")
for line in text("mergefiles.txt").splitlines():
    # "<sample> ... <peak MB> <peak/file>x": the last two columns of the summary table.
    cols = line.split()
    if cols and cols[0] == "1000000x10" and cols[-1].endswith("x"):
        try:
            peak, per_file = float(cols[-2]), float(cols[-1][:-1])
        except ValueError:
            continue
        peak = peak if peak >= 0 else "void: the load did not load every record"
        add("peak memory added: load 1,000,000 records, in-process (vs the file's size)", peak,
            peak / per_file if isinstance(peak, float) and per_file else None, "MiB", "ratio<3.00")

# Exports from rows in memory, in-process.
out = load("output.json")
add("export 32,767 x 26 to .xlsx, in-process from rows in memory (no in-process peer)",
    ms(out, "BM_ExportXlsx"), None, "ms")
add("export 32,767 x 26 to HTML, in-process vs one buffered write of the same page",
    ms(out, "BM_ExportHtml"), ms(out, "BM_HtmlFloor"), "ms", "ratio<=2.00")

# The wide merge file from the click in the shown window, beside the bare read and split of the
# same file in the same process.
wide = {}
for line in text("widefile.txt").splitlines():
    m = re.match(r"^(\w+_ms) ([\d.]+)$", line)
    if m:
        wide[m.group(1)] = float(m.group(2))
for key, step in (("select_ms", "select, details + preview"), ("html_ms", "export to HTML"),
                  ("xlsx_ms", "export to .xlsx, refused")):
    add(f"wide 20 x 20,000 {step}, shown window from the click vs read+split in the same process",
        wide.get(key), wide.get("peer_ms"), "ms")

# Start-up, in-process.
st = load("startup.json")
add("start-up to the main window shown, offscreen, in-process (no peer)",
    ms(st, "BM_StartToMainWindow"), None, "ms")
add("peak memory: start-up, whole process (no peer)",
    counter(st, "BM_StartToMainWindow", "peak_MiB"), None, "MiB")


def fmt(v, unit):
    if v is None:
        return "-"
    if isinstance(v, str):
        return "void"
    if isinstance(v, tuple):
        return ">" + fmt(v[1], unit)
    return f"{v:.1f} {unit}" if v < 100 else f"{v:.0f} {unit}"


def goal_text(goal, unit):
    """ "ratio<=0.20;value<=2000" as "<=0.20x, <=2000 ms"."""
    if goal == "none":
        return "-"
    parts = []
    for part in goal.split(";"):
        m = re.fullmatch(r"(ratio|value)(<=|<)([\d.]+)", part)
        if m:
            parts.append(m.group(2) + m.group(3) + ("x" if m.group(1) == "ratio" else " " + unit))
    return ", ".join(parts)


def verdict(ours, peer, unit, goal):
    """("meets" | "short" | "void" | "not known" | "-", ratio text, reason of a void)"""
    void = next((v for v in (ours, peer) if isinstance(v, str)), None)
    ratio, bound = None, False
    if isinstance(ours, float) and isinstance(peer, float) and peer:
        ratio = ours / peer
    elif isinstance(ours, float) and isinstance(peer, tuple) and peer[1]:
        ratio, bound = ours / peer[1], True  # the peer took longer: the ratio is smaller
    ratio_text = "-" if ratio is None else (f"<{ratio:.4f}" if bound else f"{ratio:.2f}")
    if void:
        return "void", "-", void
    if ours is None and peer is None:
        return ("n/a" if goal != "none" else "-"), ratio_text, None
    if goal == "none":
        return "-", ratio_text, None
    outcomes = set()
    for part in goal.split(";"):
        m = re.fullmatch(r"(ratio|value)(<=|<)([\d.]+)", part)
        if not m:
            continue
        kind, op, limit = m.group(1), m.group(2), float(m.group(3))
        value = ratio if kind == "ratio" else ours
        if value is None:
            outcomes.add("n/a")
        elif value <= limit if op == "<=" else value < limit:
            outcomes.add("meets")
        else:  # beside a peer stopped early the true ratio is smaller: it may still meet
            outcomes.add("not known" if kind == "ratio" and bound else "short")
    for worst in ("short", "n/a", "not known", "meets"):
        if worst in outcomes:
            return worst, ratio_text, None
    return "-", ratio_text, None


table = []
for label, ours, peer, unit, goal in rows:
    v, ratio_text, reason = verdict(ours, peer, unit, goal)
    table.append((label, fmt(ours, unit), fmt(peer, unit), ratio_text, goal_text(goal, unit), v, reason))

width = max(len(r[0]) for r in table)
print(f"{'operation':<{width}}  {'ours':>10}  {'peer':>10}  {'ours/peer':>9}  {'goal':>12}  verdict")
print("-" * (width + 62))
for label, ours, peer, ratio, goal, v, _ in table:
    print(f"{label:<{width}}  {ours:>10}  {peer:>10}  {ratio:>9}  {goal:>12}  {v}")

voided = [(r[0], r[6]) for r in table if r[5] == "void"]
if voided:
    print("\nvoid (a side failed, its time not counted):")
    for label, reason in voided:
        print(f"  {label}: {reason.removeprefix('void: ')}")
unmeasured = [r[0] for r in table if r[5] == "n/a"]
if unmeasured:
    print("\nnot measured (the benchmark was not run or failed):")
    for label in unmeasured:
        print(f"  {label}")
short = [r for r in table if r[5] in ("short", "not known")]
print("\nrows that fall short of their goal:" if short else "\nno row falls short of its goal.")
for label, ours, peer, ratio, goal, v, _ in short:
    print(f"  {label}: {ours} (ratio {ratio}), goal {goal}{'' if v == 'short' else ' (' + v + ')'}")
failed = text("failed").split()
if failed:
    print(f"\nnot run or failed: {', '.join(failed)} (logs in {logs})")
print("\nFigures are wall-clock times on a shared machine: they move between runs.")
