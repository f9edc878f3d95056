"""Where the Windows program keeps its settings under Wine: beside itself
when it may write there, byte for byte as before, and in the user's own
%APPDATA%\\Vistrel\\vistrel.ini when its folder refuses writing; the saver
then shows what was saved there."""

import shutil

import pytest

from harness import FIRST_START_TIMEOUT
from pixels import is_all
from saver_files import sample_picture, saver_settings, write_settings
from test_settings_dialog import (BLUE, Dialog, dialog_folder, expected_after_save, make_background_blue,  # noqa: F401
                                  open_dialog, settings_bytes, wait_exit)
from unwritable import MECHANISMS, unwritable

SAVED_BLUE = "newBackColor=16711680\r\n"


@pytest.fixture
def locked_program(folder):
    """vistrel.scr with a picture and settings (a red background) in the
    folder "program" of the test's folder, which a test can lock; the test's
    own folder, where the logs go, stays writable."""
    program = folder.path / "program"
    program.mkdir()
    shutil.copy2(folder.build.file("vistrel.scr"), program / "vistrel.scr")
    picture = folder.windows_path_of(sample_picture(program))
    folder.settings = saver_settings([picture])
    write_settings(program / "vistrel.ini", folder.settings)
    folder.program = program
    return folder


def start(folder, *args):
    return folder.start("program\\vistrel.scr", *args)


def user_file(folder_fixture):
    return folder_fixture / "vistrel.ini"


@pytest.mark.parametrize("mechanism", MECHANISMS)
def test_from_an_unwritable_folder_ok_saves_to_the_users_file_and_the_saver_shows_it(
        locked_program, screen, user_settings_folder, mechanism):
    beside = locked_program.program / "vistrel.ini"
    before = beside.read_bytes()
    with unwritable(locked_program.program, mechanism):
        dialog = Dialog(locked_program, screen, start(locked_program, "/c"))
        windows = dialog.wait_shown()
        make_background_blue(dialog, windows)
        dialog.click(dialog.by_text(windows, "&OK"))
        wait_exit(dialog)
        assert not dialog.boxes()

        saved = user_file(user_settings_folder).read_bytes()
        assert SAVED_BLUE.encode() in saved
        # The rest of the file that was read came along.
        assert saved.replace(SAVED_BLUE.encode(), b"newBackColor=255\r\n") == expected_after_save(
            locked_program.settings)
        assert beside.read_bytes() == before

        saver = start(locked_program, "/s")
        screen.wait_for(lambda shot: is_all(shot.crop((0, 0, 64, 64)), BLUE), FIRST_START_TIMEOUT,
                        "the saver's blue background, read from the user's file")
        assert saver.running()
        # Nothing of the program may hold the folder when it is unlocked.
        locked_program.kill_all()


def test_a_writable_folder_keeps_the_file_beside_the_program_byte_for_byte(dialog_folder, screen,
                                                                          user_settings_folder):
    dialog, windows = open_dialog(dialog_folder, screen)
    dialog.click(dialog.by_text(windows, "&Float"))
    dialog.click(dialog.by_text(windows, "&OK"))
    wait_exit(dialog)
    expected = {name: dict(entries) for name, entries in dialog_folder.settings.items()}
    expected["image"]["picRandom"] = "rand"
    assert settings_bytes(dialog_folder) == expected_after_save(expected)
    assert not user_settings_folder.exists()


def test_a_read_only_file_beside_the_program_sends_the_save_to_the_users_file(dialog_folder, screen,
                                                                             user_settings_folder):
    ini = dialog_folder.path / "vistrel.ini"
    before = ini.read_bytes()
    ini.chmod(0o444)  # Wine shows it as a read-only file
    try:
        dialog, windows = open_dialog(dialog_folder, screen)
        dialog.click(dialog.by_text(windows, "&Float"))
        dialog.click(dialog.by_text(windows, "&OK"))
        wait_exit(dialog)
        assert ini.read_bytes() == before
        assert b"picRandom=rand\r\n" in user_file(user_settings_folder).read_bytes()
    finally:
        ini.chmod(0o644)
