"""The launcher end to end under Wine: which browser it opens and how, the link
scheme it registers and the road a link takes through it, and identity mode.

Browsers are record_start.exe placed where the launcher looks for them; links
are followed the way the shell follows them, through the registered open
command (registry_probe follow).
"""

import json
import shutil
import unittest

from winetest import (COMMAND_KEY, LAUNCHER, QUILN_BROWSER, REG_SZ, SCHEME_KEY, SERVICE,
                      SIGN_UP_PAGE, Prefix, RecordingBrowser, place, tool)

IDENTITY_RECORD = ('{"product":"Tevra Comms","vendor":"Tevra Holdings",'
                   '"bundleId":"com.tevraholdings.comms",'
                   '"appId":"{5E0B7C2A-41D3-4F8E-A6B9-2C7D90E13F48}",'
                   '"version":"0.0.1","platform":"win-x64"}')
# Where the tests install the launcher: a folder name with blanks, so that
# the open command has to quote the path.
INSTALLED_LAUNCHER = r"C:\Program Files\Tevra Comms Test\TevraComms.exe"

# The browsers the launcher looks for, in its order; %LOCALAPPDATA% stands for
# the prefix's local application data folder.
QUILN_PER_USER = r"%LOCALAPPDATA%\Programs\Tevra Quiln\quiln-browser.exe"
QUILN_OLD_NAME = r"C:\Program Files\Tevra Quiln\quiln.exe"
EDGE_X86 = r"C:\Program Files (x86)\Microsoft\Edge\Application\msedge.exe"
EDGE = r"C:\Program Files\Microsoft\Edge\Application\msedge.exe"
BROWSER_CANDIDATES = [QUILN_BROWSER, QUILN_PER_USER, QUILN_OLD_NAME, EDGE_X86, EDGE]
# What the prefix opens https URLs with, instead of Wine's winebrowser.
DEFAULT_BROWSER = r"C:\Default Browser\browser.exe"

# A registration of the scheme by another program, or an older launcher
# elsewhere, with values and a subkey of its own.
SOMEONE_ELSES_REGISTRATION = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Classes\tevra-comms]
@="URL:Someone Else"
"URL Protocol"="x"
"EditFlags"=dword:00000002

[HKEY_CURRENT_USER\Software\Classes\tevra-comms\DefaultIcon]
@="C:\\icons\\tevra.ico"

[HKEY_CURRENT_USER\Software\Classes\tevra-comms\shell\open\command]
@="\"C:\\Old Place\\TevraComms.exe\" \"%1\""
"DelegateExecute"=""
"""


def new_prefix():
    """A fresh prefix whose user name, and so every path in the user's folder,
    holds a blank and a letter beyond ASCII."""
    prefix = Prefix()
    prefix.env["USER"] = "T\u00ebvra Tester"
    return prefix


def vendor_folder(prefix):
    """The folder under which the launcher keeps its data."""
    return prefix.local_app_data + r"\TevraHoldings"


def app_window_argv(prefix, browser, page):
    """The argument vector of a browser started as an app window on a page."""
    return [browser, "--app=" + page, "--user-data-dir=" + prefix.profile_folder,
            "--class=TevraComms"]


def reg(prefix, *args):
    """Runs Wine's reg.exe, which must succeed."""
    result = prefix.run("reg", *args)
    if result.returncode != 0:
        raise AssertionError("reg %s: %s" % (args, result.stdout.decode(errors="replace")))


