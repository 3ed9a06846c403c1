"""Processes and probes for driving the crawler end to end: a private X server, the stand-in
ArticleServer, the crawler in its window, keys, window sizes and screenshots.

Every process is started so that it dies with the test (the kernel sends it SIGKILL when the test
process goes, even if the test itself is killed) and is stopped by the context manager that
started it, on success and on failure alike.
"""

import ctypes
import fcntl
import os
import queue
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

import virtual_display
from virtual_display import Failure, screenshot

STEP_TIMEOUT = 10.0  # seconds for any single thing to happen

WHITE, BLACK, YELLOW, CYAN, RED = (255, 255, 255), (0, 0, 0), (255, 255, 0), (0, 255, 255), (255, 0, 0)


def run_isolated():
    """Re-runs this test in a private network namespace with a loopback of its own, where the
    crawler's fixed port is always free, if the system allows it (`unshare -rn`); otherwise the
    test runs on this machine's loopback. Call first thing; returns only in the process that is
    to run the test."""
    if os.environ.get("CRAWLER_E2E_ISOLATED"):
        _loopback_up()
        return
    try:
        subprocess.run(["unshare", "-rn", "true"], check=True, capture_output=True, timeout=10)
    except (OSError, subprocess.SubprocessError):
        return
    env = dict(os.environ, CRAWLER_E2E_ISOLATED="1")
    os.execvpe("unshare", ["unshare", "-rn", sys.executable] + sys.argv, env)


def _loopback_up():
    """Brings up the loopback interface of a fresh network namespace (it starts down)."""
    siocgifflags, siocsifflags, iff_up = 0x8913, 0x8914, 0x1
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        request = struct.pack("16sh", b"lo", 0)
        flags = struct.unpack("16sh", fcntl.ioctl(s, siocgifflags, request))[1]
        fcntl.ioctl(s, siocsifflags, struct.pack("16sh", b"lo", flags | iff_up))


def _die_with_parent():
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def _start_child():
    _die_with_parent()
    # SIGINT reaches the child as from a terminal, even where the test itself was started with
    # it ignored (a shell's background job), which the child would keep.
    signal.signal(signal.SIGINT, signal.SIG_DFL)


def start(args, **kwargs):
    return subprocess.Popen(args, preexec_fn=_start_child, **kwargs)


