"""Running the built Windows programs under Wine, each test in prefixes of its own.

The environment names what to run: TEVRA_DIST_DIR holds the release programs,
TEVRA_TOOLS_DIR the small Windows programs the tests use to look at them.
"""

import os
import pathlib
import shutil
import subprocess
import tempfile

DIST_DIR = pathlib.Path(os.environ.get("TEVRA_DIST_DIR", "dist")).resolve()
TOOLS_DIR = pathlib.Path(os.environ.get("TEVRA_TOOLS_DIR", "build/dist/tests/wine/tools")).resolve()
LAUNCHER = DIST_DIR / "TevraComms.exe"
INSTALLER = DIST_DIR / "TevraComms-Setup-0.0.1.exe"

SERVICE = "https://comms.tevraholdings.com/comms/"
SIGN_UP_PAGE = SERVICE + "oauth/openid/signup"
SCHEME_KEY = r"Software\Classes\tevra-comms"
COMMAND_KEY = SCHEME_KEY + r"\shell\open\command"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\TevraComms"
PROFILE_SUFFIX = r"\TevraHoldings\TevraComms\Profile"
INSTALL_SUFFIX = r"\Programs\TevraHoldings\TevraComms"


def tool(name):
    """The path of one of the tests' own Windows programs."""
    return TOOLS_DIR / name


class Prefix:
    """A fresh Wine prefix, removed afterwards; its wineserver stays up between
    the test's runs and is ended with it."""

    def __init__(self):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="tevra-wine-"))
        self.env = dict(os.environ)
        self.env.pop("DISPLAY", None)
        self.env.update(
            WINEPREFIX=str(self.root),
            WINEDEBUG="-all",
            # No Mono or Gecko installers: nothing here needs them.
            WINEDLLOVERRIDES="mscoree,mshtml=",
        )

    def __enter__(self):
        subprocess.run(["wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)

    def run(self, program, *args, timeout=120, **kwargs):
        """Runs a Windows program to its end; returns the CompletedProcess."""
        return subprocess.run(["wine", str(program), *map(str, args)], env=self.env,
                              capture_output=True, timeout=timeout, **kwargs)

    def wait_idle(self):
        """Waits until every program started in the prefix has ended."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=300)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)

    def unix_path(self, windows_path):
        """The Linux path of a C: path in the prefix."""
        drive, _, rest = windows_path.partition(":")
        assert drive.upper() == "C", windows_path
        return self.root / "drive_c" / rest.replace("\\", "/").lstrip("/")

    @property
    def local_app_data(self):
        """The user's local application data folder, as Windows names it."""
        users = [p for p in (self.root / "drive_c" / "users").iterdir() if p.name != "Public"]
        return "C:\\users\\%s\\AppData\\Local" % users[0].name
