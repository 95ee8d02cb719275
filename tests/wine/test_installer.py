"""The installer under Wine, end to end: what it writes, what it starts and
the exit code it ends with, each scenario in a fresh prefix."""

import unittest

from winetest import (INSTALLER, LAUNCHER, REG_SZ, SCHEME_KEY, COMMAND_KEY,
                      SIGN_UP_PAGE, UNINSTALL_KEY, Installation, Prefix, RecordingBrowser,
                      tool)


def windows_path(unix_path):
    """The Windows name of a Linux path, through the prefix's Z: drive."""
    return "Z:" + str(unix_path).replace("/", "\\")


class Installer(unittest.TestCase):

    def assert_exit_code(self, result, code):
        self.assertEqual(result.returncode, code, result.stderr.decode(errors="replace"))

    def test_silent_install_writes_the_launcher_and_the_entry_and_starts_nothing(self):
        with Prefix() as prefix:
            installed = Installation(prefix)
            browser = RecordingBrowser(prefix)
            self.assert_exit_code(prefix.run(INSTALLER, "/S"), 0)
            self.assertEqual(installed.unix_executable.read_bytes(), LAUNCHER.read_bytes())
            entry = prefix.query_key(UNINSTALL_KEY)
            self.assertEqual(entry["values"], installed.uninstall_values())
            self.assertEqual(entry["values"]["DisplayName"]["bytes"], 24)
            prefix.wait_idle()
            self.assertIsNone(prefix.query_key(SCHEME_KEY))
            self.assertEqual(browser.starts(), [])

            # Over an installed copy, both are written again; a value of
            # someone else's stays.
            installed.unix_executable.write_bytes(b"damaged")
            for name, data in (("DisplayName", "Other Name"), ("Comments", "kept")):
                prefix.run("reg", "add", "HKCU\\" + UNINSTALL_KEY, "/v", name, "/d", data,
                           "/f", check=True)
            self.assert_exit_code(prefix.run(INSTALLER, "--silent"), 0)
            self.assertEqual(installed.unix_executable.read_bytes(), LAUNCHER.read_bytes())
            kept = {"type": REG_SZ, "bytes": 10, "data": "kept\0"}
            self.assertEqual(prefix.query_key(UNINSTALL_KEY)["values"],
                             dict(installed.uninstall_values(), Comments=kept))
            prefix.wait_idle()
            self.assertEqual(browser.starts(), [])

    def test_normal_install_starts_the_installed_launcher(self):
        with Prefix() as prefix:
            installed = Installation(prefix)
            browser = RecordingBrowser(prefix)
            self.assert_exit_code(prefix.run(INSTALLER), 0)
            prefix.wait_idle()
            self.assertEqual(installed.unix_executable.read_bytes(), LAUNCHER.read_bytes())
            self.assertEqual(prefix.query_key(UNINSTALL_KEY)["values"],
                             installed.uninstall_values())
            # The launcher that ran is the installed one, started in its folder.
            command = prefix.query_key(COMMAND_KEY)["values"][""]["data"]
            self.assertEqual(command, '"%s" "%%1"\0' % installed.executable)
            starts = browser.starts()
            self.assertEqual(len(starts), 1)
            self.assertEqual(starts[0]["argv"][1], "--app=" + SIGN_UP_PAGE)
            self.assertEqual(starts[0]["directory"], installed.folder)

    def test_failures_leave_the_install_folder_and_nothing_else(self):
        with Prefix() as prefix:
            installed = Installation(prefix)
            browser = RecordingBrowser(prefix)
            for program, code in ((tool("setup_without_payload.exe"), 1),
                                  (tool("setup_with_empty_payload.exe"), 2)):
                with self.subTest(program.name):
                    self.assert_exit_code(prefix.run(program), code)
                    self.assertEqual(list(installed.unix_folder.iterdir()), [])

            # The installed executable held open, with no sharing, by another
            # program while the installer runs.
            installed.unix_executable.write_bytes(b"an older launcher")
            held = prefix.run(tool("hold_file.exe"), installed.executable,
                              windows_path(INSTALLER))
            self.assert_exit_code(held, 3)
            self.assertEqual(installed.unix_executable.read_bytes(), b"an older launcher")

            prefix.wait_idle()
            self.assertIsNone(prefix.query_key(UNINSTALL_KEY))
            self.assertIsNone(prefix.query_key(SCHEME_KEY))
            self.assertEqual(browser.starts(), [])


if __name__ == "__main__":
    unittest.main()
