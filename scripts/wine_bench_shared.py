"""What the measured runs under Wine share: running Wine, telling when the program's window
shows, and the stand-in shell with one fake window that the program connects to."""
import subprocess

TITLE = "Quellix (Nimbrel)"


def wine(wine_exe, *args, check=False):
    subprocess.run([wine_exe, *args], check=check, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def window_shown():
    """True once a window with the title is mapped: Wine makes the X window, with its title,
    as soon as the program creates it, long before it is shown."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        if '"%s"' % TITLE in line:
            window = subprocess.run(["xwininfo", "-id", line.split()[0]], capture_output=True, text=True).stdout
            if "IsViewable" in window:
                return True
    return False


class Standin:
    """The stand-in shell with one fake window; each `before-navigate` is answered after every
    subscriber returned."""

    def __init__(self, wine_exe, standin_exe):
        self.process = subprocess.Popen([wine_exe, standin_exe, "--fake", "1"], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        while "READY" not in self.process.stdout.readline():
            pass

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def close(self):
        self.ask("quit")
        self.process.wait(timeout=30)
