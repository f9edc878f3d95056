#!/usr/bin/python3
"""How quickly the keyboard guard of a protected run answers under Wine, for
an older vistrel.scr and for the current win64 build, in one run.

    /usr/bin/python3 bench/guard_answer.py <older vistrel.scr> [rounds]   (default 2)

Each run is the one of the end-to-end tests (tests/e2e/key_guard_runs.py):
windows_key_probe.exe installs a low-level keyboard hook of its own, then a
protected saver starts with 24-megapixel photos, or with a 49-megapixel PNG
and a small BMP, changing every second through random transitions, and the
probe presses the Windows key every 100 ms for 8 s. Under Wine a SendInput
call returns only once the saver's hook has answered (Wine waits up to 2 s;
Windows at most 1 s, and then removes the hook), so the call's time is the
guard's answer. The password then ends the run. The two programs take turns,
round by round. Per program and pictures: the slowest and the median answer
over all rounds, how many took longer than 150 ms, how many presses got
past the guard, and the saver window's
own slowest answer meanwhile (how long its thread was busy).

The older program is best built in a worktree of its commit:

    git worktree add /tmp/vistrel-before <commit>
    (cd /tmp/vistrel-before && cmake --preset win64 && cmake --build --preset win64)

The current win64 build (scripts/build.sh win64) gives the helper programs.
"""
from __future__ import annotations

import statistics
from pathlib import Path

from older_and_current import older_and_current, take_turns, wine_session

from builds import BUILDS  # noqa: E402  (the tests' modules, on the path from here on)
from conftest import TestFolder  # noqa: E402
from harness import Screen, WinePrefix  # noqa: E402
from key_guard_runs import PICTURES, GuardAnswers, end_with_password, press_during_protected_run  # noqa: E402

SLOW_MS = 150  # far from Windows' limit, yet slower than the guard ever needs


def one_run(prefix: WinePrefix, screen: Screen, saver_file: Path, pictures: str, name: str) -> GuardAnswers:
    folder = TestFolder(prefix, BUILDS["win64"], name)
    try:
        answers, saver = press_during_protected_run(folder, PICTURES[pictures](folder.path), saver_file)
        exit_code = end_with_password(folder, screen, saver)
        if exit_code != 0:
            raise RuntimeError(f"the password ended the saver with exit code {exit_code}")
        return answers
    finally:
        folder.kill_all()


def summary(label: str, runs: list[GuardAnswers]) -> str:
    times = [t for run in runs for t in run.times]
    return (f"  {label:<8} slowest {max(times):7.1f} ms, median {statistics.median(times):5.1f} ms "
            f"over {len(times)} strokes, {sum(t > SLOW_MS for t in times)} over {SLOW_MS} ms; "
            f"presses past the guard: {sum(r.reached for r in runs)}; "
            f"saver window's slowest answer {max(r.ui_longest for r in runs):7.1f} ms; "
            f"per round slowest: {', '.join(f'{r.slowest:.0f}' for r in runs)} ms")


def main() -> None:
    programs, rounds = older_and_current(__doc__, 2)
    with wine_session() as (prefix, screen):
        for pictures in PICTURES:
            runs = take_turns(programs, rounds,
                              lambda label, program: one_run(prefix, screen, program, pictures, f"guard_{label}"))
            print(f"{pictures}, {rounds} rounds:", flush=True)
            for label, done in runs.items():
                if done:
                    print(summary(label, done), flush=True)


if __name__ == "__main__":
    main()
