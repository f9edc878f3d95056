"""Folders that refuse writing, also to root (the tests run as root, whom
permission bits do not stop): a read-only bind mount of the folder onto
itself, or the immutable attribute (`chattr +i`). Both need root; the bind
mount also needs the right to mount, the attribute a file system that has
it (ext4, xfs, btrfs; not tmpfs or overlayfs)."""

from __future__ import annotations

import contextlib
import os
import shutil
import subprocess
import uuid
from pathlib import Path
from typing import Iterator, Optional

import pytest

MECHANISMS = ("bind-mount", "chattr")


def _refuses_writing(folder: Path) -> bool:
    probe = folder / f".probe-{uuid.uuid4().hex}"
    try:
        probe.touch()
    except OSError:
        return True
    probe.unlink()
    return False


def _lock(folder: Path, mechanism: str) -> Optional[str]:
    """Locks `folder`; why it could not, or None."""
    if os.geteuid() != 0:
        return "needs root"
    if mechanism == "bind-mount":
        command = ["mount", "--bind", "-o", "ro", str(folder), str(folder)]
    else:
        if shutil.which("chattr") is None:
            return "chattr is not installed"
        command = ["chattr", "+i", str(folder)]
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        return f"{' '.join(command[:2])} failed: {done.stderr.strip()}"
    if not _refuses_writing(folder):
        _unlock(folder, mechanism)
        return f"{mechanism} left the folder writable"
    return None


def _unlock(folder: Path, mechanism: str) -> None:
    if mechanism == "bind-mount":
        # Lazily when busy: Wine's server may still hold the folder open
        # for a moment after the programs in it ended.
        if subprocess.run(["umount", str(folder)], capture_output=True).returncode != 0:
            subprocess.run(["umount", "--lazy", str(folder)], check=True)
    else:
        subprocess.run(["chattr", "-i", str(folder)], check=True)


@contextlib.contextmanager
def unwritable(folder: Path, mechanism: str) -> Iterator[None]:
    """`folder` refuses creating, replacing and renaming files in it while
    the block runs; the test is skipped where the mechanism is not to be had."""
    reason = _lock(folder, mechanism)
    if reason:
        pytest.skip(f"cannot make a folder unwritable with {mechanism}: {reason}")
    try:
        yield
    finally:
        _unlock(folder, mechanism)
