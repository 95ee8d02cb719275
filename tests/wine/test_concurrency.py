"""The programs started at the same moment in one prefix, as a burst of
double clicks or links starts them: every run must still end well, and what
they all write (the link scheme registration, the installed launcher and the
uninstall entry) must come out whole.

start_at_once.exe creates the processes suspended and resumes them together,
so that they race through their start-up and their writes."""

import json
import unittest

from winetest import (COMMAND_KEY, INSTALLER, LAUNCHER, REG_SZ, SCHEME_KEY, SIGN_UP_PAGE,
                      UNINSTALL_KEY, Installation, Prefix, RecordingBrowser, place, tool)

LAUNCHERS_AT_ONCE = 8
# Two silent installers collide on the launcher's file (one of them cannot
# open it: exit code 3) in 2 to 6 rounds out of a hundred on two cores; 150
# rounds (about 0.2 s each) make one likely in every run.
INSTALLER_ROUNDS = 150
INSTALLED, CANNOT_OPEN_THE_FILE = 0, 3
PLACED_LAUNCHER = r"C:\Tevra Comms Test\TevraComms.exe"
PLACED_INSTALLER = r"C:\Downloads\TevraComms-Setup-0.0.1.exe"


def registration(launcher):
    """The link scheme's keys, as registry_probe reads them, after the
    launcher at this path registered it: these values and subkeys, no more."""
    return {
        SCHEME_KEY: {
            "values": {
                "": {"type": REG_SZ, "bytes": 50, "data": "URL:Tevra Comms Protocol\0"},
                "URL Protocol": {"type": REG_SZ, "bytes": 2, "data": "\0"},
            },
            "subkeys": ["shell"],
        },
        SCHEME_KEY + r"\shell": {"values": {}, "subkeys": ["open"]},
        SCHEME_KEY + r"\shell\open": {"values": {}, "subkeys": ["command"]},
        COMMAND_KEY: {
            "values": {"": {"type": REG_SZ, "bytes": 2 * (len(launcher) + 8),
                            "data": '"%s" "%%1"\0' % launcher}},
            "subkeys": [],
        },
    }


class StartedTogether(unittest.TestCase):
    """One prefix, with a recording browser where the launcher looks first."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = cls.enterClassContext(Prefix())
        cls.browser = RecordingBrowser(cls.prefix)

    def setUp(self):
        self.browser.forget_starts()

    def start_at_once(self, count, program, *args):
        """Starts count copies of program together and runs them, and all they
        start, to their end; returns their exit codes."""
        result = self.prefix.run(tool("start_at_once.exe"), count, program, *args)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        self.prefix.wait_idle()
        return json.loads(result.stdout)["exit_codes"]

    def test_launchers_each_open_the_page_and_leave_one_registration(self):
        launcher = place(self.prefix, LAUNCHER, PLACED_LAUNCHER)
        self.assertIsNone(self.prefix.query_key(SCHEME_KEY))
        for round_ in ("registering", "registered already"):
            with self.subTest(round_):
                self.browser.forget_starts()
                self.assertEqual(self.start_at_once(LAUNCHERS_AT_ONCE, launcher),
                                 [0] * LAUNCHERS_AT_ONCE)
                self.assertEqual([start["argv"][1:2] for start in self.browser.starts()],
                                 [["--app=" + SIGN_UP_PAGE]] * LAUNCHERS_AT_ONCE)
                expected = registration(launcher)
                self.assertEqual({key: self.prefix.query_key(key) for key in expected},
                                 expected)

    def test_silent_installers_leave_one_whole_install(self):
        installer = place(self.prefix, INSTALLER, PLACED_INSTALLER)
        installed = Installation(self.prefix)
        installed.unix_folder.mkdir(parents=True, exist_ok=True)
        for round_ in range(INSTALLER_ROUNDS):
            with self.subTest(round=round_):
                installed.unix_executable.write_bytes(b"an older launcher")
                codes = self.start_at_once(2, installer, "/S")
                self.assertLessEqual(set(codes), {INSTALLED, CANNOT_OPEN_THE_FILE})
                self.assertEqual(installed.unix_executable.read_bytes(), LAUNCHER.read_bytes())
                # The entry, written by both alike, is looked at after a
                # collision and at the end.
                if CANNOT_OPEN_THE_FILE in codes or round_ == INSTALLER_ROUNDS - 1:
                    self.assertEqual(self.prefix.query_key(UNINSTALL_KEY)["values"],
                                     installed.uninstall_values())
        self.assertEqual(self.browser.starts(), [])


if __name__ == "__main__":
    unittest.main()
