"""Running the built Windows programs under Wine, each test in prefixes of its own.

The environment names what to run: TEVRA_DIST_DIR holds the release programs,
TEVRA_TOOLS_DIR the small Windows programs the tests use to look at them.
"""

import contextlib
import json
import os
import pathlib
import shlex
import shutil
import subprocess
import tempfile
import time

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
# The registry's string type, as query_key reports value types.
REG_SZ = 1
# The first browser the launcher looks for.
QUILN_BROWSER = r"C:\Program Files\Tevra Quiln\quiln-browser.exe"


def tool(name):
    """The path of one of the tests' own Windows programs."""
    return TOOLS_DIR / name


def place(prefix, program, windows_path):
    """Copies a program into the prefix; returns its Windows path."""
    target = prefix.unix_path(windows_path)
    target.parent.mkdir(parents=True, exist_ok=True)
    shutil.copy(program, target)
    return windows_path


class Prefix:
    """A fresh Wine prefix, removed afterwards; its wineserver stays up between
    the test's runs and is ended with it."""

    def __init__(self):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="tevra-wine-"))
        self.env = dict(os.environ)
        self.env.pop("DISPLAY", None)
        # Wine's WinHTTP takes its default proxy from these: the update check
        # must go where the test sends it, not to the machine's proxy.
        for name in [name for name in self.env if name.lower().endswith("_proxy")]:
            del self.env[name]
        self.env.update(
            WINEPREFIX=str(self.root),
            WINEDEBUG="-all",
            # No Mono or Gecko installers: nothing here needs them.
            WINEDLLOVERRIDES="mscoree,mshtml=",
        )

    def __enter__(self):
        # Creating a prefix very rarely fails on a loaded machine; a second
        # attempt in a clean folder has always succeeded.
        for attempt in (1, 2, 3):
            try:
                self._boot()
                return self
            except (subprocess.CalledProcessError, subprocess.TimeoutExpired):
                # Without this the persistent server would outlive the test
                # and keep its runner waiting on the output it inherited.
                self.__exit__(None, None, None)
                if attempt == 3:
                    raise
                self.root.mkdir()

    def _boot(self):
        # Persistent from the start: "wineserver -p" refuses (status 2) while
        # the server wineboot started is still up.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)
        subprocess.run(["wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)

    def run(self, program, *args, timeout=120, **kwargs):
        """Runs a Windows program to its end; returns the CompletedProcess."""
        return subprocess.run(["wine", str(program), *map(str, args)], env=self.env,
                              capture_output=True, timeout=timeout, **kwargs)

    def wait_idle(self, timeout=300):
        """Waits until every program started in the prefix has ended; Wine's
        resident programs (in C:\\windows) do not count. Raises TimeoutError
        after timeout seconds."""
        # "wineserver -w" would wait for the persistent server itself.
        deadline = time.monotonic() + timeout
        while self._running_programs():
            if time.monotonic() > deadline:
                raise TimeoutError("still running: %s" % self._running_programs())
            time.sleep(0.05)

    def _running_programs(self):
        """The command lines of the Linux processes of this prefix that run a
        program from outside C:\\windows, the wineserver aside."""
        own_prefix = b"WINEPREFIX=" + bytes(self.root)
        running = []
        for process in pathlib.Path("/proc").iterdir():
            if not process.name.isdigit():
                continue
            try:
                environment = (process / "environ").read_bytes().split(b"\0")
                command_line = (process / "cmdline").read_bytes().split(b"\0")
            except OSError:  # ended meanwhile, or not ours to read
                continue
            program = command_line[0].decode(errors="replace")
            loader = os.path.basename(program)
            if loader.startswith("wineserver"):
                continue
            if loader.startswith("wine") and len(command_line) > 1:
                # Still being loaded: the loader names the program it loads.
                program = command_line[1].decode(errors="replace")
            if own_prefix in environment and not program.lower().startswith("c:\\windows\\"):
                running.append(program)
        return running

    def run_in_console(self, program, command_line_text):
        """Runs a Windows program from console_probe, in a console on a
        pseudo-terminal (without one Wine gives no screen to read back);
        returns console_probe's account of the run."""
        result_file = r"C:\console-probe.json"
        self.unix_path(result_file).unlink(missing_ok=True)
        command = shlex.join(["wine", str(tool("console_probe.exe")), result_file,
                              program, command_line_text])
        subprocess.run(["script", "-qec", command, "/dev/null"], env=self.env, check=True,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        return json.loads(self.unix_path(result_file).read_text())

    @contextlib.contextmanager
    def stopped(self):
        """Within the block no program of the prefix runs and its wineserver
        is down, having written the registry to the prefix's .reg files as it
        exited; after the block both are up again as on entry."""
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        yield
        self._boot()

    def unix_path(self, windows_path):
        """The Linux path of a C: path in the prefix."""
        drive, _, rest = windows_path.partition(":")
        assert drive.upper() == "C", windows_path
        return self.root / "drive_c" / rest.replace("\\", "/").lstrip("/")

    def query_key(self, key):
        """A key under HKEY_CURRENT_USER as registry_probe reads it:
        {"values": {name: {"type", "bytes", "data"}}, "subkeys": [...]}, or
        None when the key does not exist."""
        result = self.run(tool("registry_probe.exe"), "query", key, check=True)
        return json.loads(result.stdout)

    @property
    def profile_folder(self):
        """The browser profile folder the launcher opens its app windows with."""
        return self.local_app_data + PROFILE_SUFFIX

    @property
    def local_app_data(self):
        """The user's local application data folder, as Windows names it."""
        users = [p for p in (self.root / "drive_c" / "users").iterdir() if p.name != "Public"]
        return "C:\\users\\%s\\AppData\\Local" % users[0].name


class Installation:
    """Where the installer puts the launcher in a prefix."""

    def __init__(self, prefix):
        self.folder = prefix.local_app_data + INSTALL_SUFFIX
        self.executable = self.folder + "\\TevraComms.exe"
        self.unix_folder = prefix.unix_path(self.folder)
        self.unix_executable = prefix.unix_path(self.executable)

    def uninstall_values(self):
        """The uninstall entry's values as the installer writes them."""
        def string(text):
            return {"type": REG_SZ, "bytes": 2 * (len(text) + 1), "data": text + "\0"}
        return {"DisplayName": string("Tevra Comms"),
                "Publisher": string("Tevra Holdings"),
                "DisplayVersion": string("0.0.1"),
                "DisplayIcon": string(self.executable)}


def unix_time(filetime):
    """A Windows FILETIME (100 ns units since 1601) in seconds since 1970, on
    the clock Python's time.time() reads (under Wine they are the same)."""
    return filetime / 10**7 - 11644473600


class RecordingBrowser:
    """record_start.exe placed at a browser's path in a prefix, so that every
    start of that browser is recorded."""

    def __init__(self, prefix, windows_path=QUILN_BROWSER):
        self.path = prefix.unix_path(place(prefix, tool("record_start.exe"), windows_path))
        self._starts = self.path.parent / "starts"

    def starts(self):
        """Its starts so far, oldest first, each as record_start wrote it."""
        if not self._starts.exists():
            return []
        files = sorted(self._starts.glob("start-*.json"),
                       key=lambda f: int(f.stem.partition("-")[2]))
        return [json.loads(f.read_text()) for f in files]

    def forget_starts(self):
        """Removes the starts recorded so far."""
        shutil.rmtree(self._starts, ignore_errors=True)
