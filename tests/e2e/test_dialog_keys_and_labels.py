"""The settings dialog as a careful user finds it under Wine: the labels
inside frames that its options grey, and the access keys that several
controls share."""

import pytest

from dialog_driver import Dialog, pixels
from harness import poll
from saver_files import sample_picture, saver_settings

# "Sec(s)" in the frame "Change Image", in twips within the frame.
SECONDS_LABEL = (1260, 765, 615, 315)


@pytest.fixture
def after_folder(saver_folder):
    """A saver folder whose settings change the picture "After..." 5 seconds."""
    picture = saver_folder.windows_path_of(sample_picture(saver_folder.path))
    saver_folder.write_settings(saver_settings([picture], picChange="ch", timeInterval="5"))
    return saver_folder


def open_dialog(folder, screen):
    dialog = Dialog(folder, screen, folder.start_saver("/c"))
    return dialog, dialog.wait_shown()


def darkest(shot, frame, label) -> int:
    """The smallest sum of red, green and blue within the label's place:
    black text is near 0, greyed text in the middle, no text near white."""
    left, top, width, height = (pixels(v) for v in label)
    region = shot.crop((frame.sx + left, frame.sy + top, frame.sx + left + width, frame.sy + top + height))
    return min(sum(pixel[:3]) for pixel in region.getdata())


def test_the_seconds_label_greys_after_never_and_comes_back_after_after(after_folder, screen):
    dialog, windows = open_dialog(after_folder, screen)
    frame = dialog.by_text(windows, "Change Image")
    normal = lambda: darkest(screen.shot(), frame, SECONDS_LABEL) < 150
    greyed = lambda: 150 <= darkest(screen.shot(), frame, SECONDS_LABEL) < 600
    poll(normal, 10, "\"Sec(s)\" drawn in black at first")

    dialog.click(dialog.by_text(windows, "&Never"))
    poll(greyed, 10, lambda: f"\"Sec(s)\" greyed after Never (darkest {darkest(screen.shot(), frame, SECONDS_LABEL)})")
    dialog.click(dialog.by_text(windows, "&After..."))
    poll(normal, 10, lambda: f"\"Sec(s)\" black again after After... (darkest {darkest(screen.shot(), frame, SECONDS_LABEL)})")
    assert dialog.program.running()


def test_alt_c_keeps_a_typed_caption_and_alt_a_only_moves_the_focus(after_folder, screen):
    dialog, windows = open_dialog(after_folder, screen)
    caption_box = dialog.of_class(windows, "Edit")[0]
    dialog.click(caption_box)
    dialog.type("Dusk")
    dialog.wait_for(lambda now: dialog.of_class(now, "Edit")[0].text == "Dusk", 10, "the caption typed")

    # C is "&Clear", "&Cancel", "&Center" and "&Choose color...": the first
    # press goes round from the caption box to Cancel and presses nothing.
    dialog.key("alt+c")
    cancel = dialog.by_text(windows, "&Cancel").hwnd
    now = dialog.wait_for(lambda now: now if now[0].focus == cancel else None, 10, "the focus on Cancel")
    assert dialog.of_class(now, "Edit")[0].text == "Dusk"
    assert dialog.of_class(now, "ListBox")[1].items == ["Dusk"]
    assert dialog.program.running()

    # A is "&Add" and "&After...": the focus moves, no file dialog opens.
    for target in ("&After...", "&Add"):
        dialog.key("alt+a")
        hwnd = dialog.by_text(windows, target).hwnd
        dialog.wait_for(lambda now: now[0].focus == hwnd, 10, f"the focus on {target}")
        assert not any(w.text == "Select a file to open" for w in dialog.boxes()), target
    assert dialog.program.running()