class BrowserAndRegistrationTest(unittest.TestCase):
    """Normal starts in one prefix; each case sets up the browsers, folders and
    keys it depends on."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = cls.enterClassContext(new_prefix())
        place(cls.prefix, LAUNCHER, INSTALLED_LAUNCHER)
        # Wine's ShellExecute reads URL handlers from HKEY_CLASSES_ROOT only.
        reg(cls.prefix, "add", r"HKCR\https\shell\open\command", "/ve",
            "/d", '"%s" "%%1"' % DEFAULT_BROWSER, "/f")

    def windows_path(self, path):
        return path.replace("%LOCALAPPDATA%", self.prefix.local_app_data)

    def start_with_browsers(self, installed, broken=(), link=None):
        """Places recording browsers at the installed candidates and empty files
        (there, but not startable) at the broken ones, with no other browser
        and no profile folder; runs the launcher (with the link, if any) and
        all it starts to their end. Returns the argument vectors the browsers,
        the default one included, were started with."""
        unix_paths = [self.prefix.unix_path(self.windows_path(path))
                      for path in BROWSER_CANDIDATES + [DEFAULT_BROWSER]]
        for folder in {path.parent for path in unix_paths}:
            shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(self.prefix.unix_path(vendor_folder(self.prefix)), ignore_errors=True)
        recorders = [RecordingBrowser(self.prefix, self.windows_path(path))
                     for path in [*installed, DEFAULT_BROWSER]]
        for path in broken:
            unix_path = self.prefix.unix_path(self.windows_path(path))
            unix_path.parent.mkdir(parents=True, exist_ok=True)
            unix_path.write_bytes(b"")

        result = self.prefix.run(INSTALLED_LAUNCHER, *([link] if link else []))
        self.prefix.wait_idle()
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        # Browsers in one folder share their record of starts.
        records = {recorder.path.parent: recorder for recorder in recorders}
        return [start["argv"] for recorder in records.values() for start in recorder.starts()]

    def test_the_first_browser_found_opens_an_app_window(self):
        cases = [
            # (installed browsers, broken ones, the browser expected to start)
            ([QUILN_BROWSER], [], QUILN_BROWSER),
            ([QUILN_PER_USER], [], QUILN_PER_USER),
            ([EDGE], [], EDGE),
            (BROWSER_CANDIDATES, [], QUILN_BROWSER),
            ([QUILN_OLD_NAME, EDGE_X86, EDGE], [], QUILN_OLD_NAME),
            ([EDGE_X86, EDGE], [], EDGE_X86),
            ([EDGE], [QUILN_BROWSER, QUILN_PER_USER], EDGE),
        ]
        for installed, broken, expected in cases:
            with self.subTest(installed=installed, broken=broken):
                started = self.start_with_browsers(installed, broken)
                self.assertEqual(started, [app_window_argv(
                    self.prefix, self.windows_path(expected), SIGN_UP_PAGE)])
                self.assertTrue(self.prefix.unix_path(self.prefix.profile_folder).is_dir())

    def test_without_a_browser_found_the_default_browser_opens_the_page(self):
        for broken in ([], [QUILN_BROWSER, EDGE]):
            with self.subTest(broken=broken):
                started = self.start_with_browsers([], broken)
                self.assertEqual(started, [[DEFAULT_BROWSER, SIGN_UP_PAGE]])
                self.assertTrue(self.prefix.unix_path(self.prefix.profile_folder).is_dir())

    def test_a_page_too_long_to_hand_over_starts_nothing(self):
        # Every blank becomes "%20": no browser's command line could hold the
        # page whole, and a cut one would end the switches where the link says.
        link = "tevra-comms://" + " " * 11000 + "a"
        self.assertEqual(self.start_with_browsers([QUILN_BROWSER], link=link), [])

    def test_registration_keeps_what_others_wrote(self):
        registry_file = r"C:\someone-else.reg"
        self.prefix.unix_path(registry_file).write_text(SOMEONE_ELSES_REGISTRATION,
                                                        encoding="utf-16")
        reg(self.prefix, "import", registry_file)
        others = [(SCHEME_KEY, "EditFlags"), (SCHEME_KEY + r"\DefaultIcon", ""),
                  (COMMAND_KEY, "DelegateExecute")]
        before = {key: self.prefix.query_key(key) for key, _ in others}
        self.assertEqual(before[COMMAND_KEY]["values"][""]["data"],
                         '"C:\\Old Place\\TevraComms.exe" "%1"\0')

        self.assertEqual(self.start_with_browsers([QUILN_BROWSER]), [app_window_argv(
            self.prefix, QUILN_BROWSER, SIGN_UP_PAGE)])

        after = {key: self.prefix.query_key(key) for key, _ in others}
        for key, name in others:
            self.assertEqual(after[key]["values"][name], before[key]["values"][name])
        self.assertEqual(sorted(after[SCHEME_KEY]["subkeys"]), ["DefaultIcon", "shell"])
        self.assertEqual(after[SCHEME_KEY]["values"][""]["data"], "URL:Tevra Comms Protocol\0")
        self.assertEqual(after[SCHEME_KEY]["values"]["URL Protocol"]["data"], "\0")
        self.assertEqual(after[COMMAND_KEY]["values"][""]["data"],
                         '"%s" "%%1"\0' % INSTALLED_LAUNCHER)


class LinkRoadTest(unittest.TestCase):
    """A fresh prefix: the first start registers the scheme, then links come in
    through the registered open command."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = cls.enterClassContext(new_prefix())
        place(cls.prefix, LAUNCHER, INSTALLED_LAUNCHER)
        cls.browser = RecordingBrowser(cls.prefix)

    def run_to_the_end(self, program, *args):
        """Runs a program and all it starts to their end; returns its result
        and the browser's starts meanwhile."""
        self.browser.forget_starts()
        result = self.prefix.run(program, *args)
        self.prefix.wait_idle()
        return result, self.browser.starts()

    def follow(self, link):
        """Follows a link through the registered open command; returns the
        launcher's exit code and the browser's starts."""
        result, starts = self.run_to_the_end(tool("registry_probe.exe"), "follow", link)
        self.assertEqual(result.returncode, 0, "the link could not be followed")
        return json.loads(result.stdout)["exit_code"], starts

    def assert_app_window(self, starts, page):
        self.assertEqual([start["argv"] for start in starts],
                         [app_window_argv(self.prefix, QUILN_BROWSER, page)])

    def test_a_link_takes_the_registered_road(self):
        self.assertIsNone(self.prefix.query_key(SCHEME_KEY))
        result, starts = self.run_to_the_end(INSTALLED_LAUNCHER)
        self.assertEqual(result.returncode, 0)
        self.assert_app_window(starts, SIGN_UP_PAGE)

        with self.subTest("registration"):
            self.assertEqual(self.prefix.query_key(SCHEME_KEY), {
                "values": {
                    "": {"type": REG_SZ, "bytes": 50, "data": "URL:Tevra Comms Protocol\0"},
                    "URL Protocol": {"type": REG_SZ, "bytes": 2, "data": "\0"},
                },
                "subkeys": ["shell"],
            })
            self.assertEqual(self.prefix.query_key(COMMAND_KEY), {
                "values": {"": {"type": REG_SZ, "bytes": 2 * (len(INSTALLED_LAUNCHER) + 8),
                                "data": '"%s" "%%1"\0' % INSTALLED_LAUNCHER}},
                "subkeys": [],
            })

        with self.subTest("a link opens its page"):
            exit_code, starts = self.follow("tevra-comms://chat/42/")
            self.assertEqual(exit_code, 0)
            self.assert_app_window(starts, SERVICE + "chat/42")

        # The launcher takes the link from its raw command-line text, inside
        # the quotes of "%1"; whatever the link holds, the page reaches the
        # browser as one argument, blanks, quotes and controls percent-encoded.
        hostile_links = [
            ('tevra-comms://x" --gpu-launcher="cmd /c calc',
             'x%22%20--gpu-launcher=%22cmd%20/c%20calc'),
            ("tevra-comms://chat/a b  c", "chat/a%20b%20%20c"),
            ("tevra-comms://chat/a\tb\t", "chat/a%09b%09"),
            ("tevra-comms://chat/a\r\nb\n", "chat/a%0D%0Ab%0A"),
            ('tevra-comms://x\\" --y', 'x\\%22%20--y'),
            ('tevra-comms://x\\\\\\"z\\\\', 'x\\\\\\%22z\\\\'),
            ("tevra-comms://chat/42 --version", "chat/42%20--version"),
            ("tevra-comms://chat/42 /gpu-launcher=calc.exe", "chat/42%20/gpu-launcher=calc.exe"),
            ("tevra-comms://chat/" + "a b" * 1200, "chat/" + "a%20b" * 1200),
        ]
        for link, page in hostile_links:
            with self.subTest(link=link[:60]):
                exit_code, starts = self.follow(link)
                self.assertEqual(exit_code, 0)
                self.assert_app_window(starts, SERVICE + page)

        with self.subTest("the open command hands over the link as one argument"):
            stand_in = RecordingBrowser(self.prefix, INSTALLED_LAUNCHER)
            self.follow("tevra-comms://chat/42/")
            self.assertEqual([start["argv"] for start in stand_in.starts()],
                             [[INSTALLED_LAUNCHER, "tevra-comms://chat/42/"]])


