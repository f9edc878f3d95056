#!/usr/bin/python3
"""CPU time of the Windows build under Wine while a 1000 x 700 picture floats
at speed 5 (a 15-twip step every 25 ms) on a 1024 x 768 virtual screen.

    /usr/bin/python3 bench/float_cpu.py [seconds]      (default 60)

Needs the win64 build (scripts/build.sh win64). Reports the CPU seconds
used over the measured time by the saver's process, by the X server (which
puts Wine's drawing on the screen) and by the Wine server, each also as a
share of one core.
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


def cpu_seconds(pid: int) -> float:
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND  # utime + stime


def main() -> None:
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60.0
    server = XServer()
    prefix = WinePrefix(PREFIX_DIR, server.display)
    prefix.ensure_created(with_32_bit=wine_32_bit_missing() is None)
    prefix.start_server()
    saver = None
    try:
        folder = prefix.unix_path("C:\\vbench\\float")
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "vistrel.scr").write_bytes(BUILDS["win64"].file("vistrel.scr").read_bytes())
        picture = Image.new("RGB", (1000, 700))
        picture.putdata([((x // 4) % 256, (y // 3) % 256, 128) for y in range(700) for x in range(1000)])
        picture.save(folder / "float.bmp", format="BMP")
        write_settings(folder / "vistrel.ini",
                       saver_settings(["C:\\vbench\\float\\float.bmp"], picRandom="rand", picSpeed="5",
                                      timeInterval="0", effectMode="0"))
        screen = Screen(server.display)
        before = screen.shot()
        saver = WineProgram(prefix, "C:\\vbench\\float\\vistrel.scr", ["/s"], folder)
        screen.wait_for(lambda shot: shot.getpixel((512, 384)) != before.getpixel((512, 384)) and
                        shot.getpixel((512, 384)) != (255, 0, 0), FIRST_START_TIMEOUT, "the picture")
        time.sleep(2)  # past the first image's set-up
        pids = {"saver (vistrel.scr)": process_id(r"vbench\\float\\vistrel.scr", "vistrel.scr"),
                "X server (Xvfb)": server.process.pid,
                "Wine server": process_id("wineserver", "wineserver64")}
        start = {name: cpu_seconds(pid) for name, pid in pids.items()}
        began = time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - began
        print(f"Floating a 1000 x 700 picture at speed 5 for {elapsed:.1f} s under Wine:")
        for name, pid in pids.items():
            used = cpu_seconds(pid) - start[name]
            print(f"  {name:22s} {used:7.2f} CPU s   {100 * used / elapsed:5.1f} % of one core")
        poll(lambda: saver.running(), 1, "the saver still running")
    finally:
        if saver:
            saver.kill()
        prefix.stop_server()
        server.stop()


if __name__ == "__main__":
    main()
