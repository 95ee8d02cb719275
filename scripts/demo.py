"""Installs Tevra Comms in a throwaway Wine prefix, follows a link to it and
tells, step by step, what the programs did."""

import json
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "wine"))
import winetest  # noqa: E402


def show(title, detail=""):
    print("\n== " + title)
    if detail:
        print(detail)


def show_starts(browser):
    for start in browser.starts():
        print("  browser started with:")
        for argument in start["argv"][1:]:
            print("    " + argument)
    browser.forget_starts()


def main():
    with winetest.Prefix() as prefix:
        show("A throwaway Wine prefix", str(prefix.root))
        browser = winetest.RecordingBrowser(prefix)
        show("A stand-in browser that records its starts", winetest.QUILN_BROWSER)

        result = prefix.run(winetest.INSTALLER)
        prefix.wait_idle()
        show("Installer %s, no arguments: exit code %d"
             % (winetest.INSTALLER.name, result.returncode))
        installed = prefix.local_app_data + winetest.INSTALL_SUFFIX + r"\TevraComms.exe"
        size = prefix.unix_path(installed).stat().st_size
        print("  installed %s (%d bytes)" % (installed, size))
        entry = prefix.query_key(winetest.UNINSTALL_KEY)
        for name, value in entry["values"].items():
            print("  uninstall entry %-15s %s" % (name, value["data"].rstrip("\0")))
        print("  it started the launcher, which opened the sign-up page:")
        show_starts(browser)

        command = prefix.query_key(winetest.COMMAND_KEY)["values"][""]["data"].rstrip("\0")
        show("The link scheme the launcher registered", "  open command: " + command)

        link = "tevra-comms://chat/42/"
        followed = prefix.run(winetest.tool("registry_probe.exe"), "follow", link, check=True)
        prefix.wait_idle()
        show("Following the link %s through that command: exit code %d"
             % (link, json.loads(followed.stdout)["exit_code"]))
        show_starts(browser)

        identity = prefix.run_in_console(installed, "--version-json")
        show("TevraComms.exe --version-json in a console: exit code %d" % identity["exit_code"],
             "  " + identity["screen"].rstrip())
    show("The prefix is gone.")


if __name__ == "__main__":
    main()
