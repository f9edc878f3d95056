#!/usr/bin/python3
"""The composed stage of the Windows build under Wine, at 1920 x 1080 and at
3840 x 2160 (a virtual display of each size):

- the frames a one-second crossfade shows, over the colour and over the
  blurred fill (presentation_wine_bench.exe);
- pan and zoom drawn every 30 ms: frames a second, and the processor time
  of the program, the Wine server and the X server together, as a share of
  one core;
- at 1920 x 1080, the saver itself: the processor time of the same three
  over ten seconds while a centred still picture stays, while a picture
  floats, and while one pans and zooms; and its peak memory (VmHWM) with a copy of the desktop behind a
  still picture, where the composed stage keeps its one extra copy of the
  screen.

    /usr/bin/python3 bench/presentation_wine.py [pan seconds] [earlier vistrel.scr]

With an earlier build of vistrel.scr (win64) the saver's figures are
measured for it too, in the same run, for comparison. Needs the win64 build
(scripts/build.sh win64).
"""
from __future__ import annotations

import os
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from PIL import Image  # noqa: E402

from builds import BUILDS, wine_32_bit_missing  # noqa: E402
from harness import FIRST_START_TIMEOUT, Screen, WinePrefix, WineProgram, XServer, poll, process_id  # noqa: E402
from paths import PREFIX_DIR  # noqa: E402
from saver_files import saver_settings, write_settings  # noqa: E402

TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")
FOLDER = "C:\\vbench\\presentation"


def cpu_seconds(pid: int) -> float:
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND  # utime + stime


class SizedXServer(XServer):
    """An Xvfb of the given size, its desktop left plain."""

    def __init__(self, width: int, height: int):
        self.size = (width, height)
        super().__init__()

    def _command(self, display: str) -> list[str]:
        return ["Xvfb", display, "-screen", "0", f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp"]

    def _paint_desktop(self) -> None:
        pass


class CpuWatch:
    """Processor time of a few processes between two moments."""

    def __init__(self, pids: dict[str, int]):
        self.pids = pids
        self.start = {name: cpu_seconds(pid) for name, pid in pids.items()}
        self.began = time.monotonic()

    def report(self) -> str:
        elapsed = time.monotonic() - self.began
        used = {name: cpu_seconds(pid) - self.start[name] for name, pid in self.pids.items()}
        parts = ", ".join(f"{name} {100 * seconds / elapsed:.1f} %" for name, seconds in used.items())
        return f"{100 * sum(used.values()) / elapsed:.1f} % of one core ({parts}) over {elapsed:.1f} s"


def run_bench(prefix: WinePrefix, server: XServer, folder: Path, pan_seconds: int) -> None:
    bench = WineProgram(prefix, f"{FOLDER}\\presentation_wine_bench.exe", [str(pan_seconds)], folder,
                        capture_stdout=True)
    try:
        watch = None
        while True:
            line = bench.read_line(FIRST_START_TIMEOUT + pan_seconds + 60).strip()
            if line == "pan begins":
                watch = CpuWatch({"program": process_id(r"presentation_wine_bench", "presentation_wi"),
                                  "Wine server": process_id("wineserver", "wineserver64"),
                                  "X server": server.process.pid})
                continue
            if watch and line == "pan ends":
                used = watch.report()
                continue
            if watch and "pan and zoom" in line:
                print(f"  {line}; {used}")
                break
            print(f"  {line}")
    finally:
        if bench.running():
            bench.process.kill()


def peak_memory_mb(pid: int) -> float:
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    return 0.0


def measure_saver(prefix: WinePrefix, server: XServer, folder: Path, program: str, what: str,
                  **options: str) -> None:
    """Runs `program` (a vistrel.scr in the folder) with a 1200 x 900 picture
    and `options` for ten seconds once the picture is up."""
    picture = Image.new("RGB", (1200, 900))
    picture.putdata([((x // 4) % 256, (y // 3) % 256, 128) for y in range(900) for x in range(1200)])
    picture.save(folder / "still.bmp", format="BMP")
    background = options.pop("backEffect", "0")
    settings = saver_settings([f"{FOLDER}\\still.bmp"], **options)
    settings["background"]["backEffect"] = background
    write_settings(folder / "vistrel.ini", settings)
    screen = Screen(server.display)
    before = screen.shot()
    middle = (server.size[0] // 2, server.size[1] // 2)
    saver = WineProgram(prefix, f"{FOLDER}\\{program}", ["/s"], folder)
    try:
        screen.wait_for(lambda shot: shot.getpixel(middle) not in (before.getpixel(middle), (0, 0, 0), (255, 0, 0)),
                        FIRST_START_TIMEOUT, "the picture")
        time.sleep(2)
        pid = process_id(rf"vbench\\presentation\\{program}", program[:15])
        watch = CpuWatch({"saver": pid, "Wine server": process_id("wineserver", "wineserver64"),
                          "X server": server.process.pid})
        time.sleep(10)
        print(f"  {program}, {what}: {watch.report()}; peak memory {peak_memory_mb(pid):.1f} MB")
        poll(saver.running, 1, "the saver still running")
    finally:
        saver.process.kill()
        saver.process.wait()


def run_saver_figures(prefix: WinePrefix, server: XServer, folder: Path, programs: list[str]) -> None:
    for program in programs:
        measure_saver(prefix, server, folder, program, "a centred still picture", timeInterval="0")
        measure_saver(prefix, server, folder, program, "a still picture on a copy of the desktop",
                      timeInterval="0", backEffect="1")
        measure_saver(prefix, server, folder, program, "a picture floating at speed 5", timeInterval="0",
                      picRandom="rand", picSpeed="5")
        if program == "vistrel.scr":
            measure_saver(prefix, server, folder, program, "pan and zoom", timeInterval="0", picRandom="pan")


def main() -> None:
    pan_seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    earlier = Path(sys.argv[2]) if len(sys.argv) > 2 else None
    for width, height in ((1920, 1080), (3840, 2160)):
        print(f"{width} x {height}:")
        server = SizedXServer(width, height)
        prefix = WinePrefix(PREFIX_DIR, server.display)
        prefix.ensure_created(with_32_bit=wine_32_bit_missing() is None)
        prefix.start_server()
        try:
            folder = prefix.unix_path(FOLDER)
            folder.mkdir(parents=True, exist_ok=True)
            for name in ("presentation_wine_bench.exe", "vistrel.scr"):
                (folder / name).write_bytes(BUILDS["win64"].file(name).read_bytes())
            programs = ["vistrel.scr"]
            if earlier:
                (folder / "earlier.scr").write_bytes(earlier.read_bytes())
                programs.append("earlier.scr")
            run_bench(prefix, server, folder, pan_seconds)
            if width == 1920:
                run_saver_figures(prefix, server, folder, programs)
        finally:
            prefix.stop_server()
            server.stop()


if __name__ == "__main__":
    main()
