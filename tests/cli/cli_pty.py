#!/usr/bin/env python3
"""deepnums-cli -i on a pseudo-terminal: line editing, history, completion, session words,
Ctrl-C and Ctrl-D, and values cut to a screenful.

    cli_pty.py DEEPNUMS_CLI

Three sessions in a fresh HOME on an 80 x 24 terminal. The first types lines with editing
keys (Ctrl-A to the start), recalls a line with the Up arrow, completes a command name
with Tab, asks for help and changes the digits and the angle unit; the second recalls the
first session's last line from the history file. The third drops a half-typed line with
Ctrl-C, stops a long factorial with Ctrl-C (the session goes on), shows a 2,000-digit π
cut to its first and last rows and then whole with "show", and ends with Ctrl-D. Each
step waits for the text it expects; a step that times out prints what the terminal
showed. Exit 77 when the build has no line editing.
"""
import fcntl
import os
import pty
import select
import struct
import subprocess
import sys
import tempfile
import termios
import time

CLI = sys.argv[1]
failures = []


class Session:
    def __init__(self, home):
        env = dict(os.environ, HOME=home, TERM="xterm")
        env.pop("XDG_STATE_HOME", None)
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execve(CLI, [CLI, "-d", "12", "-i"], env)
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
        self.seen = ""

    def send(self, text):
        os.write(self.fd, text.encode())

    def expect(self, name, want, timeout=10.0):
        """Waits until want appears in the output after what earlier steps consumed."""
        end = time.time() + timeout
        while want not in self.seen:
            left = end - time.time()
            if left <= 0:
                failures.append(f"{name}: no {want!r} in {self.seen[-600:]!r}")
                return False
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                try:
                    self.seen += os.read(self.fd, 4096).decode(errors="replace")
                except OSError:
                    break
        if want in self.seen:
            self.seen = self.seen[self.seen.index(want) + len(want):]
            return True
        failures.append(f"{name}: session ended before {want!r}")
        return False

    def close(self, last="quit\r"):
        self.send(last)
        _, status = os.waitpid(self.pid, 0)
        os.close(self.fd)
        return os.waitstatus_to_exitcode(status)


def main():
    linked = subprocess.run(["ldd", CLI], capture_output=True, text=True).stdout
    if "libedit" not in linked:
        print("SKIP: deepnums-cli built without libedit")
        return 77
    home = tempfile.mkdtemp()
    s = Session(home)
    s.expect("prompt", "deepnums> ")
    s.send("3 +\x01" + "4 \r")  # Ctrl-A: "4 " goes before "3 +"
    s.expect("edit", "R0: 7")
    s.send("\x1b[A\r")  # Up: "4 3 +" again
    s.expect("history-up", "4 3 +")
    s.expect("history-up-run", "\r\nR0: 7\r\ndeepnums> ")
    s.send("sqr\t\r")  # completes to "sqrt"
    s.expect("complete", "R0: 2. 64575131106")
    s.send("help\r")
    s.expect("help", "digits N")
    s.send("digits 20\r")
    s.expect("digits", "digits 20, deg")
    s.send("rad\r")
    s.expect("rad", "digits 20, rad")
    s.send("pi 6 / sin\r")
    s.expect("sin-rad", "R0: .5")
    s.send("7 8 *\r")
    s.expect("last", "R0: 56")
    if "^[[A" in s.seen or "unknown token" in s.seen:
        failures.append(f"raw escape or unknown token in {s.seen!r}")
    rc = s.close()
    if rc != 0:
        failures.append(f"first session exit {rc}")
    history = os.path.join(home, ".local/state/deepnums/history")
    if not os.path.exists(history):  # libedit's own encoding inside: recalled below
        failures.append(f"no history file {history}")

    s = Session(home)
    s.expect("prompt-2", "deepnums> ")
    s.send("\x1b[A\x1b[A\r")  # the first session's last line before "quit"
    s.expect("history-file", "R0: 56")
    s.close()

    s = Session(home)
    s.expect("prompt-3", "deepnums> ")
    s.send("12 34\x03")  # Ctrl-C drops the half-typed line
    s.expect("ctrl-c-prompt", "deepnums> ")
    s.send("+\r")  # on the empty stack: 0, not 12 + 34
    s.expect("line-dropped", "R0: 0\r\n")
    s.send("digits 100000\r100000000 !\r")
    s.expect("running", "(Ctrl-C cancels)")
    s.send("\x03")
    s.expect("ctrl-c-run", "status: aborted")
    s.send("2 3 +\r")
    s.expect("goes-on", "R0: 5")
    s.send("digits 2000\rpi\r")
    s.expect("cut", "R0: 3. 1415926535897932384 62643383279502884197")
    s.expect("cut-note", "\u2026 (1,677 digits not shown; `show` prints all)\r\n")
    s.expect("cut-tail", "59958133904780275901\r\ndeepnums> ")
    s.send("show\r")
    s.expect("show-whole", "R0: 3. 1415926535897932384")
    s.expect("show-middle", "96446229489549303819\r\n64428810975665933446")
    s.expect("show-end", "59958133904780275901\r\ndeepnums> ")
    # libedit writes the prompt before it switches the terminal to its own mode; a Ctrl-D
    # in that instant is the terminal's end-of-file, not a key. A person is never that quick.
    time.sleep(0.3)
    rc = s.close("\x04")  # Ctrl-D at the prompt ends
    if rc != 0:
        failures.append(f"Ctrl-D: exit {rc}")

    for f in failures:
        print("FAIL", f)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
