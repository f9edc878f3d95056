#!/usr/bin/python3
"""How often the saver changes pictures under Wine, how long its window's
thread keeps a message waiting meanwhile, and its peak memory, for an older
vistrel.scr and for the current win64 build, in one run.

    /usr/bin/python3 bench/change_cycle.py <older vistrel.scr> [rounds]   (default 2)

Each run is the one of the end-to-end tests (tests/e2e/change_cycle_runs.py):
the saver shows three photos, a change every second, each at once
("Standard", so no moment of the run is inside a transition), first at
600 x 400 and then the same photos at 6000 x 4000 (24 megapixels). For 12 s
screen_watch.exe notes to the millisecond when each photo comes on the
screen's middle pixel, and answer_times.exe sends the saver window a message
every 10 ms and notes how long each took to be answered: the longest is the
longest time the user-interface thread went without looking at its
messages. The programs take turns, round by round. Per program and photos:
the time between changes (mean, and the slowest), the slowest answer and
how many took 50 ms or more, and the peak resident memory (VmHWM).

The older program is best built from an export of its commit:

    mkdir /tmp/vistrel-before && git archive <commit> | tar -x -C /tmp/vistrel-before
    (cd /tmp/vistrel-before && cmake --preset win64 && cmake --build --preset win64 --target vistrel)

The current win64 build (scripts/build.sh win64) gives the helper programs.
"""
from __future__ import annotations

import statistics
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from builds import BUILDS  # noqa: E402
from change_cycle_runs import ChangeCycle, photo_sets, watch_changes  # noqa: E402
from conftest import TestFolder  # noqa: E402
from harness import WaitTimeout, WinePrefix, XServer  # noqa: E402
from paths import PREFIX_DIR  # noqa: E402

WATCH_MS = 12000
STALL_MS = 50


def summary(label: str, runs: list[ChangeCycle]) -> str:
    cycles = [c for run in runs for c in run.cycles]
    waits = [w for run in runs for _, w in run.waits]
    return (f"  {label:<6} a change every {statistics.mean(cycles):6.0f} ms (slowest {max(cycles):5.0f}, "
            f"{len(cycles)} changes); slowest answer {max(r.longest_wait for r in runs):6.1f} ms, "
            f"{sum(w >= STALL_MS for w in waits)} answers of {STALL_MS} ms or more; "
            f"peak memory {max(r.peak_mb for r in runs):5.1f} MB")


def main() -> None:
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    programs = {"before": Path(sys.argv[1]).resolve(), "after": BUILDS["win64"].file("vistrel.scr")}
    rounds = int(sys.argv[2]) if len(sys.argv) == 3 else 2
    for label, program in programs.items():
        if not program.exists():
            sys.exit(f"{label}: {program} is not built")

    server = XServer()
    prefix = WinePrefix(PREFIX_DIR, server.display)
    prefix.ensure_created(with_32_bit=False)
    prefix.start_server()
    try:
        folder = TestFolder(prefix, BUILDS["win64"], "change_cycle")
        sets = photo_sets(folder.path)
        for pictures, paths in sets.items():
            runs: dict[str, list[ChangeCycle]] = {label: [] for label in programs}
            for round_number in range(rounds):
                for label, program in programs.items():
                    try:
                        runs[label].append(watch_changes(folder, program, paths, WATCH_MS))
                    except (AssertionError, RuntimeError, WaitTimeout) as error:
                        print(f"  {label}: round {round_number + 1} failed: {error}", flush=True)
                    finally:
                        folder.kill_all()
            print(f"three photos of {pictures}, {rounds} rounds:", flush=True)
            for label, done in runs.items():
                if done:
                    print(summary(label, done), flush=True)
                    for run in done:
                        print(f"    {label} waits of {STALL_MS} ms or more (ms into the run, ms): "
                              f"{[(round(at), round(w)) for at, w in run.waits if w >= STALL_MS]}; "
                              f"photos came at {[round(at) for at, _ in run.shown]}", flush=True)
    finally:
        prefix.stop_server()
        server.stop()


if __name__ == "__main__":
    main()
