#!/usr/bin/env python3
"""The Windows program under Wine, in its window on a private X server, against the Linux
stand-in ArticleServer: the cases of crawler_e2e_test.py with the crawler started by Wine.

Usage: windows_e2e_test.py <case> <crawler.exe> <article-server> [<send_close_request>]
       windows_e2e_test.py https|https-untrusted <https crawler.exe> <article-server> <tls dir> \
                           <make_test_certificates.sh>
       windows_e2e_test.py refused <crawler.exe that asks for Winsock 0.0>
Cases:
  dump, window, https, https-untrusted
           as in crawler_e2e_test.py (the word dump against the one computed here, "+" and "-",
           the close button, Esc with exit code 0; the https profile with its CA made at test
           time, a foreign CA refused).
  refused  the socket library refuses to start (WSAStartup fails): the crawler prints
           "Error: WSAStartup failed" and ends with exit code 1, and no window appears.
  ctrl-c   SIGINT, which Wine hands to the console control handler as CTRL_C_EVENT, ends the
           crawler with its normal shut-down and then with STATUS_CONTROL_C_EXIT (0xC000013A,
           whose low byte 0x3A Linux sees), the word dump written before left as it was.

Wine runs with the prefix of WINEPREFIX (scripts/windows-tests.sh makes a private one). Every
case starts after the wineserver of the case before has ended: a wineserver outlives its last
process by a few seconds, still bound to that case's X server, and a crawler started under it
draws nothing on the new one. Keys
reach the window through XTEST (xdotool key without --window, after windowfocus), as Wine takes
no sent key events.
"""

import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import crawler_e2e_test
import crawler_harness
from crawler_harness import Failure, XServer, start, stop

WINE = os.environ.get("WINE", "wine")
WINESERVER = os.environ.get("WINESERVER", "wineserver")


def start_wine(args, xserver, **kwargs):
    """Starts a Windows program under a wineserver of its own, once the last one has ended."""
    subprocess.run([WINESERVER, "-w"], check=False, timeout=60)
    return start([WINE] + args, env=xserver.env(), **kwargs)


class WineCrawler(crawler_harness.Crawler):
    """The Windows crawler under Wine; its window is named by the exe without ".exe"."""

    def __enter__(self):
        if os.path.exists(self.dump_path):
            os.remove(self.dump_path)
        import tempfile
        self.log = tempfile.TemporaryFile()
        self.process = start_wine([self.path], self.xserver, stdout=self.log,
                                  stderr=subprocess.STDOUT, cwd=os.path.dirname(self.path))
        name = "^%s$" % os.path.splitext(os.path.basename(self.path))[0]
        ids = self.x("xdotool", "search", "--sync", "--name", name).split()
        if len(ids) != 1:
            raise Failure("expected one crawler window, found %r" % ids)
        self.window = ids[0]
        return self

    def wait_for_exit(self, timeout=crawler_harness.STEP_TIMEOUT):
        # Wine takes about two seconds to take down a process with a window, after Esc as well.
        super().wait_for_exit(timeout + WINE_TEARDOWN_SECONDS)

    def x(self, *args):
        # Wine's first window may take longer than a Linux program's to appear.
        try:
            return subprocess.run(list(args), env=self.xserver.env(), check=True,
                                  capture_output=True, text=True, timeout=60).stdout
        except subprocess.TimeoutExpired:
            raise Failure("%s did not finish in 60 s" % " ".join(args))


def case_refused(args):
    exe = args[0]
    with XServer() as xserver:
        process = start_wine([exe], xserver, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             cwd=os.path.dirname(exe))
        try:
            output, _ = process.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            stop(process)
            raise Failure("the crawler did not end within 60 s")
        windows = subprocess.run(["xdotool", "search", "--name", "^wortsammler$"],
                                 env=xserver.env(), capture_output=True, text=True).stdout.split()
    text = output.decode("latin-1")
    if process.returncode != 1 or "Error: WSAStartup failed\r\n" not in text or windows:
        raise Failure("expected exit code 1, the WSAStartup message and no window; got exit "
                      "code %d, %d windows and:\n%s" % (process.returncode, len(windows), text))
    print("WSAStartup refused: the message and exit code 1, no window")


# How much longer than a Linux process a Windows one under Wine takes to end.
WINE_TEARDOWN_SECONDS = 2.5
# STATUS_CONTROL_C_EXIT as Linux sees it: Wine passes the low byte of the Windows exit code.
CONTROL_C_EXIT_STATUS = 0xC000013A & 0xFF
CONTROL_C_TIMEOUT = 1.0 + WINE_TEARDOWN_SECONDS


def case_ctrl_c(args):
    crawler_path, server_path = args[:2]
    with XServer() as xserver, \
            crawler_harness.ArticleServer(server_path, port=crawler_e2e_test.TEST_PORT,
                                          seed=crawler_e2e_test.SEED, latency_ms=20), \
            WineCrawler(crawler_path, xserver) as crawler:
        crawler_e2e_test.wait_for_view(crawler, 1)
        crawler.press("d")
        dump = crawler.wait_for_dump()
        crawler.process.send_signal(signal.SIGINT)
        try:
            code = crawler.process.wait(timeout=CONTROL_C_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the crawler did not end within %.0f s of SIGINT" % CONTROL_C_TIMEOUT)
        if code != CONTROL_C_EXIT_STATUS:
            raise Failure("after SIGINT the crawler ended with exit code %d, not %d; it printed:\n%s"
                          % (code, CONTROL_C_EXIT_STATUS, crawler.output()))
        with open(crawler.dump_path, "rb") as f:
            if f.read() != dump:
                raise Failure("wiki.txt changed after SIGINT")
        if os.path.exists(crawler.dump_path + ".tmp"):
            raise Failure("a wiki.txt.tmp was left behind")
    print("SIGINT ended the crawler with STATUS_CONTROL_C_EXIT")


def main(argv):
    crawler_e2e_test.Crawler = WineCrawler
    own = {"refused": case_refused, "ctrl-c": case_ctrl_c}
    if len(argv) >= 3 and argv[1] in own:
        try:
            own[argv[1]](argv[2:])
        except Failure as failure:
            print("FAILED: %s" % failure, file=sys.stderr)
            return 1
        return 0
    return crawler_e2e_test.main(argv)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
