"""What installing, starting the launcher and following a link leave in a
user's Windows, compared entry by entry with what was there before: only the
product's own folders and keys may differ.

A snapshot holds every folder, file and link under the prefix's drive_c (size
and SHA-256 for a file, the target for a link) and the registry as the
wineserver writes it to the prefix's files when it exits: user.reg
(HKEY_CURRENT_USER), userdef.reg (the default user) and system.reg
(HKEY_LOCAL_MACHINE), every key with its values and write time. Those files
hold no volatile key; the products create none.

What Wine changes by itself is found by a control: the tests' own programs
(those the product steps use, and the browser) without the products, between
the same kind of snapshots. Two things change there, and are let through in
the products' run:
  - the values in WINE_CHANGES, each with the reason; the control test fails
    when one no longer changes, or when any other value changes;
  - the write times of the keys the control shows rewritten (each wineserver
    start rewrites some twenty device, display and font keys of Wine's with
    the same values): the same keys' times, nothing else of them.
"""

import hashlib
import os
import re
import unittest

from winetest import (INSTALLER, QUILN_BROWSER, SCHEME_KEY, UNINSTALL_KEY,
                      Installation, Prefix, RecordingBrowser, tool)

REGISTRY_FILES = ("user.reg", "userdef.reg", "system.reg")
LINK = "tevra-comms://chat/42/"
# The pseudo-value under which a snapshot keeps a key's write time.
WRITE_TIME = "#time"

# Values Wine changes by itself, as (registry file, key, value) named as in
# the file.
WINE_CHANGES = {
    # Each wineserver start (every snapshot restarts it) registers the display
    # adapter anew, dated with the current time.
    ("system.reg",
     r"System\\CurrentControlSet\\Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000",
     '"DriverDateData"'),
}

# The products' keys, under HKEY_CURRENT_USER, named as in user.reg.
OWN_KEYS = [key.replace("\\", "\\\\") for key in (SCHEME_KEY, UNINSTALL_KEY)]

# A key's line in a .reg file: "[name] write time in seconds", the same time
# as its "#time=" line. A value's line: its name quoted, or "@" for the
# default value, then "=" and the data.
KEY_LINE = re.compile(r"^\[(.*)\] \d+$")
VALUE_LINE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')


def read_registry_file(path):
    """{key: {value: data}} of a .reg file as Wine writes it, keys and value
    names as the file writes them. The "#time", "#class" and "#link" lines of
    a key count as values of those names. Raises ValueError on a line it does
    not know."""
    keys, values, pending = {}, None, ""
    for line in path.read_text(encoding="utf-8").splitlines():
        line, pending = pending + line, ""
        key = KEY_LINE.match(line)
        if key:
            values = keys.setdefault(key.group(1), {})
        elif values is None or not line:  # the header, or between keys
            continue
        elif line.endswith("\\"):  # binary data goes on in the next line
            pending = line[:-1]
        elif line.startswith("#"):
            name, _, data = line.partition("=")
            values[name] = data
        else:
            value = VALUE_LINE.match(line)
            if not value:
                raise ValueError("%s: unknown line %r" % (path.name, line))
            values[value.group(1)] = value.group(2)
    return keys


def describe_files(drive):
    """{path below drive: what is there}: "folder", "link to TARGET", or
    "SIZE bytes SHA-256" for a file. Links are not followed."""
    found = {}
    for folder, subfolders, files in os.walk(drive):
        for name in subfolders + files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, drive).replace(os.sep, "\\")
            if os.path.islink(path):
                found[relative] = "link to " + os.readlink(path)
            elif os.path.isdir(path):
                found[relative] = "folder"
            else:
                with open(path, "rb") as file:
                    content = file.read()
                found[relative] = "%d bytes %s" % (len(content),
                                                   hashlib.sha256(content).hexdigest())
    return found


def take_snapshot(prefix):
    """{(place, name): content}: place "drive_c" and a path below it, or a
    registry file and (key, value), value None for the key itself. Taken with
    the prefix stopped, so that the registry files are whole and current;
    the changes Wine makes as it starts again go to the next snapshot."""
    snapshot = {}
    with prefix.stopped():
        for path, content in describe_files(prefix.root / "drive_c").items():
            snapshot["drive_c", path] = content
        for registry_file in REGISTRY_FILES:
            for key, values in read_registry_file(prefix.root / registry_file).items():
                snapshot[registry_file, (key, None)] = "key"
                for value, data in values.items():
                    snapshot[registry_file, (key, value)] = data
    return snapshot


def changes(before, after):
    """{(place, name): (before, after)} for every entry added, removed or
    changed; None stands for an entry that is not there."""
    return {entry: (before.get(entry), after.get(entry))
            for entry in before.keys() | after.keys()
            if before.get(entry) != after.get(entry)}


