"""The program files as shipped: the right kind of PE file, large-address-aware,
and nothing that needs the MinGW runtime DLLs beside it on a bare Windows."""

import re
import struct
import subprocess
from pathlib import Path

import pytest

IMAGE_FILE_MACHINE_I386 = 0x014C
IMAGE_FILE_MACHINE_AMD64 = 0x8664
PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
# The program may use addresses above 2 GB: a 32-bit one gets 4 GB of
# address space on 64-bit Windows instead of 2 GB.
IMAGE_FILE_LARGE_ADDRESS_AWARE = 0x0020

EXPECTED = {
    # preset: (machine, optional-header magic, objdump)
    "win64": (IMAGE_FILE_MACHINE_AMD64, PE32_PLUS_MAGIC, "x86_64-w64-mingw32-objdump"),
    "win32": (IMAGE_FILE_MACHINE_I386, PE32_MAGIC, "i686-w64-mingw32-objdump"),
}
# The runtime DLLs of MinGW-w64 (C++ library, GCC support, threads).
MINGW_RUNTIME_DLL = re.compile(r"^(libstdc\+\+|libgcc_s|libwinpthread|libssp|libgomp|mingwm)", re.I)


def pe_header(path: Path) -> tuple[int, int, int, int]:
    """(machine, characteristics, optional-header magic, subsystem) of a PE file."""
    data = path.read_bytes()
    assert data[:2] == b"MZ", f"{path} has no MZ header"
    pe_offset = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe_offset:pe_offset + 4] == b"PE\0\0", f"{path} has no PE signature"
    machine, = struct.unpack_from("<H", data, pe_offset + 4)
    characteristics, = struct.unpack_from("<H", data, pe_offset + 22)
    optional = pe_offset + 24
    magic, = struct.unpack_from("<H", data, optional)
    # The subsystem is at the same offset in PE32 and PE32+ headers.
    subsystem, = struct.unpack_from("<H", data, optional + 68)
    return machine, characteristics, magic, subsystem


def imported_dlls(objdump: str, path: Path) -> list[str]:
    out = subprocess.run([objdump, "-p", str(path)], check=True, capture_output=True,
                         text=True).stdout
    return re.findall(r"DLL Name:\s*(\S+)", out)


@pytest.fixture
def saver_build(build):
    path = build.file("vistrel.scr")
    if not path.exists():
        pytest.skip(f"{path} is not built")
    return path, EXPECTED[build.name]


def test_saver_is_a_large_address_aware_gui_program_for_its_architecture(saver_build):
    path, (machine, magic, _) = saver_build
    found_machine, characteristics, found_magic, subsystem = pe_header(path)
    assert (found_machine, found_magic, subsystem) == (machine, magic, IMAGE_SUBSYSTEM_WINDOWS_GUI)
    assert characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE, f"characteristics {characteristics:#06x}"


def test_saver_needs_no_mingw_runtime_dll(saver_build):
    path, (_, _, objdump) = saver_build
    dlls = imported_dlls(objdump, path)
    assert "KERNEL32.dll".lower() in (name.lower() for name in dlls), dlls
    assert not [name for name in dlls if MINGW_RUNTIME_DLL.match(name)], dlls


def manifest_of(path: Path, objdump: str) -> str:
    """The text of the program's application manifest (resource 1 of type
    RT_MANIFEST), as windres dumps it."""
    windres = objdump.replace("objdump", "windres")
    dump = subprocess.run([windres, "-i", str(path), "-O", "rc"], check=True, capture_output=True,
                          text=True).stdout
    match = re.search(r"^1 24 /\* RT_MANIFEST \*/\nBEGIN\n(.*?)\nEND", dump, re.S | re.M)
    assert match, "no application manifest (resource 1, RT_MANIFEST)"
    return "".join(re.findall(r'"((?:[^"]|"")*)"', match.group(1))).replace('""', '"').replace("\\n", "\n")


def test_saver_declares_dpi_awareness_windows_versions_and_common_controls(saver_build):
    path, (_, _, objdump) = saver_build
    manifest = manifest_of(path, objdump)
    # Per-monitor v2, with the older declarations for systems before it.
    assert re.search(r"<dpiAwareness[^>]*>\s*PerMonitorV2, PerMonitor\s*<", manifest), manifest
    assert re.search(r"<dpiAware[^>]*>\s*true/pm\s*<", manifest), manifest
    assert 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in " ".join(manifest.split()), manifest
    windows_10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
    windows_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
    assert windows_10 in manifest and windows_7 in manifest