def stop(process, grace=3.0):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def wait_until(what, probe, timeout=STEP_TIMEOUT, interval=0.05):
    """Calls probe until it returns a true value, which is returned; Failure after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def lines_of(stream):
    """A queue that receives the lines of a text stream as they come, then None."""
    lines = queue.Queue()

    def read():
        for line in stream:
            lines.put(line.rstrip("\n"))
        lines.put(None)

    threading.Thread(target=read, daemon=True).start()
    return lines


class XServer(virtual_display.XServer):
    """A private Xvfb that dies with the test."""

    def __init__(self):
        super().__init__(preexec_fn=_die_with_parent)


class ArticleServer:
    """The stand-in server on 127.0.0.1; port 0 lets it pick a free one."""

    def __init__(self, path, port=0, seed=1, latency_ms=0, faults=(), extra=()):
        self.args = [path, "--port", str(port), "--seed", str(seed), "--latency-ms", str(latency_ms)]
        for fault in faults:
            self.args += ["--fault", fault]
        self.args += list(extra)

    def __enter__(self):
        self.process = start(self.args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        first = lines_of(self.process.stdout)
        try:
            line = first.get(timeout=STEP_TIMEOUT)
        except queue.Empty:
            line = None
        prefix = "listening on 127.0.0.1:"
        if not line or not line.startswith(prefix):
            stop(self.process)
            raise Failure("the article server did not start (%r): %s"
                          % (line, self.process.stderr.read().strip()))
        self.port = int(line[len(prefix):])
        return self

    def __exit__(self, *exc):
        stop(self.process)


class Crawler:
    """The crawler in its window on an X server; its word dump goes beside its executable."""

    def __init__(self, path, xserver):
        self.path = path
        self.xserver = xserver
        self.dump_path = os.path.join(os.path.dirname(os.path.abspath(path)), "wiki.txt")

    def __enter__(self):
        if os.path.exists(self.dump_path):
            os.remove(self.dump_path)
        # The crawler's console output goes to a file (a pipe nobody reads could stall it).
        self.log = tempfile.TemporaryFile()
        self.process = start([self.path], env=self.xserver.env(), stdout=self.log,
                             stderr=subprocess.STDOUT)
        name = "^%s$" % os.path.basename(self.path)
        ids = self.x("xdotool", "search", "--sync", "--name", name).split()
        if len(ids) != 1:
            raise Failure("expected one crawler window, found %r" % ids)
        self.window = ids[0]
        return self

    def __exit__(self, *exc):
        stop(self.process)
        self.log.close()

    def output(self, limit=4000):
        """The end of what the crawler printed so far."""
        self.log.flush()
        self.log.seek(0)
        return self.log.read()[-limit:].decode("latin-1")

    def x(self, *args):
        try:
            return subprocess.run(list(args), env=self.xserver.env(), check=True, capture_output=True,
                                  text=True, timeout=STEP_TIMEOUT).stdout
        except subprocess.TimeoutExpired:
            raise Failure("%s did not finish in %.0f s" % (" ".join(args), STEP_TIMEOUT))

    def running(self):
        return self.process.poll() is None

    def press(self, key):
        """Types one key (an xdotool key name) into the crawler's window."""
        self.x("xdotool", "windowfocus", "--sync", self.window, "key", key)

    def size(self):
        for line in self.x("xdotool", "getwindowgeometry", self.window).splitlines():
            if "Geometry:" in line:
                width, height = line.split()[-1].split("x")
                return int(width), int(height)
        raise Failure("no geometry for the crawler's window")

    def screenshot(self):
        return Screenshot.of(self)

    def wait_for_exit(self, timeout=STEP_TIMEOUT):
        """Waits for the crawler to end; Failure unless its exit code is 0."""
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the crawler did not end within %.0f s" % timeout)
        if code != 0:
            raise Failure("the crawler ended with exit code %d; it printed:\n%s" % (code, self.output()))

    def catches(self, number):
        """Whether the crawler has a handler of its own for the signal (SigCgt in /proc)."""
        with open("/proc/%d/status" % self.process.pid) as f:
            for line in f:
                if line.startswith("SigCgt:"):
                    return bool(int(line.split()[1], 16) >> (number - 1) & 1)
        return False

    def end_by_signal(self, number, timeout):
        """Sends the signal and returns the seconds until the crawler ended; Failure unless it
        ended by that signal within `timeout`."""
        name = signal.Signals(number).name
        sent = time.monotonic()
        self.process.send_signal(number)
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the crawler did not end within %.1f s of %s" % (timeout, name))
        took = time.monotonic() - sent
        if code != -number:
            raise Failure("after %s the crawler ended with exit code %d, not by the signal; it "
                          "printed:\n%s" % (name, code, self.output()))
        return took

    def wait_for_dump(self, timeout=STEP_TIMEOUT):
        """The bytes of a complete word dump (it ends with the line of the byte-0 node)."""

        def complete():
            try:
                with open(self.dump_path, "rb") as f:
                    data = f.read()
            except FileNotFoundError:
                return None
            return data if data.endswith(b"\x00 0\r\n") else None

        return wait_until("a complete wiki.txt", complete, timeout, interval=0.01)


class Screenshot:
    """The window's pixels as RGB triples."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def of(cls, crawler):
        return cls(*screenshot(crawler.window, crawler.xserver.env(), STEP_TIMEOUT))

    def __getitem__(self, xy):
        x, y = xy
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def rgb565(self, x, y):
        r, g, b = self[x, y]
        return r >> 3, g >> 2, b >> 3

    def region(self, left, top, right, bottom):
        """The pixels of the rectangle as text, one character per pixel, for failure messages."""
        marks = {WHITE: "W", BLACK: ".", YELLOW: "Y", CYAN: "C", RED: "R"}
        rows = []
        for y in range(top, bottom + 1):
            rows.append("%4d " % y + "".join(marks.get(self[x, y], "?")
                                             for x in range(left, right + 1)))
        return "\n".join(rows)

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb)


def close_to(colour, want, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, want))


def as_rgb565(colour32):
    """The pixel that a 0xAARRGGBB colour becomes: low bits dropped, nothing rounded."""
    return (colour32 >> 19) & 0x1F, (colour32 >> 10) & 0x3F, (colour32 >> 3) & 0x1F


def rightmost_in_rows(shot, top, bottom, colour):
    """The largest x at which a pixel of the rows top..bottom has the colour, or -1."""
    for x in range(shot.width - 1, -1, -1):
        for y in range(top, bottom + 1):
            if close_to(shot[x, y], colour):
                return x
    return -1
