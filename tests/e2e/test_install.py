"""The installer package of each build under Wine: msiexec puts vistrel.scr
into the system folder with an entry in the uninstall list, the installed
saver runs, a newer package replaces the older one and an older one is
refused, and removing it leaves the users' own settings."""

from __future__ import annotations

import os
import re
import struct
import subprocess
import tempfile
from pathlib import Path

import pytest

from dialog_driver import DIALOG_TITLE, Dialog
from harness import FIRST_START_TIMEOUT, WineProgram, poll
from paths import REPO
from pixels import is_all
from saver_files import RED, sample_picture, saver_settings, write_settings

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
MSIEXEC_TIMEOUT = 240
# What msiexec ends with when the package refuses to install; wine passes
# only the low byte of an exit code on (1603 comes out as 67).
ERROR_INSTALL_FAILURE = 1603 & 0xFF
DOWNGRADE_MESSAGE = "A newer version of Vistrel is already installed."


def built_package(build) -> Path:
    arch = "x64" if build.bits == 64 else "x86"
    packages = sorted(build.folder.glob(f"vistrel-*-{arch}.msi"))
    if not packages:
        pytest.skip(f"no installer package in {build.folder} (build the {build.name} preset first)")
    return packages[-1]


def package_table(package: Path, table: str) -> list[list[str]]:
    out = subprocess.run(["msiinfo", "export", str(package), table], check=True, capture_output=True,
                         text=True).stdout
    return [line.split("\t") for line in out.splitlines()[3:]]  # after the column names, types and key


def package_properties(package: Path) -> dict[str, str]:
    return {row[0]: row[1] for row in package_table(package, "Property") if len(row) == 2}


def package_at_version(build, package: Path, version: str, folder: Path) -> Path:
    """The same package as `package` for another version of the program, as
    the build would make it (same descriptor, program, icon and links)."""
    properties = package_properties(package)
    arch = "x64" if build.bits == 64 else "x86"
    output = folder / f"vistrel-{version}-{arch}.msi"
    icon = os.path.relpath(REPO / "src" / "resources" / "vistrel.ico", build.folder)
    subprocess.run(["wixl", "--arch", arch, "-D", f"Arch={arch}", "-D", f"Version={version}",
                    "-D", "SaverFile=vistrel.scr", "-D", f"IconFile={icon}",
                    "-D", f"Publisher={properties['Manufacturer']}", "-D", f"HelpLink={properties['ARPHELPLINK']}",
                    "-D", f"AboutLink={properties['ARPURLINFOABOUT']}", "-o", str(output),
                    str(REPO / "installer" / "vistrel.wxs")],
                   cwd=build.folder, check=True, capture_output=True)
    return output


def newer(version: str) -> str:
    major, minor, patch = (int(part) for part in version.split("."))
    return f"{major}.{minor}.{patch + 1}"


