"""Where the tests find the builds and keep their own files."""

import os
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
# The two Windows builds, by preset: x86_64 and the i686 release build.
# VISTREL_E2E_BUILD_DIR and VISTREL_E2E_WIN32_BUILD_DIR point the tests at
# other build folders of these presets.
WIN64_BUILD_DIR = Path(os.environ.get("VISTREL_E2E_BUILD_DIR", REPO / "build" / "win64"))
WIN32_BUILD_DIR = Path(os.environ.get("VISTREL_E2E_WIN32_BUILD_DIR", REPO / "build" / "win32"))
PREFIX_DIR = REPO / "build" / "wine-prefix"
SCREENSHOT_DIR = REPO / "build" / "e2e-screenshots"
