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

import dataclasses
import http.server
import os
import pathlib
import select
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from winetest import (LAUNCHER, SIGN_UP_PAGE, Prefix, RecordingBrowser, tool,
                      unix_time)

UPDATE_HOST = "updates.tevraholdings.com"
VERSION_PATH = "/tevra-comms/latest/version.json"
USER_AGENT = "TevraComms/0.0.1 (Windows x64; Tevra Holdings)"
VERSION_DOCUMENT = b'{"version": "9.9.9"}'
# Set in the environment of this file's run inside the private mount namespace.
IN_NAMESPACE = "TEVRA_UPDATE_CHECK_IN_NAMESPACE"
# The exit status when the tests could not run here (ctest's SKIP_RETURN_CODE).
SKIPPED = 77


def unshare_refusal():
    """Why this machine cannot give a process a private mount namespace, or
    None when it can."""
    try:
        probe = subprocess.run(["unshare", "--mount", "true"], capture_output=True,
                               text=True, timeout=60)
    except FileNotFoundError:
        return "unshare is not installed (util-linux)"
    if probe.returncode != 0:
        return "unshare --mount was refused: " + probe.stderr.strip()
    return None


def map_update_host_to_loopback(folder):
    """Binds over /etc/hosts a copy that sends the update host to 127.0.0.1.
    Only for a process in a private mount namespace: elsewhere it would change
    the whole machine."""
    hosts = pathlib.Path(folder) / "hosts"
    hosts.write_text(pathlib.Path("/etc/hosts").read_text() + "\n127.0.0.1 %s\n" % UPDATE_HOST)
    subprocess.run(["mount", "--bind", str(hosts), "/etc/hosts"], check=True, timeout=60)


