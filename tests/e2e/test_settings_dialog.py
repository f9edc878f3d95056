"""The settings dialog ("/c") under Wine: its layout and the values it
loads, OK and Cancel, the real file-open dialog, a save that fails, and the
saver reading what the dialog saved."""

import os
import stat

import pytest
from PIL import Image

from dialog_driver import DIALOG_TITLE, Dialog, pixels
from harness import FIRST_START_TIMEOUT, poll
from pixels import is_all
from saver_files import RED, sample_picture, saver_settings, write_settings
from unwritable import unwritable

BLUE = (0, 0, 255)


@pytest.fixture
def dialog_folder(saver_folder):
    """A folder with the saver, a sample picture and settings that list it."""
    picture = sample_picture(saver_folder.path)
    saver_folder.picture_path = saver_folder.windows_path_of(picture)
    saver_folder.settings = saver_settings([saver_folder.picture_path])
    saver_folder.write_settings(saver_folder.settings)
    return saver_folder


def open_dialog(folder, screen, *args):
    program = folder.start_saver(*(args or ("/c",)))
    dialog = Dialog(folder, screen, program)
    return dialog, dialog.wait_shown()


def settings_bytes(folder) -> bytes:
    return (folder.path / "vistrel.ini").read_bytes()


# The options that OK writes and saver_settings leaves out, at their
# first-start values: those of the page of more options.
OPTIONS_OK_ADDS = {"image": {"fitLarge": "1", "allMonitors": "0", "autoCaption": ""}}


def expected_after_save(sections: dict) -> bytes:
    """The file as OK leaves it: the sections in their places, every option
    in it (one that was missing at the end of its section), the image and
    caption lists removed and written anew at the end."""
    sections = {name: dict(entries) for name, entries in sections.items()}
    for section, options in OPTIONS_OK_ADDS.items():
        for key, value in options.items():
            sections[section].setdefault(key, value)
    reordered = {name: entries for name, entries in sections.items() if name not in ("images", "caption")}
    reordered["images"] = sections["images"]
    reordered["caption"] = sections["caption"]
    lines = []
    for section, entries in reordered.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in entries.items())
        lines.append("")
    return "\r\n".join(lines).encode("ascii")


def wait_exit(dialog) -> None:
    assert dialog.program.wait_exit(20) == 0, dialog.program.stderr()


# (left, top, width, height) in twips within the container, as designed.
DESIGNED = {
    "Image ": (120, 120, 3975, 5775),
    "Background ": (4200, 120, 2655, 1695),
    "Movement": (6960, 120, 1695, 1695),
    "Change Image": (4200, 1920, 4455, 1575),
    "Password Protection / Message Board": (4200, 3600, 4455, 1335),
    "&OK": (6000, 5520, 1215, 375),
    "&Cancel": (7320, 5520, 1215, 375),
    "&Clear": (120, 2880, 975, 375),
    "&Font Style": (1200, 2880, 1335, 375),
    "&Add": (120, 5280, 1095, 375),
    "&Remove": (1320, 5280, 1095, 375),
    "R&emove All": (2520, 5280, 1335, 375),
    "&Choose color...": (720, 1080, 1455, 375),
    "&Center": (360, 240, 975, 315),
    "&Float": (360, 600, 855, 285),
    "&Never": (240, 240, 855, 255),
    "&After...": (1080, 240, 855, 255),
    "Random Order": (360, 1250, 1695, 195),
    "Random Transitions": (2400, 1080, 1815, 195),
    "Enabled": (240, 200, 1455, 375),
}


def test_dialog_opens_with_its_layout_and_the_loaded_values(dialog_folder, screen):
    dialog, windows = open_dialog(dialog_folder, screen)
    form = windows[0]
    assert form.text == DIALOG_TITLE

    for text, (left, top, width, height) in DESIGNED.items():
        control = dialog.by_text(windows, text)
        assert (control.x, control.y, control.w, control.h) == (
            pixels(left), pixels(top), pixels(width), pixels(height)), text

    lists = dialog.of_class(windows, "ListBox")
    images, captions = lists[0], lists[1]
    assert images.items == [dialog_folder.picture_path] and images.selected == 0 and images.visible
    assert captions.items == [""] and not captions.visible
    combos = dialog.of_class(windows, "ComboBox")
    background, transitions = combos
    assert background.items == ["Background Color (below)", "Desktop", "Blurred Picture"] and background.selected == 0
    assert transitions.count == 9 and transitions.items[3] == "Right & Left wipe" and transitions.selected == 0
    assert transitions.items[8] == "Crossfade"
    assert {combo.comboStyle for combo in combos} == {3}, "drop-down lists without an edit field"

    assert dialog.by_text(windows, "&Center").checked == 1
    assert dialog.by_text(windows, "&Float").checked == 0
    assert dialog.by_text(windows, "&Never").checked == 1
    slider = dialog.of_class(windows, "msctls_trackbar32")[0]
    assert (slider.position, slider.range, slider.enabled) == (2, [0, 5], False)
    spin = dialog.of_class(windows, "ScrollBar")[0]
    # The stored interval is 0, the bottom end of a bar whose top end is 60.
    assert (spin.position, spin.range, spin.enabled) == (60, [0, 60], False)
    edits = dialog.of_class(windows, "Edit")
    caption_box, count, seconds, password, confirm = edits
    assert count.text == "1" and seconds.text == "0" and not seconds.enabled
    assert (password.password, confirm.password) == (42, 42)
    assert not password.enabled and not confirm.enabled
    assert not dialog.by_text(windows, "Random Order").enabled
    status = dialog.of_class(windows, "msctls_statusbar32")[0]
    assert status.panels[1] == "Vistrel Version 3.0" and status.panels[2]
    assert status.panelEdges[:2] == [pixels(3500), 2 * pixels(3500)]

    # The focus starts on Cancel; Tab moves it to OK; Enter and Esc press nothing.
    assert form.focus == dialog.by_text(windows, "&Cancel").hwnd
    dialog.focus_window()
    dialog.key("Tab")
    ok = dialog.by_text(windows, "&OK").hwnd
    dialog.wait_for(lambda now: now[0].focus == ok, 10, "the focus on OK")
    before = settings_bytes(dialog_folder)
    dialog.key("Return")
    dialog.key("Escape")
    dialog.wait_for(lambda now: now[0].focus == ok, 10, "the dialog still open")
    assert dialog.program.running()
    assert settings_bytes(dialog_folder) == before


