"""What the benchmarks that set an older vistrel.scr against the current
win64 build share: the two programs from the command line, and a Wine
session on a virtual display of its own."""
from __future__ import annotations

import sys
from contextlib import contextmanager
from pathlib import Path
from typing import Callable, Iterator, TypeVar

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from builds import BUILDS  # noqa: E402
from harness import Screen, WaitTimeout, WinePrefix, XServer  # noqa: E402
from paths import PREFIX_DIR  # noqa: E402

T = TypeVar("T")


def older_and_current(usage: str, default_rounds: int) -> tuple[dict[str, Path], int]:
    """{"before": <older vistrel.scr>, "after": the win64 build's}, and the
    rounds asked for, from `<older vistrel.scr> [rounds]`; exits with
    `usage` otherwise, or when a program is missing."""
    if len(sys.argv) not in (2, 3):
        sys.exit(usage)
    programs = {"before": Path(sys.argv[1]).resolve(), "after": BUILDS["win64"].file("vistrel.scr")}
    for label, program in programs.items():
        if not program.exists():
            sys.exit(f"{label}: {program} is not built")
    return programs, int(sys.argv[2]) if len(sys.argv) == 3 else default_rounds


@contextmanager
def wine_session() -> Iterator[tuple[WinePrefix, Screen]]:
    """The tests' Wine prefix with its server running, on an Xvfb of its own."""
    server = XServer()
    prefix = WinePrefix(PREFIX_DIR, server.display)
    prefix.ensure_created(with_32_bit=False)
    prefix.start_server()
    try:
        yield prefix, Screen(server.display)
    finally:
        prefix.stop_server()
        server.stop()


def take_turns(programs: dict[str, Path], rounds: int, measure: Callable[[str, Path], T]) -> dict[str, list[T]]:
    """`measure(label, program)` of each program in turn, round by round, so
    that a change in the machine's load meets both alike. A round that fails
    is said in a line and left out."""
    runs: dict[str, list[T]] = {label: [] for label in programs}
    for round_number in range(rounds):
        for label, program in programs.items():
            try:
                runs[label].append(measure(label, program))
            except (AssertionError, RuntimeError, WaitTimeout) as error:
                print(f"  {label}: round {round_number + 1} failed: {error}", flush=True)
    return runs
