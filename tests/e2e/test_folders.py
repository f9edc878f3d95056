"""Folder entries under Wine: a folder read afresh at each start, in a fair
shuffle, a large tree shown at once and in little memory, failures inside a
folder passed over, and a folder added in the dialog by the keyboard."""

from __future__ import annotations

import time

from PIL import Image

from dialog_driver import Dialog
from harness import FIRST_START_TIMEOUT, WaitTimeout, poll
from pixels import is_all
from saver_files import RED, saver_settings
from test_slideshow import Pictures, pattern, sequence_of, smooth
from test_todays_photos import saver_peak_memory_mb


def folder_entry(saver_folder, folder) -> str:
    return saver_folder.windows_path_of(folder) + "\\"


def test_a_folder_of_twelve_in_random_order_shows_twelve_different_pictures_first(saver_folder, screen):
    twelve = saver_folder.path / "twelve"
    twelve.mkdir()
    pictures = Pictures(saver_folder)
    # Half of them JPEG: the walk takes what the system's decoders take.
    for i in range(6):
        pictures.add(f"twelve/p{i:02}.bmp", pattern((120 + 4 * i, 90), i), format="BMP")
        pictures.add(f"twelve/p{i:02}.jpg", smooth((130 + 4 * i, 100), i), format="JPEG", quality=95)
    saver_folder.write_settings(saver_settings([folder_entry(saver_folder, twelve)], randomPick="1",
                                               timeInterval="1", picChange="ch", effectMode="0"))
    saver = saver_folder.start_saver("/s")

    shown = sequence_of(screen, pictures, 12, FIRST_START_TIMEOUT + 40)
    assert sorted(shown) == list(range(12)), shown
    assert saver.running()


def test_a_picture_copied_into_the_folder_shows_at_the_next_start(saver_folder, screen):
    album = saver_folder.path / "album"
    album.mkdir()
    pictures = Pictures(saver_folder)
    pictures.add("album/a.bmp", pattern((200, 150), 1), format="BMP")
    saver_folder.write_settings(saver_settings([folder_entry(saver_folder, album)], timeInterval="1",
                                               picChange="ch", effectMode="0"))
    first = saver_folder.start_saver("/s")
    assert sequence_of(screen, pictures, 1, FIRST_START_TIMEOUT + 10) == [0]
    first.kill()
    first.wait_exit(20)

    pictures.add("album/b.bmp", pattern((180, 120), 2), format="BMP")
    saver_folder.start_saver("/s")
    assert sequence_of(screen, pictures, 3, FIRST_START_TIMEOUT + 20) == [0, 1, 0]


def test_a_tree_of_20000_pictures_shows_its_first_at_once_and_stays_small(saver_folder, screen):
    tree = saver_folder.path / "library"
    first = pattern((200, 150), 3)
    small = Image.new("RGB", (8, 6), (0, 90, 200))
    for folder in range(200):
        album = tree / f"{2000 + folder // 20}" / f"album {folder:03}"
        album.mkdir(parents=True)
        for file in range(100):
            (first if folder == 0 and file == 0 else small).save(album / f"IMG_{file:04}.bmp", format="BMP")
    pictures = Pictures(saver_folder)
    pictures.looks.append(first)
    pictures.tolerances.append(0)
    saver_folder.write_settings(saver_settings([folder_entry(saver_folder, tree)], timeInterval="0", effectMode="0"))
    saver = saver_folder.start_saver("/s")

    background_at = poll(lambda: time.monotonic() if is_all(screen.shot().crop((0, 0, 8, 8)), RED) else None,
                         FIRST_START_TIMEOUT, "the red background")

    def shown():
        taken = time.monotonic()
        return taken if pictures.shown(screen.shot()) == 0 else None

    elapsed = poll(shown, 20, "the tree's first picture") - background_at
    print(f"first picture of the 20,000 {elapsed:.2f} s after the background")
    assert elapsed <= 1.5, f"the first picture came {elapsed:.1f} s after the background"
    # The walk of the whole tree goes on meanwhile: the peak is read once it
    # has stopped growing for two seconds.
    readings: list[tuple[float, float]] = []

    def settled():
        assert saver.running()
        readings.append((time.monotonic(), saver_peak_memory_mb()))
        now, peak = readings[-1]
        earlier = [value for at, value in readings if now - at >= 2]
        return peak if earlier and earlier[-1] == peak else None

    poll(settled, 60, "the saver's peak memory to settle", interval=0.5)
    peak = saver_peak_memory_mb()
    print(f"peak memory {peak:.0f} MB")
    assert peak < 200, f"{peak:.0f} MB"


def test_a_damaged_file_in_a_folder_and_a_missing_folder_are_passed_over(saver_folder, screen):
    album = saver_folder.path / "album"
    album.mkdir()
    pictures = Pictures(saver_folder)
    pictures.add("album/a.bmp", pattern((200, 150), 1), format="BMP")
    (album / "b.bmp").write_bytes(b"BM this is no picture at all")
    pictures.add("album/c.bmp", pattern((180, 120), 2), format="BMP")
    gone = "C:\\no such folder\\"
    saver_folder.write_settings(saver_settings([gone, folder_entry(saver_folder, album)], timeInterval="1",
                                               picChange="ch", effectMode="0"))
    saver = saver_folder.start_saver("/s")
    assert sequence_of(screen, pictures, 3, FIRST_START_TIMEOUT + 20) == [0, 1, 0]
    assert saver.running()
    dialog = Dialog(saver_folder, screen, saver)
    assert not dialog.boxes(), "no message"


def test_the_dialog_adds_a_folder_by_keyboard_as_one_entry_and_ok_saves_it(saver_folder, screen):
    album = saver_folder.path / "album"
    album.mkdir()
    for i in range(3):
        pattern((60, 40), i).save(album / f"p{i}.bmp", format="BMP")
    saver_folder.write_settings(saver_settings([]))
    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    dialog.wait_shown()
    dialog.focus_window()
    dialog.key("alt+d")
    dialog.wait_for_box("Select a folder of pictures")
    dialog.type(saver_folder.windows_path_of(album))
    dialog.key("Return")
    # The chooser may first open the folder typed; Enter then takes it.
    def closed():
        return True if not any("Select a folder" in w.text for w in dialog.boxes()) else None
    try:
        poll(closed, 5, "the folder chooser to close")
    except WaitTimeout:
        dialog.key("Return")
        poll(closed, 15, "the folder chooser to close")

    entry = folder_entry(saver_folder, album)
    def listed(windows):
        items = dialog.of_class(windows, "ListBox")[0]
        return windows if items.items == [entry] and items.selected == 0 else None
    windows = dialog.wait_for(listed, 20, f"the folder listed as one entry {entry!r}")
    # The status bar counts its pictures.
    poll(lambda: any("3 pictures in this folder" in w.text for w in dialog.tree() or []), 20,
         "the count in the status bar")
    dialog.focus_window()
    dialog.key("alt+o")
    assert dialog.program.wait_exit(20) == 0, dialog.program.stderr()
    saved = (saver_folder.path / "vistrel.ini").read_bytes().decode("ascii")
    assert f"[images]\r\n0={entry}\r\n" in saved
    assert "[total]\r\ntotal=1\r\n" in saved
