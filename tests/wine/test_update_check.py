"""The launcher's update check, end to end: the shipped launcher under Wine
asks a real HTTPS server on 127.0.0.1:443 for the latest-version document.

The update host's real name has to reach the loopback server, so this file
re-executes itself under `unshare --mount`, where a copy of /etc/hosts that
maps the name to 127.0.0.1 is bound over the real one; the Wine prefix (and so
its wineserver) is created in there. The server's certificate comes from a
certificate authority made for this run and trusted in the prefix the way a
user would trust it: in the current user's Root store.

Two things Wine 8's WinHTTP does that Windows does not, which these tests
cannot see past (the native tests check the calls themselves): a synchronous
WinHttpSendRequest already reads the answer's headers, and the referrer given
to WinHttpOpenRequest is never sent.
"""

import sys
import tempfile
import unittest

from update_server import (UPDATE_HOST, USER_AGENT, VERSION_DOCUMENT, VERSION_PATH,
                           Certificates, UpdateServer, in_private_namespace,
                           map_update_host_to_loopback,
                           rerun_in_private_namespace, trust_root, unshare_refusal)
from winetest import LAUNCHER, SIGN_UP_PAGE, Prefix, RecordingBrowser, unix_time

# The exit status when the tests could not run here (ctest's SKIP_RETURN_CODE).
SKIPPED = 77


class UpdateCheckTest(unittest.TestCase):
    """One prefix, trusting this run's certificate authority, with the
    recording browser as the first browser candidate."""

    @classmethod
    def setUpClass(cls):
        if not in_private_namespace():
            raise unittest.SkipTest(
                "the update host can be sent to 127.0.0.1 only in a private mount "
                "namespace: " + (unshare_refusal() or "run this file directly to enter one"))
        folder = cls.enterClassContext(tempfile.TemporaryDirectory())
        map_update_host_to_loopback(folder)
        cls.certificates = Certificates(folder)
        cls.prefix = cls.enterClassContext(Prefix())
        trust_root(cls.prefix, cls.certificates.trusted_root_der)
        cls.browser = RecordingBrowser(cls.prefix)

    def run_launcher(self, *args):
        """Runs the launcher and what it starts to their end; returns its exit
        code and the browser's starts during the run."""
        self.browser.forget_starts()
        result = self.prefix.run(LAUNCHER, *args)
        self.prefix.wait_idle()
        return result.returncode, self.browser.starts()

    def assert_sign_up_page_opened(self, exit_code, starts):
        """The run ended with 0 and started the browser once, on the sign-up page."""
        self.assertEqual(exit_code, 0)
        self.assertEqual([start["argv"][1] for start in starts], ["--app=" + SIGN_UP_PAGE])

    def test_each_start_asks_once_and_waits_for_the_answer(self):
        with UpdateServer(self.certificates.update_host, delay=1.0) as server:
            for number in (1, 2):
                exit_code, starts = self.run_launcher()
                self.assert_sign_up_page_opened(exit_code, starts)
                self.assertEqual(len(server.requests), number)
                # The answer's time is taken before it is sent, so any
                # browser start that waited for it is later.
                self.assertGreater(unix_time(starts[0]["time"]),
                                   server.requests[-1].answered_at)
        self.assertEqual(len(server.requests), 2)
        for request in server.requests:
            self.assertEqual((request.method, request.path), ("GET", VERSION_PATH))
            self.assertEqual(request.headers.get("User-Agent"), USER_AGENT)
            self.assertEqual(request.headers.get("Host"), UPDATE_HOST)
            self.assertNotIn("Referer", request.headers)
            self.assertNotIn("Transfer-Encoding", request.headers)
            self.assertEqual(request.body_length, 0)

    def test_the_answer_changes_nothing(self):
        answers = [
            (200, VERSION_DOCUMENT),
            (404, b'{"error": "not found"}'),
            (500, b""),
        ]
        for status, body in answers:
            with self.subTest(status=status):
                with UpdateServer(self.certificates.update_host, status, body) as server:
                    exit_code, starts = self.run_launcher()
                self.assert_sign_up_page_opened(exit_code, starts)
                self.assertEqual([r.path for r in server.requests], [VERSION_PATH])

    def test_a_check_that_cannot_be_made_changes_nothing(self):
        refused_certificates = [
            ("from an authority the user does not trust", self.certificates.unknown_authority),
            ("for another host name", self.certificates.other_name),
        ]
        for what, certificate in refused_certificates:
            with self.subTest(certificate=what):
                with UpdateServer(certificate) as server:
                    exit_code, starts = self.run_launcher()
                self.assert_sign_up_page_opened(exit_code, starts)
                self.assertGreaterEqual(server.connections, 1)
                self.assertEqual(server.requests, [], "sent despite the certificate")
        with self.subTest("nothing listening on the update host"):
            self.assert_sign_up_page_opened(*self.run_launcher())

    def test_identity_request_sends_nothing(self):
        with UpdateServer(self.certificates.update_host) as server:
            exit_code, _ = self.run_launcher("--version-json")
        self.assertEqual(exit_code, 0)
        self.assertEqual((server.connections, server.requests), (0, []))


if __name__ == "__main__":
    if not in_private_namespace():
        if unshare_refusal() is None:
            sys.exit(rerun_in_private_namespace(__file__, sys.argv[1:]))
        unittest.main(exit=False)  # reports the skip and why
        sys.exit(SKIPPED)
    unittest.main()