def msiexec(wine, *args: str) -> int:
    done = subprocess.run(["wine", "msiexec", *args], env=wine.env, timeout=MSIEXEC_TIMEOUT,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return done.returncode


def registry_values(wine, key: str, bits: int) -> dict[str, dict[str, str]]:
    """The values of every key below `key`, by the key's last name, in the
    registry view of a program of `bits` bits."""
    with tempfile.TemporaryFile() as out:  # not a pipe: see WinePrefix.app_data_folder
        subprocess.run(["wine", "reg", "query", key, "/s", f"/reg:{bits}"], env=wine.env,
                       timeout=120, stdout=out, stderr=subprocess.DEVNULL)
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    entries: dict[str, dict[str, str]] = {}
    current = None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            current = entries.setdefault(line.strip().rsplit("\\", 1)[-1], {})
        elif current is not None and (value := re.match(r"\s+(\S+)\s+REG_\w+\s+(.*)", line)):
            current[value.group(1)] = value.group(2).strip()
    return entries


def uninstall_entries(wine, bits: int) -> dict[str, dict[str, str]]:
    """The uninstall entries of Vistrel, by product code (a 32-bit product's
    entry lies in the 32-bit view)."""
    return {key: values for key, values in registry_values(wine, UNINSTALL_KEY, bits).items()
            if values.get("DisplayName", "").startswith("Vistrel Screen Saver")}


def published_icons(wine, bits: int) -> list[str]:
    """The icons of the installed Vistrel products, as Windows Installer
    published them for the entry in the list of programs."""
    products = registry_values(wine, r"HKLM\Software\Classes\Installer\Products", bits)
    return [values["ProductIcon"] for values in products.values()
            if values.get("ProductName", "").startswith("Vistrel Screen Saver") and "ProductIcon" in values]


def system_folder(wine, build) -> tuple[str, Path]:
    """Where the package of `build` puts the program: Windows path and the
    file in the prefix."""
    name = "system32" if build.bits == 64 else "syswow64"
    return f"C:\\windows\\{name}\\vistrel.scr", wine.drive_c / "windows" / name / "vistrel.scr"


@pytest.fixture
def installs(folder, wine, build):
    """Removes every Vistrel product the test installed, also when it fails."""
    yield
    for product in uninstall_entries(wine, build.bits):
        msiexec(wine, "/x", product, "/qn")
    assert not uninstall_entries(wine, build.bits)


def windows_path(folder, file: Path) -> str:
    return folder.windows_path_of(file)


def test_the_package_installs_the_saver_into_the_system_folder_and_it_runs_from_there(
        folder, wine, build, screen, installs, user_settings_folder):
    package = built_package(build)
    local = folder.path / package.name
    local.write_bytes(package.read_bytes())
    assert msiexec(wine, "/i", windows_path(folder, local), "/qn") == 0

    program, installed = system_folder(wine, build)
    assert installed.read_bytes() == build.file("vistrel.scr").read_bytes()
    entries = uninstall_entries(wine, build.bits)
    assert len(entries) == 1, entries
    entry = next(iter(entries.values()))
    version = package_properties(package)["ProductVersion"]
    bits = "64-bit" if build.bits == 64 else "32-bit"
    assert entry["DisplayName"] == f"Vistrel Screen Saver ({bits})"
    assert entry["DisplayVersion"] == version
    assert entry["Publisher"] == "The Vistrel developers"
    assert entry["HelpLink"] and entry["URLInfoAbout"]
    # Wine shows the icon through the published product icon (Windows
    # writes DisplayIcon too).
    icons = published_icons(wine, build.bits)
    assert len(icons) == 1 and icons[0].endswith("\\vistrel.ico"), icons
    assert wine.unix_path(icons[0]).read_bytes() == (REPO / "src" / "resources" / "vistrel.ico").read_bytes()

    # The user's own settings: what the installed saver reads.
    picture = windows_path(folder, sample_picture(folder.path))
    user_settings_folder.mkdir(parents=True)
    write_settings(user_settings_folder / "vistrel.ini", saver_settings([picture]))

    saver = WineProgram(wine, program, ["/s"], folder.path)
    folder.programs.append(saver)
    screen.wait_for(lambda shot: is_all(shot.crop((0, 0, 64, 64)), RED), FIRST_START_TIMEOUT,
                    "the installed saver's red background, from the user's settings")
    saver.kill()
    poll(lambda: not saver.running(), 10, "the saver to end")

    dialog = Dialog(folder, screen, WineProgram(wine, program, ["/c"], folder.path))
    folder.programs.append(dialog.program)
    windows = dialog.wait_shown()
    assert windows[0].text == DIALOG_TITLE
    # It loaded the user's file too.
    assert dialog.of_class(windows, "ListBox")[0].items == [picture]
    dialog.click(dialog.by_text(windows, "&Cancel"))
    assert dialog.program.wait_exit(20) == 0


def test_a_newer_package_replaces_the_older_one_and_an_older_one_is_refused(folder, wine, build, installs):
    package = built_package(build)
    version = package_properties(package)["ProductVersion"]
    older = folder.path / package.name
    older.write_bytes(package.read_bytes())
    newer_package = package_at_version(build, package, newer(version), folder.path)

    assert msiexec(wine, "/i", windows_path(folder, older), "/qn") == 0
    first = uninstall_entries(wine, build.bits)
    assert msiexec(wine, "/i", windows_path(folder, newer_package), "/qn") == 0
    entries = uninstall_entries(wine, build.bits)
    assert len(entries) == 1, entries
    assert next(iter(entries.values()))["DisplayVersion"] == newer(version)
    assert set(entries) != set(first), "a newer build is a product of its own, replacing the older"
    assert system_folder(wine, build)[1].exists()

    # The older package refuses, with its message (which Wine does not
    # write into the log of a quiet install: the package holds it).
    assert msiexec(wine, "/i", windows_path(folder, older), "/qn") == ERROR_INSTALL_FAILURE
    conditions = package_table(older, "LaunchCondition")
    assert [row[0] for row in conditions] == ["NOT WIX_DOWNGRADE_DETECTED"]
    assert conditions[0][1].startswith(DOWNGRADE_MESSAGE)
    entries = uninstall_entries(wine, build.bits)
    assert [entry["DisplayVersion"] for entry in entries.values()] == [newer(version)]


def test_removing_the_package_removes_the_program_and_leaves_the_users_settings(
        folder, wine, build, installs, user_settings_folder):
    package = built_package(build)
    local = folder.path / package.name
    local.write_bytes(package.read_bytes())
    assert msiexec(wine, "/i", windows_path(folder, local), "/qn") == 0
    user_settings_folder.mkdir(parents=True)
    user_file = user_settings_folder / "vistrel.ini"
    write_settings(user_file, saver_settings([]))
    before = user_file.read_bytes()

    assert msiexec(wine, "/x", windows_path(folder, local), "/qn") == 0
    assert not system_folder(wine, build)[1].exists()
    assert not uninstall_entries(wine, build.bits)
    assert user_file.read_bytes() == before


def fixed_file_version(program: Path) -> str:
    """The file version of the program's version resource (its fixed part)."""
    data = program.read_bytes()
    at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
    assert at > 0, f"{program} has no version resource"
    most, least = struct.unpack_from("<II", data, at + 8)
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}"


def test_the_package_holds_the_program_alone_for_the_machine_with_the_programs_version(build):
    package = built_package(build)
    properties = package_properties(package)
    version = properties["ProductVersion"]
    assert fixed_file_version(build.file("vistrel.scr")) == version
    arch = "x64" if build.bits == 64 else "x86"
    assert package.name == f"vistrel-{version}-{arch}.msi"
    assert properties["ALLUSERS"] == "1"  # per machine

    system = "System64Folder" if build.bits == 64 else "SystemFolder"
    assert sorted(row[0] for row in package_table(package, "Directory")) == sorted(["TARGETDIR", system])
    assert [row[:3] for row in package_table(package, "File")] == [["vistrel.scr", "Saver", "vistrel.scr"]]
    [component] = package_table(package, "Component")
    assert component[2] == system
    assert (int(component[3]) & 256 != 0) == (build.bits == 64), "a 64-bit component in the 64-bit package"
    # Nothing for any user's profile: no registry values, shortcuts or
    # folders of its own.
    for table in ("Registry", "Shortcut", "CreateFolder", "RemoveFile"):
        assert package_table(package, table) == [], table
