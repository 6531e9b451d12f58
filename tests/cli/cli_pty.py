#!/usr/bin/env python3
"""deepnums-cli -i on a pseudo-terminal: line editing, history, completion, session words.

    cli_pty.py DEEPNUMS_CLI

Two sessions in a fresh HOME. The first types lines with editing keys (Ctrl-A to the
start), recalls a line with the Up arrow, completes a command name with Tab, asks for
help and changes the digits and the angle unit; the second recalls the first session's
last line from the history file. Each step waits for the text it expects; a step that
times out prints what the terminal showed. Exit 77 when the build has no line editing.
"""
import os
import pty
import select
import subprocess
import sys
import tempfile
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

    def close(self):
        self.send("quit\r")
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
    s.expect("history-up-run", "R2: 4\r\nR1: 3\r\nR0: 7")
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

    for f in failures:
        print("FAIL", f)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