def is_wine_change(entry):
    """Whether the entry is one of the values in WINE_CHANGES."""
    place, name = entry
    return place in REGISTRY_FILES and (place, *name) in WINE_CHANGES


def rewritten_key(entry):
    """(registry file, key) when the entry is a key's write time, else None."""
    place, name = entry
    return (place, name[0]) if place in REGISTRY_FILES and name[1] == WRITE_TIME else None


def drive_path(windows_path):
    """A C: path as describe_files names it."""
    return windows_path.partition(":\\")[2]


def show(entries):
    """Changes, one per line, for a failure message."""
    return "\n".join("%s %s: %.120s -> %.120s" % (place, name, *change)
                     for (place, name), change in sorted(entries.items(), key=str))


class Isolation(unittest.TestCase):
    """One fresh prefix with a recording browser where the launcher looks
    first: a snapshot, the control, a snapshot, the products, a snapshot."""

    @classmethod
    def setUpClass(cls):
        prefix = cls.enterClassContext(Prefix())
        browser = RecordingBrowser(prefix)
        installed = Installation(prefix)
        cls.own_folders = [drive_path(folder) for folder in (
            installed.folder,
            prefix.profile_folder,
            QUILN_BROWSER.rpartition("\\")[0] + r"\starts")]
        # Wine finishes a new prefix at its second start, rewriting display
        # and network keys; a user's Windows is past that.
        with prefix.stopped():
            pass
        first = take_snapshot(prefix)

        cls.control_exit_codes = [
            prefix.run(tool("registry_probe.exe"), "query", SCHEME_KEY).returncode,
            prefix.run(browser.path).returncode,
            prefix.run(tool("registry_probe.exe"), "query", UNINSTALL_KEY).returncode,
        ]
        prefix.wait_idle()
        browser.forget_starts()
        second = take_snapshot(prefix)

        # The update host does not resolve here: the check fails at once and
        # leaves nothing behind on the network's side.
        cls.product_exit_codes = [prefix.run(INSTALLER, "/S").returncode,
                                  prefix.run(installed.unix_executable).returncode]
        prefix.wait_idle()
        cls.followed = prefix.run(tool("registry_probe.exe"), "follow", LINK).stdout
        prefix.wait_idle()
        cls.browser_starts = len(browser.starts())
        third = take_snapshot(prefix)

        cls.control_changes = changes(first, second)
        cls.product_changes = changes(second, third)
        cls.rewritten_by_wine = {rewritten_key(entry) for entry in cls.control_changes
                                 if rewritten_key(entry)}

    def is_the_products(self, entry, change):
        """Whether a change is the products' own (or the recording browser's):
        within their folders or keys, or a folder added above their folders."""
        place, name = entry
        if place == "drive_c":
            return any(name == folder or name.startswith(folder + "\\")
                       or (change == (None, "folder") and folder.startswith(name + "\\"))
                       for folder in self.own_folders)
        key = name[0]
        return place == "user.reg" and any(key == own or key.startswith(own + "\\\\")
                                           for own in OWN_KEYS)

    def test_the_control_changes_only_what_wine_changes_by_itself(self):
        self.assertEqual(self.control_exit_codes, [0, 0, 0])
        self.assertEqual({(place, *name) for place, name in self.control_changes
                          if is_wine_change((place, name))},
                         WINE_CHANGES, "a filter no longer needed")
        self.assertTrue(self.rewritten_by_wine, "Wine rewrote no key: a filter no longer needed")
        unexplained = {entry: change for entry, change in self.control_changes.items()
                       if not is_wine_change(entry) and not rewritten_key(entry)}
        if unexplained:
            self.fail("Wine changed more:\n" + show(unexplained))

    def test_the_products_change_only_their_own_folders_and_keys(self):
        self.assertEqual(self.product_exit_codes, [0, 0])
        self.assertEqual(self.followed, b'{"exit_code": 0}\n')
        self.assertEqual(self.browser_starts, 2)
        foreign = {entry: change for entry, change in self.product_changes.items()
                   if not is_wine_change(entry) and not self.is_the_products(entry, change)
                   and rewritten_key(entry) not in self.rewritten_by_wine}
        if foreign:
            self.fail("changed beside the products' own:\n" + show(foreign))
        # Each of their own folders and keys is among the changes, so that
        # none of the above is vacuous.
        for own in self.own_folders:
            self.assertIn(("drive_c", own), self.product_changes)
        for own in OWN_KEYS:
            self.assertIn(("user.reg", (own, None)), self.product_changes)


if __name__ == "__main__":
    unittest.main()
