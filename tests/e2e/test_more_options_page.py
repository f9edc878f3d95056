"""The page of more options under Wine: opened from the settings dialog by
the mouse and by the keyboard, its choices saved by OK on the page and OK
on the dialog, and the options it shows kept through a save."""

from __future__ import annotations

import pytest

from dialog_driver import Dialog
from harness import poll
from saver_files import sample_picture, saver_settings

PAGE_TITLE = "More options"


@pytest.fixture
def page_folder(saver_folder):
    """The saver with settings whose options the page shows: pictures at
    their own size, a slideshow on every monitor, captions of the day and
    the file name."""
    picture = saver_folder.windows_path_of(sample_picture(saver_folder.path))
    saver_folder.write_settings(saver_settings([picture], fitLarge="0", allMonitors="1", autoCaption="date,file"))
    return saver_folder


def open_dialog(folder, screen):
    dialog = Dialog(folder, screen, folder.start_saver("/c"))
    return dialog, dialog.wait_shown()


def page_windows(dialog):
    """The page (first) and every window inside it once it is shown; None
    before."""
    windows = dialog.boxes()
    page = next((w for w in windows if w.text == PAGE_TITLE and w.fields["class"] == "Vistrel.Window"), None)
    if page is None:
        return None
    inside, found = {page.hwnd}, [page]
    for window in windows:  # each window's children come after it
        if window.parent in inside:
            inside.add(window.hwnd)
            found.append(window)
    return found


def wait_for_page(dialog):
    return poll(lambda: page_windows(dialog), 20, "the page of more options")


def ticks(windows) -> dict[str, int]:
    return {w.text: w.checked for w in windows if w.fields["class"].lower() == "button" and "checked" in w.fields
            and w.text not in ("&OK", "&Cancel")}


def saved_options(folder) -> dict[str, str]:
    text = (folder.path / "vistrel.ini").read_bytes().decode("ascii")
    image = text.split("[image]\r\n", 1)[1].split("\r\n\r\n", 1)[0]
    return dict(line.split("=", 1) for line in image.split("\r\n") if "=" in line)


def test_opened_with_the_mouse_unticking_date_taken_and_ok_twice_saves_it(page_folder, screen):
    dialog, windows = open_dialog(page_folder, screen)
    dialog.click(dialog.by_text(windows, "&More options..."))
    page = wait_for_page(dialog)
    assert ticks(page) == {"&Shrink large pictures to fit the screen": 0, "A slideshow on every &monitor": 1,
                           "&Pan and zoom each picture across the screen": 0,
                           "&Date taken": 1, "&Folder name": 0, "F&ile name": 1}
    # The dialog takes nothing while the page is up.
    assert not dialog.tree()[0].enabled

    dialog.click(dialog.in_box(page, "&Date taken", "Button"))
    poll(lambda: ticks(page_windows(dialog))["&Date taken"] == 0, 10, "Date taken unticked")
    dialog.click(dialog.in_box(page, "&OK", "Button"))
    poll(lambda: page_windows(dialog) is None, 10, "the page to go")
    now = dialog.wait_for(lambda now: now if now[0].enabled else None, 10, "the dialog usable again")
    dialog.click(dialog.by_text(now, "&OK"))
    assert dialog.program.wait_exit(20) == 0, dialog.program.stderr()

    saved = saved_options(page_folder)
    assert saved["autoCaption"] == "file"
    assert saved["fitLarge"] == "0" and saved["allMonitors"] == "1"


def test_opened_with_the_keyboard_and_its_cancel_keeps_the_settings(page_folder, screen):
    dialog, windows = open_dialog(page_folder, screen)
    before = (page_folder.path / "vistrel.ini").read_bytes()
    dialog.focus_window()
    dialog.key("alt+m")
    page = wait_for_page(dialog)
    # Alt with a letter of the page ticks and unticks; Esc leaves it as it was.
    dialog.key("alt+f")
    poll(lambda: ticks(page_windows(dialog))["&Folder name"] == 1, 10, "Folder name ticked")
    dialog.key("Escape")
    poll(lambda: page_windows(dialog) is None, 10, "the page to go")

    # Again, and this time confirmed from the keyboard alone.
    dialog.key("alt+m")
    page = wait_for_page(dialog)
    assert ticks(page)["&Folder name"] == 0
    dialog.key("alt+d")
    poll(lambda: ticks(page_windows(dialog))["&Date taken"] == 0, 10, "Date taken unticked")
    dialog.key("alt+p")
    poll(lambda: ticks(page_windows(dialog))["&Pan and zoom each picture across the screen"] == 1, 10,
         "Pan and zoom ticked")
    dialog.key("alt+o")
    poll(lambda: page_windows(dialog) is None, 10, "the page to go")
    dialog.wait_for(lambda now: now if now[0].enabled else None, 10, "the dialog usable again")
    assert (page_folder.path / "vistrel.ini").read_bytes() == before  # nothing before the dialog's OK
    dialog.key("alt+o")
    assert dialog.program.wait_exit(20) == 0, dialog.program.stderr()
    saved = saved_options(page_folder)
    assert (saved["autoCaption"], saved["fitLarge"], saved["allMonitors"]) == ("file", "0", "1")
    assert saved["picRandom"] == "pan"