def test_a_list_of_32767_images_opens_whole_and_tips_show(saver_folder, screen):
    picture = saver_folder.windows_path_of(sample_picture(saver_folder.path))
    saver_folder.write_settings(saver_settings([picture] * 32767))
    dialog, windows = open_dialog(saver_folder, screen)
    images = dialog.of_class(windows, "ListBox")[0]
    assert (images.count, images.selected) == (32767, 0)
    assert dialog.of_class(windows, "Edit")[1].text == "32767"

    x, y = dialog.by_text(windows, "&Add").centre
    dialog.xdotool("mousemove", str(x - 5), str(y - 3))
    dialog.xdotool("mousemove", str(x), str(y))
    dialog.wait_for_box("Load an image")


def test_an_empty_command_line_opens_the_dialog(dialog_folder, screen):
    program = dialog_folder.start_saver()
    windows = Dialog(dialog_folder, screen, program).wait_shown()
    assert windows[0].text == DIALOG_TITLE and windows[0].owner == 0


def test_the_window_named_after_c_owns_the_dialog(dialog_folder, screen):
    dialog_folder.install("preview_host.exe")
    host = dialog_folder.start("preview_host.exe", capture_stdout=True)
    handle = int(host.read_line(FIRST_START_TIMEOUT))
    dialog, windows = open_dialog(dialog_folder, screen, f"/c:{handle}")
    assert windows[0].owner == handle
    assert host.running()


def test_ok_writes_the_edited_settings(dialog_folder, screen):
    dialog, windows = open_dialog(dialog_folder, screen)
    dialog.click(dialog.by_text(windows, "&Float"))
    dialog.click(dialog.by_text(windows, "Random Transitions"))
    dialog.wait_for(lambda now: dialog.by_text(now, "Random Transitions").checked == 1, 10,
                    "Random Transitions checked")
    dialog.click(dialog.by_text(windows, "&OK"))
    wait_exit(dialog)

    expected = dict(dialog_folder.settings)
    expected["image"] = dict(expected["image"], picRandom="rand", randomEffect="1")
    assert settings_bytes(dialog_folder) == expected_after_save(expected)


@pytest.mark.parametrize("how", ["cancel", "close box"])
def test_cancel_and_the_close_box_leave_the_file_as_it_was(dialog_folder, screen, how):
    before = settings_bytes(dialog_folder)
    dialog, windows = open_dialog(dialog_folder, screen)
    dialog.click(dialog.by_text(windows, "&Float"))
    dialog.wait_for(lambda now: dialog.by_text(now, "&Float").checked == 1, 10, "Float selected")
    if how == "cancel":
        dialog.click(dialog.by_text(windows, "&Cancel"))
    else:
        dialog.close_box()
    wait_exit(dialog)
    assert settings_bytes(dialog_folder) == before


def test_ok_on_an_empty_list_shows_its_message_and_keeps_the_dialog(dialog_folder, screen):
    sections = dict(dialog_folder.settings, images={}, total={"total": "0"}, caption={})
    dialog_folder.write_settings(sections)
    before = settings_bytes(dialog_folder)
    dialog, windows = open_dialog(dialog_folder, screen)
    assert dialog.of_class(windows, "ListBox")[0].count == 0
    dialog.click(dialog.by_text(windows, "&OK"))

    box = dialog.wait_for_box("You need to load at least one image file.")
    dialog.click(dialog.in_box(box, "OK", "Button"))
    poll(lambda: not dialog.boxes(), 10, "the message box to close")
    assert dialog.tree()[0].text == DIALOG_TITLE
    assert settings_bytes(dialog_folder) == before