class Certificates:
    """A certificate authority to trust and the server certificates the tests
    serve, made with the openssl tool in a folder of their own."""

    def __init__(self, folder):
        self.folder = pathlib.Path(folder)
        trusted = self._authority("trusted-root", "Tevra Test Root")
        unknown = self._authority("unknown-root", "Unknown Test Root")
        self.update_host = self._server("update-host", UPDATE_HOST, trusted)
        self.unknown_authority = self._server("unknown-authority", UPDATE_HOST, unknown)
        self.other_name = self._server("other-name", "other.tevraholdings.com", trusted)
        self.trusted_root_der = self.folder / "trusted-root.der"
        self._openssl("x509", "-in", trusted[0], "-outform", "DER",
                      "-out", self.trusted_root_der)

    def _openssl(self, *args):
        """Runs the openssl tool; raises CalledProcessError if it fails."""
        subprocess.run(["openssl", *map(str, args)], check=True, capture_output=True,
                       timeout=60)

    def _new_key_pair(self, name, subject, *options):
        """Writes NAME.pem and NAME.key; returns their paths."""
        pem, key = self.folder / (name + ".pem"), self.folder / (name + ".key")
        self._openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                      "-subj", "/CN=" + subject, "-keyout", key, "-out", pem, *options)
        return pem, key

    def _authority(self, name, subject):
        """A self-signed certificate authority: (certificate, key) paths."""
        return self._new_key_pair(
            name, subject,
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")

    def _server(self, name, host, authority):
        """A TLS server certificate for host, signed by the given authority:
        (certificate, key) paths."""
        return self._new_key_pair(
            name, host, "-CA", authority[0], "-CAkey", authority[1],
            "-addext", "subjectAltName=DNS:" + host,
            "-addext", "basicConstraints=critical,CA:FALSE",
            "-addext", "keyUsage=critical,digitalSignature,keyEncipherment",
            "-addext", "extendedKeyUsage=serverAuth")


@dataclasses.dataclass
class Request:
    """One request as the update server read it."""

    method: str
    path: str
    headers: dict
    body_length: int
    answered_at: float  # time.time() just before the answer went out


class UpdateServer(http.server.ThreadingHTTPServer):
    """The update host on 127.0.0.1:443 while in a with block: answers every
    request with one given status and body, after a delay, and records each
    request and each connection. Read the records after the block, when every
    connection made to it has been handled; a connection whose TLS handshake
    or request fails is counted and otherwise ignored."""

    def __init__(self, certificate, status=200, body=VERSION_DOCUMENT, delay=0.0):
        super().__init__(("127.0.0.1", 443), _UpdateRequestHandler)
        self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.tls.load_cert_chain(*certificate)
        self.answer = status, body, delay
        self.connections = 0
        self.requests = []

    def __enter__(self):
        threading.Thread(target=self.serve_forever, daemon=True).start()
        return self

    def __exit__(self, *exc):
        self.shutdown()
        # Connections still waiting to be accepted are handled too.
        self.timeout = 0
        while select.select([self], [], [], 0)[0]:
            self.handle_request()
        self.server_close()  # waits for the handlers

    def get_request(self):
        # Accepted as plain TCP so that a refused handshake still counts.
        connection = self.socket.accept()
        self.connections += 1
        return connection

    def finish_request(self, request, client_address):
        with self.tls.wrap_socket(request, server_side=True) as tls_request:
            super().finish_request(tls_request, client_address)

    def handle_error(self, request, client_address):
        # A client that refuses the certificate ends the handshake: expected.
        if not isinstance(sys.exc_info()[1], (ssl.SSLError, ConnectionError)):
            super().handle_error(request, client_address)


class _UpdateRequestHandler(http.server.BaseHTTPRequestHandler):
    """Records each request on its server and answers it as the server says;
    keeps the connection for further requests until the client closes it."""

    protocol_version = "HTTP/1.1"
    timeout = 30

    def _record_and_answer(self):
        body_length = len(self.rfile.read(int(self.headers.get("Content-Length", 0))))
        status, body, delay = self.server.answer
        time.sleep(delay)
        self.server.requests.append(Request(self.command, self.path, dict(self.headers),
                                            body_length, time.time()))
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_GET = do_POST = do_PUT = _record_and_answer

    def log_message(self, *args):
        pass  # the records are the log


class UpdateCheckTest(unittest.TestCase):
    """One prefix, trusting this run's certificate authority, with the
    recording browser as the first browser candidate."""

    @classmethod
    def setUpClass(cls):
        if os.environ.get(IN_NAMESPACE) != "1":
            raise unittest.SkipTest(
                "the update host can be sent to 127.0.0.1 only in a private mount "
                "namespace: " + (unshare_refusal() or "run this file directly to enter one"))
        folder = cls.enterClassContext(tempfile.TemporaryDirectory())
        map_update_host_to_loopback(folder)
        if socket.gethostbyname(UPDATE_HOST) != "127.0.0.1":
            raise AssertionError("/etc/hosts is not honoured here (is nscd running?)")
        cls.certificates = Certificates(folder)

        prefix = Prefix()
        # Wine's WinHTTP takes its default proxy from these.
        for name in [name for name in prefix.env if name.lower().endswith("_proxy")]:
            del prefix.env[name]
        cls.prefix = cls.enterClassContext(prefix)
        trusted_root = r"C:\trusted-root.der"
        shutil.copy(cls.certificates.trusted_root_der, cls.prefix.unix_path(trusted_root))
        added = cls.prefix.run(tool("add_root_ca.exe"), trusted_root)
        if added.returncode != 0:
            raise AssertionError(added.stderr.decode(errors="replace"))
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
    if os.environ.get(IN_NAMESPACE) is None:
        if unshare_refusal() is None:
            sys.exit(subprocess.run(
                ["unshare", "--mount", "--propagation", "private",
                 sys.executable, __file__, *sys.argv[1:]],
                env=dict(os.environ, **{IN_NAMESPACE: "1"})).returncode)
        unittest.main(exit=False)  # reports the skip and why
        sys.exit(SKIPPED)
    unittest.main()
