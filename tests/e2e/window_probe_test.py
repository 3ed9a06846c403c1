#!/usr/bin/env python3
"""End-to-end checks of the window binding, driving window_probe on a private Xvfb display.

Usage: window_probe_test.py <case> <window_probe> <send_close_request>
Cases: picture, frame-lock, keys, resize, close, no-display. Each case starts its own X server
(the display number is chosen by the server, so parallel runs never collide) and kills it at
the end.
"""

import os
import queue
import signal
import subprocess
import sys
import threading
import time

from virtual_display import Failure, XServer, screenshot, without_display

TIMEOUT = 8.0  # seconds for any single thing to happen

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
WHITE, BLACK, YELLOW, CYAN = (255, 255, 255), (0, 0, 0), (255, 255, 0), (0, 255, 255)


class Probe:
    """window_probe running on the X server; its stdout lines are collected as they come."""

    def __init__(self, path, server):
        self.server = server
        self.process = subprocess.Popen([path], env=server.env(), stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())
        self.lines.put(None)

    def next_line(self):
        try:
            line = self.lines.get(timeout=TIMEOUT)
        except queue.Empty:
            raise Failure("the probe printed nothing for %.0f s" % TIMEOUT)
        if line is None:
            raise Failure("the probe ended early: %s" % self.process.stderr.read())
        return line

    def expect(self, *wanted):
        for want in wanted:
            line = self.next_line()
            if line != want:
                raise Failure("expected %r from the probe, got %r" % (want, line))

    def finish(self):
        """Waits for the probe to end after Esc; it must end with exit code 0."""
        try:
            code = self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the probe did not end after Esc")
        if code != 0:
            raise Failure("the probe ended with exit code %d: %s"
                          % (code, self.process.stderr.read()))

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def x_tool(server, *args):
    return subprocess.run(list(args), env=server.env(), check=True, capture_output=True, text=True,
                          timeout=TIMEOUT).stdout


def press_escape(server, window):
    """Esc ends the probe; its window may be gone before the key's release reaches it, so a
    complaint about that is no failure: the probe's own report decides."""
    subprocess.run(["xdotool", "key", "--window", window, "Escape"], env=server.env(),
                   capture_output=True, timeout=TIMEOUT)


def find_window(server):
    ids = x_tool(server, "xdotool", "search", "--sync", "--name", "^window_probe$").split()
    if len(ids) != 1:
        raise Failure("expected one window named window_probe, found %r" % ids)
    return ids[0]


def window_size(server, window):
    for line in x_tool(server, "xdotool", "getwindowgeometry", window).splitlines():
        if "Geometry:" in line:
            width, height = line.split()[-1].split("x")
            return int(width), int(height)
    raise Failure("no geometry for window %s" % window)


def pixel(shot, x, y):
    width, _, rgb = shot
    i = 3 * (y * width + x)
    return tuple(rgb[i:i + 3])


def close_to(colour, want):
    return all(abs(a - b) <= 8 for a, b in zip(colour, want))


