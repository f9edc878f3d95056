"""A settings file far beyond the old 4 MB limit: 20,000 pictures with long
paths and captions. The saver shows its first picture and the dialog opens
with all of them."""

from PIL import Image

from dialog_driver import Dialog
from harness import FIRST_START_TIMEOUT
from pixels import find_picture
from saver_files import centred_box, sample_picture, saver_settings

ENTRIES = 20000


def test_twenty_thousand_entries_over_five_megabytes(saver_folder, screen):
    picture_file = sample_picture(saver_folder.path)
    first = saver_folder.windows_path_of(picture_file)
    paths = [first] + [f"C:\\Users\\Someone\\Pictures\\Holidays 2024\\Norway and the fjords\\day {i // 50:03}"
                       f"\\photo number {i:05} taken at the harbour in the evening light.jpg"
                       for i in range(1, ENTRIES)]
    settings = saver_settings(paths)
    settings["caption"] = {str(i): f"Picture {i}: the harbour at dusk, with the ferry coming in" * 2
                           for i in range(ENTRIES)}
    saver_folder.write_settings(settings)
    size = (saver_folder.path / "vistrel.ini").stat().st_size
    assert size > 5 * 1024 * 1024, size

    saver = saver_folder.start_saver("/s")
    with Image.open(picture_file) as image:
        shown = image.convert("RGB")
    box = centred_box(shown.size)
    screen.wait_for(lambda shot: find_picture(shot, shown, box[:2]) is not None, FIRST_START_TIMEOUT,
                    f"the first picture at {box[:2]}")
    assert saver.running()
    saver.kill()

    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    windows = dialog.wait_shown()
    images, captions = dialog.of_class(windows, "ListBox")[:2]
    assert (images.count, images.selected, captions.count) == (ENTRIES, 0, ENTRIES)
    assert dialog.of_class(windows, "Edit")[1].text == str(ENTRIES)
    assert not dialog.boxes(), "no message"


def test_a_total_above_32767_is_reported_when_the_dialog_opens_and_nothing_is_written(saver_folder, screen):
    picture = saver_folder.windows_path_of(sample_picture(saver_folder.path))
    saver_folder.write_settings(saver_settings([picture] * 40000))
    ini = saver_folder.path / "vistrel.ini"
    before = ini.read_bytes()

    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    box = dialog.wait_for_box("left out")
    message = " ".join(w.text for w in box)
    assert "lists 40000 images" in message and "32767 images are loaded; 7233 are left out" in message, message
    dialog.click(dialog.in_box(box, "OK", "Button"))
    windows = dialog.wait_shown()
    assert dialog.of_class(windows, "ListBox")[0].count == 32767
    dialog.click(dialog.by_text(windows, "&Cancel"))
    assert dialog.program.wait_exit(20) == 0
    assert ini.read_bytes() == before