def test_an_image_added_through_the_file_dialog_is_shown_and_saved(dialog_folder, screen):
    red = dialog_folder.path / "red square.bmp"
    Image.new("RGB", (40, 30), RED).save(red, format="BMP")
    red_path = dialog_folder.windows_path_of(red)
    dialog, windows = open_dialog(dialog_folder, screen)
    dialog.click(dialog.by_text(windows, "&Add"))

    boxes = dialog.wait_for_box("Select a file to open")
    assert any(w.text == "Select a file to open" for w in boxes)
    dialog.type(red_path)
    dialog.key("Return")

    def added(now):
        images = dialog.of_class(now, "ListBox")[0]
        return now if images.items == [dialog_folder.picture_path, red_path] and images.selected == 1 else None
    now = dialog.wait_for(added, 20, "the new image listed and selected")
    assert dialog.of_class(now, "Edit")[1].text == "2"

    # The thumbnail: the picture at its own size in the preview's top-left corner.
    preview = [w for w in now if w.fields["class"] == "Vistrel.PictureBox" and w.w == pixels(3375)][0]
    def thumbnail(shot):
        return (is_all(shot.crop((preview.sx, preview.sy, preview.sx + 40, preview.sy + 30)), RED)
                and shot.getpixel((preview.sx + 45, preview.sy + 35)) != RED)
    screen.wait_for(thumbnail, 10, "the red thumbnail in the preview")

    dialog.click(dialog.by_text(now, "&OK"))
    wait_exit(dialog)
    saved = settings_bytes(dialog_folder).decode("ascii")
    assert f"[images]\r\n0={dialog_folder.picture_path}\r\n1={red_path}\r\n" in saved
    assert "[total]\r\ntotal=2\r\n" in saved
    assert saved.endswith("[caption]\r\n0=\r\n1=\r\n")


def test_a_save_refused_beside_the_program_and_in_the_users_folder_is_reported_and_the_dialog_stays(
        dialog_folder, screen, user_settings_folder):
    ini = dialog_folder.path / "vistrel.ini"
    before = ini.read_bytes()
    ini.chmod(stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    user_settings_folder.mkdir(parents=True)
    try:
        with unwritable(user_settings_folder, "chattr"):
            dialog, windows = open_dialog(dialog_folder, screen)
            dialog.click(dialog.by_text(windows, "&Float"))
            dialog.click(dialog.by_text(windows, "&OK"))
            box = dialog.wait_for_box("could not be saved")
            message = " ".join(w.text for w in box)
        # The read-only file refused it first, then the user's own folder:
        # the message names the file tried last.
        assert "\\Vistrel\\vistrel.ini" in message and "denied" in message, message
        assert not (user_settings_folder / "vistrel.ini").exists()
        dialog.click(dialog.in_box(box, "OK", "Button"))
        poll(lambda: not dialog.boxes(), 10, "the message box to close")
        now = dialog.tree()
        assert now[0].text == DIALOG_TITLE and dialog.by_text(now, "&Float").checked == 1
        assert ini.read_bytes() == before
    finally:
        ini.chmod(stat.S_IRUSR | stat.S_IWUSR | stat.S_IRGRP | stat.S_IROTH)


def set_edit(dialog, edit, text: str) -> None:
    dialog.click(edit)
    dialog.key("End", *["BackSpace"] * 4)
    dialog.type(text)


def make_background_blue(dialog, windows) -> None:
    """Sets the background colour to blue through the colour dialog."""
    dialog.click(dialog.by_text(windows, "&Choose color..."))
    colours = dialog.wait_for_box("&Red:")
    # The red, green and blue boxes show once the dialog is opened out.
    dialog.click(dialog.in_box(colours, "&Define Custom Colors >>", "Button"))
    colours = poll(lambda: (lambda now: now if any(w.text == "&Red:" and w.visible for w in now) else None)(
        dialog.boxes()), 10, "the colour dialog opened out")
    labels = {w.text: w for w in colours if w.fields["class"].lower() == "static"}
    # Each box stands to the right of its label, on the same line.
    edit_after = {label: min((w for w in colours if w.fields["class"].lower() == "edit"
                              and abs(w.sy - labels[label].sy) < 8 and w.sx > labels[label].sx),
                             key=lambda w: w.sx)
                  for label in ("&Red:", "&Blue:")}
    set_edit(dialog, edit_after["&Red:"], "0")
    set_edit(dialog, edit_after["&Blue:"], "255")
    dialog.click(dialog.in_box(colours, "OK", "Button"))
    poll(lambda: not dialog.boxes(), 10, "the colour dialog to close")


def test_the_saver_starts_with_what_the_dialog_saved(dialog_folder, screen):
    # The file has a red background; the colour dialog makes it blue.
    dialog, windows = open_dialog(dialog_folder, screen)
    make_background_blue(dialog, windows)
    dialog.click(dialog.by_text(windows, "&OK"))
    wait_exit(dialog)
    assert "newBackColor=16711680\r\n" in settings_bytes(dialog_folder).decode("ascii")

    saver = dialog_folder.start_saver("/s")
    screen.wait_for(lambda shot: is_all(shot.crop((0, 0, 64, 64)), BLUE), FIRST_START_TIMEOUT,
                    "the saver's blue background")
    assert saver.running()