def picture_mismatches(shot, width, height):
    """Where the window differs from the probe's picture at width x height, as texts."""
    mismatches = []
    if shot[0] != width or shot[1] != height:
        return ["screenshot is %dx%d, expected %dx%d" % (shot[0], shot[1], width, height)]
    places = [((2 * bar + 1) * width // 8, y, colour)
              for bar, colour in enumerate([RED, GREEN, BLUE, WHITE]) for y in (0, 100, 199)]
    places += [(0, 0, RED), (width - 1, 199, WHITE), (width // 2, 200, BLACK),
               (width // 2, 300, BLACK),
               (5, height - 1, CYAN), (width - 1, height - 1, CYAN), (width - 1, height - 2, BLACK)]
    for x, y, want in places:
        got = pixel(shot, x, y)
        if not close_to(got, want):
            mismatches.append("pixel (%d, %d) is %r, expected %r" % (x, y, got, want))
    # The text "window_probe" (12 cells from (16, 240)): yellow glyph pixels on black only.
    text = [pixel(shot, x, y) for x in range(16, 16 + 12 * 8) for y in range(240, 248)]
    yellow = sum(close_to(c, YELLOW) for c in text)
    other = [c for c in text if not close_to(c, YELLOW) and not close_to(c, BLACK)]
    if yellow < 40 or other:
        mismatches.append("text cells: %d yellow pixels, other colours %r" % (yellow, other[:5]))
    return mismatches


def wait_for_picture(server, window, width, height, save_as=None):
    deadline = time.monotonic() + TIMEOUT
    while True:
        shot = screenshot(window, server.env(), TIMEOUT)
        mismatches = picture_mismatches(shot, width, height)
        if not mismatches:
            break
        if time.monotonic() > deadline:
            raise Failure("the window does not show the picture:\n  " + "\n  ".join(mismatches))
        time.sleep(0.1)
    if save_as:
        subprocess.run(["import", "-window", window, save_as], env=server.env(), check=True,
                       timeout=TIMEOUT)


def case_picture(probe, server, window, args):
    if x_tool(server, "xdotool", "getwindowname", window).strip() != "window_probe":
        raise Failure("the window's title is not the program's name")
    if window_size(server, window) != (640, 480):
        raise Failure("the window is %dx%d, expected 640x480" % window_size(server, window))
    wait_for_picture(server, window, 640, 480, save_as="window_probe_picture.png")
    # Hidden and shown again, the window repaints its picture by itself (no new frame comes).
    x_tool(server, "xdotool", "windowunmap", "--sync", window)
    x_tool(server, "xdotool", "windowmap", "--sync", window)
    wait_for_picture(server, window, 640, 480)
    press_escape(server, window)
    probe.expect("key 1b")


def case_frame_lock(probe, server, window, args):
    wait_for_picture(server, window, 640, 480)
    x_tool(server, "xdotool", "key", "--window", window, "h")
    probe.expect("key 68", "held")
    # While the frame lock is held, not even a repaint shows what was drawn meanwhile.
    x_tool(server, "xdotool", "windowunmap", "--sync", window)
    x_tool(server, "xdotool", "windowmap", "--sync", window)
    time.sleep(0.5)
    wait_for_picture(server, window, 640, 480)
    x_tool(server, "xdotool", "key", "--window", window, "h")
    probe.expect("key 68", "released")
    deadline = time.monotonic() + TIMEOUT
    def block_shown():
        shot = screenshot(window, server.env(), TIMEOUT)
        return all(close_to(pixel(shot, 320, y), CYAN) for y in (300, 350, 399))

    while not block_shown():
        if time.monotonic() > deadline:
            raise Failure("the frame drawn under the lock is not shown after the unlock")
        time.sleep(0.1)
    press_escape(server, window)
    probe.expect("key 1b")


def case_keys(probe, server, window, args):
    wait_for_picture(server, window, 640, 480)
    x_tool(server, "xdotool", "windowfocus", "--sync", window)
    # Character keys (ä as its code page 437 byte, Shift+d as "D" without an entry of its own),
    # the control keys and a function key, typed the way a keyboard types them.
    x_tool(server, "xdotool", "key", "--delay", "30", "a", "b", "F5", "Return", "BackSpace", "Tab",
           "adiaeresis", "shift+d", "Left")
    probe.expect("key 61", "key 62", "key ff3e", "key 0d", "key 08", "key 09", "key 84", "key 44",
                 "key ff50")
    # A held key enters once per repetition of the keyboard's auto-repeat.
    x_tool(server, "xdotool", "keydown", "c")
    time.sleep(1.5)
    x_tool(server, "xdotool", "keyup", "c")
    x_tool(server, "xdotool", "key", "Escape")
    repeats = 0
    line = probe.next_line()
    while line == "key 63":
        repeats += 1
        line = probe.next_line()
    if repeats < 3:
        raise Failure("a held key entered %d times, expected its repetitions" % repeats)
    if line != "key 1b":
        raise Failure("expected Esc after the held key, got %r" % line)


def case_resize(probe, server, window, args):
    wait_for_picture(server, window, 640, 480)
    x_tool(server, "xdotool", "key", "--window", window, "plus")
    probe.expect("key 2b", "size 1200x800")
    if window_size(server, window) != (1200, 800):
        raise Failure("after + the window is %dx%d, expected 1200x800"
                      % window_size(server, window))
    wait_for_picture(server, window, 1200, 800, save_as="window_probe_large.png")
    x_tool(server, "xdotool", "key", "--window", window, "minus")
    probe.expect("key 2d", "size 640x480")
    if window_size(server, window) != (640, 480):
        raise Failure("after - the window is %dx%d, expected 640x480" % window_size(server, window))
    wait_for_picture(server, window, 640, 480)
    press_escape(server, window)
    probe.expect("key 1b")


def case_close(probe, server, window, args):
    wait_for_picture(server, window, 640, 480)
    for _ in range(2):
        x_tool(server, args.send_close_request, window)
        probe.expect("key ff6b")
    # The window is still there and still takes keys.
    if find_window(server) != window or probe.process.poll() is not None:
        raise Failure("the close button closed the window")
    wait_for_picture(server, window, 640, 480)
    press_escape(server, window)
    probe.expect("key 1b")


def run_on_display(case, args):
    with XServer() as server:
        probe = Probe(args.probe, server)
        try:
            probe.expect("size 640x480")
            window = find_window(server)
            case(probe, server, window, args)
            probe.finish()
        finally:
            probe.kill()


def expect_no_window(args, env, display_text):
    started = time.monotonic()
    result = subprocess.run([args.probe], env=env, capture_output=True, text=True,
                            timeout=TIMEOUT)
    if result.returncode != 2:
        raise Failure("without a display the probe ended with %d, expected 2" % result.returncode)
    message = result.stderr
    if "window_probe: cannot open a window:" not in message or display_text not in message:
        raise Failure("unclear message without a display: %r" % result.stderr)
    if result.stdout:
        raise Failure("the work ran without a window: %r" % result.stdout)
    if time.monotonic() - started > 3:
        raise Failure("ending without a display took too long")


def case_no_display(args):
    expect_no_window(args, without_display(), "(DISPLAY is not set)")
    # A display that no server offers.
    if not os.path.exists("/tmp/.X11-unix/X4095"):
        expect_no_window(args, dict(without_display(), DISPLAY=":4095"), '(DISPLAY is ":4095")')


class Args:
    def __init__(self, argv):
        if len(argv) != 4:
            raise SystemExit(__doc__)
        self.case, self.probe, self.send_close_request = argv[1:]


def main(argv):
    args = Args(argv)
    cases = {"picture": case_picture, "frame-lock": case_frame_lock, "keys": case_keys,
             "resize": case_resize, "close": case_close}
    try:
        if args.case == "no-display":
            case_no_display(args)
        else:
            run_on_display(cases[args.case], args)
    except (Failure, subprocess.SubprocessError) as failure:
        print("FAIL %s: %s" % (args.case, failure))
        return 1
    print("ok %s" % args.case)
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    sys.exit(main(sys.argv))
