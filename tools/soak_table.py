#!/usr/bin/env python3
"""The soak's table and verdict (tools/soak.sh).

The samples file holds one line per sample, "key=value" fields separated by spaces, each
with "minute=N" and "who=NAME":
  who=Plumora.exe / who=camera-viewer.exe: process-stats' figures (a figure this system
      does not report reads "unavailable") and the host's figures of the same process:
      rss_kb (resident memory), tasks (threads in /proc/PID/task), fds (open descriptors);
  who=watch: what plumora-probe's watch saw in the minute;
  who=client: the client's connections in the minute and the frames they took.

  soak_table.py SAMPLES row MINUTE      prints the table's row for MINUTE (with the header
                                        before the first row)
  soak_table.py SAMPLES verdict PERCENT prints each figure's growth from minute 2 to the
                                        last minute and a verdict line; exit code 1 when a
                                        figure grew by more than PERCENT
"""
import statistics
import sys

# The figures that must not grow, in table order: (field, column title, divisor).
FIGURES = [
    ("handles", "handles", 1),
    ("gdi", "gdi", 1),
    ("user", "user", 1),
    ("private_bytes", "priv_MB", 1 << 20),
    ("threads", "threads", 1),
    ("handle_table", "htable", 1),
    ("listed_handles", "hlist", 1),
    ("pagefile_bytes", "pgf_MB", 1 << 20),
    ("rss_kb", "rss_MB", 1 << 10),
    ("tasks", "tasks", 1),
    ("fds", "fds", 1),
]
# The processes and their short names: P for Plumora, C for the client.
PROCESSES = [("Plumora.exe", "P"), ("camera-viewer.exe", "C")]
# What happened in a minute besides the figures: (who, field, column title).
EVENTS = [
    ("watch", "entries_started", "files"),
    ("watch", "slowest_answer_ms", "slow_ms"),
    ("watch", "failed_starts", "failed"),
    ("client", "connections", "conn"),
    ("client", "frames", "frames"),
]
BASE_MINUTE = 2


def read_samples(path):
    samples = []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            fields = dict(part.split("=", 1) for part in line.split() if "=" in part)
            if "minute" in fields and "who" in fields:
                fields["minute"] = int(fields["minute"])
                samples.append(fields)
    return samples


def number(text):
    try:
        return float(text)
    except (TypeError, ValueError):
        return None


def reported(samples, who, field):
    """Whether this system reported the figure for the process at all."""
    return any(s["who"] == who and number(s.get(field)) is not None for s in samples)


def median(samples, minute, who, field):
    """The figure's median over the minute's samples, or None."""
    values = [number(s.get(field)) for s in samples if s["minute"] == minute and s["who"] == who]
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def columns(samples):
    """The table's columns: (who, field, title, divisor), the unreported figures left out."""
    result = []
    for who, name in PROCESSES:
        for field, title, divisor in FIGURES:
            if reported(samples, who, field):
                result.append((who, field, f"{name}.{title}", divisor))
    for who, field, title in EVENTS:
        result.append((who, field, title, 1))
    return result


def cell(value, divisor):
    if value is None:
        return "-"
    if divisor == 1:
        return f"{value:g}"
    return f"{value / divisor:.1f}"


def print_row(samples, minute):
    table = columns(samples)
    widths = [max(len(title), 5) for _, _, title, _ in table]
    if minute == 1:
        unreported = [f"{name}.{title}" for who, name in PROCESSES for field, title, _ in FIGURES
                      if not reported(samples, who, field)]
        if unreported:
            print("not reported by this system (see process-stats' check): " +
                  " ".join(unreported))
        print("P: Plumora, C: the client; htable: the handle table's size, hlist: the handles "
              "in the system's list; rss, tasks and fds are the host's figures")
        print("min  " + " ".join(t.rjust(w) for (_, _, t, _), w in zip(table, widths)))
    values = [cell(median(samples, minute, who, field), divisor)
              for who, field, _, divisor in table]
    print(f"{minute:>3}  " + " ".join(v.rjust(w) for v, w in zip(values, widths)))


def verdict(samples, bound_percent):
    last = max(s["minute"] for s in samples)
    if last <= BASE_MINUTE:
        print(f"verdict: FAIL: {last} minutes are too few; growth counts from minute {BASE_MINUTE}")
        return 1
    broken = []
    for who, name in PROCESSES:
        for field, title, divisor in FIGURES:
            if not reported(samples, who, field):
                continue
            base = median(samples, BASE_MINUTE, who, field)
            end = median(samples, last, who, field)
            if base is None or end is None:
                broken.append(f"{name}.{title} (no figure)")
                continue
            growth = (end - base) / base * 100 if base else (0.0 if end == base else 100.0)
            within = growth <= bound_percent
            print(f"{name}.{title}: {cell(base, divisor)} at minute {BASE_MINUTE}, "
                  f"{cell(end, divisor)} at minute {last}: {growth:+.1f}% "
                  f"{'ok' if within else 'ABOVE THE BOUND'}")
            if not within:
                broken.append(f"{name}.{title} {growth:+.1f}%")
    if broken:
        print(f"verdict: FAIL: grew by more than {bound_percent:g}% from minute {BASE_MINUTE} "
              f"to minute {last}: " + ", ".join(broken))
        return 1
    print(f"verdict: ok: no figure grew by more than {bound_percent:g}% from minute "
          f"{BASE_MINUTE} to minute {last}")
    return 0


def main(argv):
    if len(argv) != 4 or argv[2] not in ("row", "verdict"):
        sys.exit(__doc__)
    samples = read_samples(argv[1])
    if argv[2] == "row":
        print_row(samples, int(argv[3]))
        return 0
    return verdict(samples, float(argv[3]))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
