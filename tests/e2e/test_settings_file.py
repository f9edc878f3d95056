"""The settings file our code writes, read back by Windows' own profile
functions (the checks themselves run inside profile_check.exe)."""

from harness import FIRST_START_TIMEOUT


def test_settings_written_by_the_program_read_back_through_windows(folder):
    folder.install("profile_check.exe")
    ini = f"{folder.windows_path}\\vistrel.ini"
    check = folder.start("profile_check.exe", ini, capture_stdout=True)

    exit_code = check.wait_exit(FIRST_START_TIMEOUT)
    report = check.stdout_rest()
    assert exit_code == 0, f"{report}\n{check.stderr()}"
    assert (folder.path / "vistrel.ini").stat().st_size > 0
