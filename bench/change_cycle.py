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
from pathlib import Path

from older_and_current import older_and_current, take_turns, wine_session

from builds import BUILDS  # noqa: E402  (the tests' modules, on the path from here on)
from change_cycle_runs import ChangeCycle, photo_sets, watch_changes  # noqa: E402
from conftest import TestFolder  # noqa: E402

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
    programs, rounds = older_and_current(__doc__, 2)
    with wine_session() as (prefix, _screen):
        folder = TestFolder(prefix, BUILDS["win64"], "change_cycle")
        for pictures, paths in photo_sets(folder.path).items():
            def measure(_label: str, program: Path, paths: list[Path] = paths) -> ChangeCycle:
                try:
                    return watch_changes(folder, program, paths, WATCH_MS)
                finally:
                    folder.kill_all()

            runs = take_turns(programs, rounds, measure)
            print(f"three photos of {pictures}, {rounds} rounds:", flush=True)
            for label, done in runs.items():
                if done:
                    print(summary(label, done), flush=True)
                    for run in done:
                        print(f"    {label} waits of {STALL_MS} ms or more (ms into the run, ms): "
                              f"{[(round(at), round(w)) for at, w in run.waits if w >= STALL_MS]}; "
                              f"photos came at {[round(at) for at, _ in run.shown]}", flush=True)


if __name__ == "__main__":
    main()
