#!/usr/bin/env python3
"""A private X server (Xvfb) and screenshots of its windows: the one way the end-to-end tests,
./run.sh --tour and bench/crawl_rate.sh get a display.

As a command it runs a program on a display of its own and stops the server when the program
ends; the program's exit status is the command's:

    virtual_display.py WIDTHxHEIGHT PROGRAM [ARGS...]
"""

import os
import subprocess
import sys


class Failure(Exception):
    pass


def without_display(environ=None):
    """The environment with no display in it. In sanitizer builds leak checking is off for
    programs with a window: the window system's libraries keep allocations to the end of the
    process."""
    hidden = ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")
    env = {k: v for k, v in (os.environ if environ is None else environ).items() if k not in hidden}
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


class XServer:
    """A private Xvfb; the server picks a free display number and reports it on a pipe, so
    parallel runs never collide. preexec_fn runs in the server's process before it starts."""

    def __init__(self, size="1600x1000", preexec_fn=None):
        self.size = size
        self.preexec_fn = preexec_fn

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size + "x24",
             "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=self.preexec_fn)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self._stop()
            raise Failure("Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        self._stop()

    def _stop(self):
        self.process.kill()
        self.process.wait()

    def env(self):
        """The environment for programs on this display."""
        return dict(without_display(), DISPLAY=self.display)


def screenshot(window, env, timeout):
    """The pixels of an X window as (width, height, rgb bytes), three bytes per pixel."""
    data = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], env=env,
                          check=True, capture_output=True, timeout=timeout).stdout
    fields, offset = [], 0
    while len(fields) < 4:  # "P6", width, height, maxval, each ended by one blank
        end = offset
        while data[end:end + 1] not in (b" ", b"\n", b"\t", b"\r"):
            end += 1
        if end > offset:
            fields.append(data[offset:end].decode())
        offset = end + 1
    if fields[0] != "P6" or fields[3] != "255":
        raise Failure("unexpected screenshot format %r" % fields)
    return int(fields[1]), int(fields[2]), data[offset:]


def main(argv):
    if len(argv) < 3 or "x" not in argv[1]:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    try:
        with XServer(argv[1]) as server:
            return subprocess.run(argv[2:], env=server.env()).returncode
    except Failure as failure:
        print("virtual_display.py: %s" % failure, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
