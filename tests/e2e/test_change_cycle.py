"""Every change on time: 24-megapixel photos come as often as small ones,
since each next picture is decoded while the one before is shown, and the
saver's window answers meanwhile."""

from __future__ import annotations

from change_cycle_runs import LARGE, SMALL, photo_sets, watch_changes
from conftest import built

WATCH_MS = 12000
# The time between changes of the large photos, against that of the small.
MOST_SLOWER = 1.15
PEAK_LIMIT_MB = 250


def test_large_photos_change_as_often_as_small_ones_within_bounded_memory(saver_folder):
    sets = photo_sets(saver_folder.path)
    saver = built(saver_folder.build, "vistrel.scr")
    small = watch_changes(saver_folder, saver, sets[f"{SMALL[0]} x {SMALL[1]}"], WATCH_MS)
    large = watch_changes(saver_folder, saver, sets[f"{LARGE[0]} x {LARGE[1]}"], WATCH_MS)
    report = (f"small photos every {small.mean_cycle:.0f} ms ({[round(c) for c in small.cycles]}), "
              f"large every {large.mean_cycle:.0f} ms ({[round(c) for c in large.cycles]}); "
              f"slowest answer {small.longest_wait:.0f} / {large.longest_wait:.0f} ms; "
              f"peak {small.peak_mb:.0f} / {large.peak_mb:.0f} MB")
    print(report)
    # The photos came in turn, several times round.
    assert len(small.cycles) >= 4 and len(large.cycles) >= 4, report
    assert [i for _, i in large.shown[:4]] == [0, 1, 2, 0], report
    assert large.mean_cycle <= MOST_SLOWER * small.mean_cycle, report
    assert large.peak_mb < PEAK_LIMIT_MB, report