class IdentityModeTest(unittest.TestCase):
    """A fresh prefix, which identity mode must leave as it found it."""

    @classmethod
    def setUpClass(cls):
        cls.prefix = cls.enterClassContext(new_prefix())
        place(cls.prefix, LAUNCHER, INSTALLED_LAUNCHER)
        cls.browser = RecordingBrowser(cls.prefix)

    def run_in_console(self, command_line_text):
        run = self.prefix.run_in_console(INSTALLED_LAUNCHER, command_line_text)
        self.prefix.wait_idle()
        return run

    def assert_nothing_left_behind(self):
        self.assertIsNone(self.prefix.query_key(SCHEME_KEY))
        self.assertFalse(self.prefix.unix_path(vendor_folder(self.prefix)).exists())
        self.assertEqual(self.browser.starts(), [])

    def test_the_record_goes_to_the_parent_console(self):
        for text in ("--version-json", "x--version-jsonx", "tevra-comms://chat/--version-json"):
            with self.subTest(command_line=text):
                run = self.run_in_console(text)
                self.assertEqual(run["exit_code"], 0)
                # The record from the start of a row, then the line break: the
                # cursor at the start of the row after it. (Blanks at the end
                # of that last row cannot be told from empty cells.)
                width = run["width"]
                rows = -(-len(IDENTITY_RECORD) // width)
                x, y = run["before"]
                self.assertEqual(x, 0)
                self.assertEqual(run["after"], [0, y + rows])
                self.assertEqual(run["screen"], IDENTITY_RECORD.ljust(rows * width))
                self.assert_nothing_left_behind()

    def test_without_a_parent_console_the_record_goes_nowhere(self):
        result = self.prefix.run(INSTALLED_LAUNCHER, "--version-json")
        self.prefix.wait_idle()
        self.assertEqual(result.returncode, 0)
        self.assert_nothing_left_behind()


if __name__ == "__main__":
    unittest.main()
