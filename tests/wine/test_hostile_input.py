"""Hostile command-line texts, from a seeded generator (tests/hostile_text.h),
against the real programs under Wine: the launcher's browser switches must
always split into exactly three arguments, and the installer must start the
launcher exactly when its command line holds neither "/S" nor "--silent".

argv_check runs the generated texts (its header says how); a failing case is
rebuilt from the seed and its case number.
"""

import collections
import json
import unittest

from winetest import (INSTALLER, LAUNCHER, SERVICE,
                      SIGN_UP_PAGE, Prefix, RecordingBrowser, place, tool)

SEED = 20261210
CHECKED_TEXTS = 5000
# A launcher run costs about 0.3 s under Wine (its update check fails at
# once: the update host does not resolve here).
LAUNCHER_RUNS = 250
INSTALLER_RUNS = 30

ARGV_CHECK = tool("argv_check.exe")
PLACED_LAUNCHER = r"C:\Downloads\TevraComms.exe"
PLACED_INSTALLER = r"C:\Downloads\TevraComms-Setup-0.0.1.exe"


def start_generated(prefix, program, first, count):
    """Starts program on generated texts first .. first+count-1 (argv_check
    start) and returns the runs: {"case", "text", "exit", "page"} each."""
    result = prefix.run(ARGV_CHECK, "start", program, SEED, first, count, timeout=600,
                        check=True)
    return [json.loads(line) for line in result.stdout.decode().splitlines()]


def silent_by_reference(text):
    """The installer's rule, plainly: either switch anywhere in the text."""
    return "/S" in text or "--silent" in text


class HostileInput(unittest.TestCase):
    """All cases in one prefix, with a recording browser where the launcher
    looks first."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = cls.enterClassContext(Prefix())
        cls.browser = RecordingBrowser(cls.prefix)
        cls.profile = cls.prefix.profile_folder

    def setUp(self):
        self.browser.forget_starts()

    def assert_app_window(self, argv):
        """argv is the launcher's browser start: the three switches, exactly."""
        shown = [argument[:200] for argument in argv]
        self.assertEqual(len(argv), 4, shown)
        self.assertTrue(argv[1].startswith("--app=" + SERVICE), shown)
        self.assertEqual(argv[2:], ["--user-data-dir=" + self.profile, "--class=TevraComms"])

    def test_switches_split_into_three_arguments_for_any_text(self):
        result = self.prefix.run(ARGV_CHECK, "check", SEED, CHECKED_TEXTS)
        self.assertEqual(result.returncode, 0, result.stdout.decode())
        self.assertEqual(result.stdout.decode().splitlines()[0],
                         "cases %d failures 0" % CHECKED_TEXTS)

    def test_the_launcher_opens_one_app_window_per_text(self):
        launcher = place(self.prefix, LAUNCHER, PLACED_LAUNCHER)
        runs = start_generated(self.prefix, launcher, 0, LAUNCHER_RUNS)
        self.prefix.wait_idle()

        self.assertEqual([run for run in runs if run["exit"] != 0], [])
        starts = [start["argv"] for start in self.browser.starts()]
        for argv in starts:
            self.assert_app_window(argv)
        # One start per run, each on the page meant for its text. Runs do not
        # wait for their browser, so starts are matched by page, not by order.
        self.assertEqual(collections.Counter(argv[1] for argv in starts),
                         collections.Counter("--app=" + run["page"] for run in runs))
        # The sample means something only when most texts carried a link.
        deep_links = [run for run in runs if run["page"] != SIGN_UP_PAGE]
        self.assertGreater(len(deep_links), len(runs) // 2)

    def test_the_installer_starts_the_launcher_unless_silent(self):
        installer = place(self.prefix, INSTALLER, PLACED_INSTALLER)
        outcomes = set()
        for case in range(INSTALLER_RUNS):
            self.browser.forget_starts()
            runs = start_generated(self.prefix, installer, case, 1)
            self.prefix.wait_idle()
            for run in runs:
                silent = silent_by_reference(run["text"])
                with self.subTest(case=case, text=run["text"][:200], silent=silent):
                    self.assertEqual(run["exit"], 0)
                    starts = [start["argv"] for start in self.browser.starts()]
                    self.assertEqual(len(starts), 0 if silent else 1)
                    for argv in starts:
                        self.assert_app_window(argv)
                        self.assertEqual(argv[1], "--app=" + SIGN_UP_PAGE)
                outcomes.add(silent)
        self.assertEqual(outcomes, {False, True})

    def test_the_installers_own_name_is_not_searched(self):
        # Wine starts it as "C:\Downloads\TevraComms-Setup--silent.exe", quoted,
        # with nothing after the name.
        renamed = place(self.prefix, INSTALLER, r"C:\Downloads\TevraComms-Setup--silent.exe")
        result = self.prefix.run(self.prefix.unix_path(renamed))
        self.prefix.wait_idle()
        self.assertEqual(result.returncode, 0)
        starts = [start["argv"] for start in self.browser.starts()]
        self.assertEqual(len(starts), 1)
        self.assertEqual(starts[0][1], "--app=" + SIGN_UP_PAGE)


if __name__ == "__main__":
    unittest.main()
