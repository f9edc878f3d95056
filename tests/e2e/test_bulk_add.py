"""Many pictures in one Add under Wine: several files named at once in the
real file dialog, and a whole folder chosen with Ctrl+A, saved by OK and
shown by the saver."""

from PIL import Image

from dialog_driver import Dialog
from harness import FIRST_START_TIMEOUT, WaitTimeout, poll
from pixels import is_all
from saver_files import RED, saver_settings, sample_picture

GREEN = (0, 255, 0)
BLUE = (0, 0, 255)


def settings_text(folder) -> str:
    return (folder.path / "vistrel.ini").read_bytes().decode("ascii")


def list_items(dialog, windows):
    return dialog.of_class(windows, "ListBox")[0]


def open_folder_in_file_dialog(dialog, folder_path: str, name: str):
    """Types the folder's path into the file dialog, which then shows it."""
    dialog.type(folder_path)
    dialog.key("Return")
    def shown():
        boxes = dialog.boxes()
        return boxes if any(w.fields["class"].lower() == "combobox" and w.text == name for w in boxes) else None
    return poll(shown, 30, lambda: f"the file dialog showing {name}: {[w.text for w in dialog.boxes()]}")


def test_three_files_named_in_the_file_dialog_are_added_in_one_add(saver_folder, screen):
    first = saver_folder.windows_path_of(sample_picture(saver_folder.path))
    saver_folder.write_settings(saver_settings([first]))
    Image.new("RGB", (40, 30), RED).save(saver_folder.path / "a.bmp", format="BMP")
    Image.new("RGB", (30, 20), BLUE).save(saver_folder.path / "b.gif", format="GIF")
    Image.new("RGB", (36, 24), GREEN).save(saver_folder.path / "c.jpg", format="JPEG", quality=95)
    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    windows = dialog.wait_shown()
    dialog.click(dialog.by_text(windows, "&Add"))
    dialog.wait_for_box("Select a file to open")
    open_folder_in_file_dialog(dialog, saver_folder.windows_path, saver_folder.path.name)
    dialog.type('"a.bmp" "b.gif" "c.jpg"')
    dialog.key("Return")

    expected = [first] + [saver_folder.windows_path_of(saver_folder.path / name) for name in ("a.bmp", "b.gif", "c.jpg")]
    def added(now):
        # The count box is set once the list is: both are waited for.
        images = list_items(dialog, now)
        return now if (images.items == expected and images.selected == 3
                       and dialog.of_class(now, "Edit")[1].text == "4") else None
    now = dialog.wait_for(added, 20, lambda: "the three files listed, the last selected; list: "
                          f"{list_items(dialog, dialog.tree()).items}; boxes: {[w.text for w in dialog.boxes()]}")
    assert not dialog.boxes(), "nothing was left out, so no message"
    dialog.click(dialog.by_text(now, "&OK"))
    assert dialog.program.wait_exit(20) == 0, dialog.program.stderr()
    saved = settings_text(saver_folder)
    assert "[total]\r\ntotal=4\r\n" in saved
    assert f"3={expected[3]}\r\n" in saved


def test_a_folder_of_2000_pictures_chosen_whole_is_saved_and_shown(saver_folder, screen):
    many = saver_folder.path / "many"
    many.mkdir()
    for i in range(2000):
        Image.new("RGB", (16, 12), GREEN).save(many / f"p{i:04}.bmp", format="BMP")
    saver_folder.write_settings(saver_settings([]))
    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    windows = dialog.wait_shown()
    dialog.click(dialog.by_text(windows, "&Add"))
    dialog.wait_for_box("Select a file to open")
    open_folder_in_file_dialog(dialog, saver_folder.windows_path_of(many), "many")
    views = [w for w in dialog.boxes() if w.fields["class"].lower() == "syslistview32"]
    assert views, [w.fields["class"] for w in dialog.boxes()]
    dialog.click(views[0])
    # The file name box names every chosen file, in quotes.
    def all_chosen():
        boxes = dialog.boxes()
        return boxes if any(w.text.count('" "') >= 1999 for w in boxes) else None
    dialog.key("ctrl+a")
    try:
        poll(all_chosen, 20, "Ctrl+A choosing every file")
    except WaitTimeout:
        # Wine 8's shell view takes no Ctrl+A; the first file, then Shift+End
        # to the last, choose the same range.
        print("Ctrl+A chose nothing more in this file dialog; using Home, Shift+End")
        dialog.key("Home")
        dialog.key("shift+End")
    poll(all_chosen, 30, lambda: f"all 2,000 files chosen: {[w.text[:100] for w in dialog.boxes()]}")
    open_button = dialog.in_box(dialog.boxes(), "&Open", "Button")
    dialog.click(open_button)

    def all_added(now):
        # The count box is set once the list is: both are waited for.
        images = list_items(dialog, now)
        return now if (images.count == 2000 and images.selected == 1999
                       and dialog.of_class(now, "Edit")[1].text == "2000") else None
    now = dialog.wait_for(all_added, 120, lambda: "2,000 pictures listed, the last selected; listed: "
                          f"{list_items(dialog, dialog.tree()).count}; boxes: {[w.text[:200] for w in dialog.boxes()]}")
    assert list_items(dialog, now).items[0].endswith("\\many\\p0000.bmp")
    dialog.click(dialog.by_text(now, "&OK"))
    assert dialog.program.wait_exit(60) == 0, dialog.program.stderr()
    saved = settings_text(saver_folder)
    assert "[total]\r\ntotal=2000\r\n" in saved
    assert "1999=" + saver_folder.windows_path_of(many / "p1999.bmp") + "\r\n" in saved

    saver = saver_folder.start_saver("/s")
    def green_in_the_middle(shot):
        x, y = shot.size[0] // 2, shot.size[1] // 2
        return is_all(shot.crop((x - 6, y - 4, x + 6, y + 4)), GREEN)
    screen.wait_for(green_in_the_middle, FIRST_START_TIMEOUT, "a green picture of the folder")
    assert saver.running()
