"""The two Windows builds the end-to-end tests run, and whether this machine
can run the 32-bit one."""

from __future__ import annotations

import functools
import subprocess
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from paths import REPO, WIN32_BUILD_DIR, WIN64_BUILD_DIR

# The package that install-deps.sh installs for running 32-bit programs.
WINE_32_BIT_PACKAGE = "wine32:i386"


@dataclass(frozen=True)
class Build:
    name: str  # the CMake preset
    folder: Path  # vistrel.scr and the helper programs
    bits: int

    def file(self, name: str) -> Path:
        return self.folder / name

    def cannot_run(self) -> Optional[str]:
        """Why Wine cannot run this build here, or None when it can."""
        return None if self.bits == 64 else wine_32_bit_missing()


BUILDS = {
    "win64": Build("win64", WIN64_BUILD_DIR, 64),
    "win32": Build("win32", WIN32_BUILD_DIR, 32),
}


@functools.cache
def wine_32_bit_missing() -> Optional[str]:
    """Why 32-bit programs cannot run under Wine here, or None when they can."""
    kernel = subprocess.run([str(REPO / "scripts" / "runs-32-bit.sh")], capture_output=True, text=True)
    if kernel.returncode != 0:
        return kernel.stdout.strip() or "this kernel does not run 32-bit programs"
    status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", WINE_32_BIT_PACKAGE],
                            capture_output=True, text=True).stdout
    if "install ok installed" not in status:
        return f"Wine's 32-bit side ({WINE_32_BIT_PACKAGE}) is not installed; scripts/install-deps.sh installs it"
    return None
