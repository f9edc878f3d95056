"""The settings dialog ("/c") under Wine: its layout and loaded values, OK
and Cancel, the file-open dialog, a failed save, and the saver reading what
the dialog saved."""

import pytest

from dialog_driver import Dialog
from saver_files import sample_picture, saver_settings


@pytest.fixture
def dialog_folder(saver_folder):
    picture = sample_picture(saver_folder.path)
    saver_folder.picture = picture
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(picture)]))
    return saver_folder


def test_smoke(dialog_folder, screen):
    program = dialog_folder.start_saver("/c")
    dialog = Dialog(dialog_folder, screen, program)
    windows = dialog.wait_shown()
    screen.shot().save("/tmp/dialog_smoke.png")
    for w in windows:
        print(w.fields)
