"""Where the tests find the builds and keep their own files."""

import os
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
# The x86_64 build that runs under Wine; VISTREL_E2E_BUILD_DIR points the
# tests at another build folder of the win64 preset.
WIN64_BUILD_DIR = Path(os.environ.get("VISTREL_E2E_BUILD_DIR", REPO / "build" / "win64"))
# The i686 release build: only inspected, since 32-bit programs cannot run here.
WIN32_BUILD_DIR = REPO / "build" / "win32"
PREFIX_DIR = REPO / "build" / "wine-prefix"
SCREENSHOT_DIR = REPO / "build" / "e2e-screenshots"
