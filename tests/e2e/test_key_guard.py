"""The keyboard guard of a protected run under Wine: it keeps the Windows key
from the system and answers at once while the saver is busy with large
pictures, and it is gone when the run is over."""

from __future__ import annotations

import json

import pytest

from key_guard_runs import PICTURES, end_with_password, press_during_protected_run

# Windows waits at most a second before it passes a key on and drops the
# hook; the guard must answer far sooner.
ANSWER_LIMIT_MS = 150
GUARD_CHECK_TIMEOUT = 60


@pytest.mark.parametrize("pictures", list(PICTURES))
def test_the_guard_answers_at_once_while_large_pictures_change(folder, screen, build, pictures):
    answers, saver = press_during_protected_run(folder, PICTURES[pictures](folder.path), build.file("vistrel.scr"))
    assert answers.failed == 0
    assert len(answers.times) >= 100  # presses and releases over 8 s
    assert answers.slowest <= ANSWER_LIMIT_MS, (
        f"slowest answer {answers.slowest:.0f} ms, median {answers.median:.0f} ms; "
        f"the saver window's own slowest answer {answers.ui_longest:.0f} ms")
    assert answers.reached == 0, f"{answers.reached} presses got past the guard"
    # Each press counted as input: the prompt is up, and the password ends the run.
    assert end_with_password(folder, screen, saver) == 0, saver.stderr()


def test_the_guard_answers_for_a_busy_program_and_ends_with_it(folder):
    """The guard on its own, in windows_key_probe.exe: installed while the
    program's thread takes no messages, removed, and installed again before
    the program ends after an internal error."""
    folder.install("windows_key_probe.exe")
    check = folder.start("windows_key_probe.exe", "guard", capture_stdout=True)
    assert check.wait_exit(GUARD_CHECK_TIMEOUT) == 1, check.stderr()  # the end after an internal error
    phases = {line["phase"]: line for line in map(json.loads, check.stdout_rest().splitlines())}

    busy = phases["busy"]
    assert busy["guard_threads"] == 1
    assert len(busy["times"]) == 10 and all(0 <= t <= ANSWER_LIMIT_MS for t in busy["times"]), busy
    assert busy["reached"] == 0
    # Each press reached the program as a key, once its thread took messages again.
    assert busy["handed_on"] == 5

    # Removed, and at the internal error's message, the guard's thread is
    # gone and the key is the system's again.
    for phase in ("removed", "error message"):
        assert phases[phase] == {"phase": phase, "guard_threads_left": 0, "reached": True}
