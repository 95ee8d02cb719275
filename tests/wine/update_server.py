"""The update host on loopback: a real HTTPS server on 127.0.0.1:443 that the
launcher under Wine reaches by the update host's name, with a certificate
from a certificate authority made for the run and trusted in the prefix the
way a user would trust it (in the current user's Root store).

The name reaches 127.0.0.1 through a copy of /etc/hosts bound over the real
one, which only a process in a private mount namespace may do: a program
that uses this re-executes itself there (rerun_in_private_namespace) and
makes its Wine prefix, and so its wineserver, in there.
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
import threading
import time

from winetest import tool

UPDATE_HOST = "updates.tevraholdings.com"
VERSION_PATH = "/tevra-comms/latest/version.json"
USER_AGENT = "TevraComms/0.0.1 (Windows x64; Tevra Holdings)"
VERSION_DOCUMENT = b'{"version": "9.9.9"}'
# Set in the environment of a program's run inside the private namespace.
_IN_NAMESPACE = "TEVRA_IN_PRIVATE_MOUNT_NAMESPACE"


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


def in_private_namespace():
    """Whether this process is the run rerun_in_private_namespace started."""
    return os.environ.get(_IN_NAMESPACE) == "1"


def rerun_in_private_namespace(script, args):
    """Runs the Python program script with args again, in a private mount
    namespace, and waits for it; returns its exit status. Call it only when
    unshare_refusal() is None."""
    return subprocess.run(
        ["unshare", "--mount", "--propagation", "private", sys.executable, script, *args],
        env=dict(os.environ, **{_IN_NAMESPACE: "1"})).returncode


def map_update_host_to_loopback(folder):
    """Binds over /etc/hosts a copy, kept in folder, that sends the update
    host to 127.0.0.1. Only for a process in a private mount namespace:
    elsewhere it would change the whole machine (RuntimeError). Raises
    AssertionError when the name does not resolve to 127.0.0.1 afterwards."""
    if not in_private_namespace():
        raise RuntimeError("not in a private mount namespace")
    hosts = pathlib.Path(folder) / "hosts"
    hosts.write_text(pathlib.Path("/etc/hosts").read_text() + "\n127.0.0.1 %s\n" % UPDATE_HOST)
    subprocess.run(["mount", "--bind", str(hosts), "/etc/hosts"], check=True, timeout=60)
    if socket.gethostbyname(UPDATE_HOST) != "127.0.0.1":
        raise AssertionError("/etc/hosts is not honoured here (is nscd running?)")


def trust_root(prefix, certificate_der):
    """Adds the DER certificate to the current user's Root store in the
    prefix. Raises AssertionError, with add_root_ca's message, if it fails."""
    copy = r"C:\trusted-root.der"
    shutil.copy(certificate_der, prefix.unix_path(copy))
    added = prefix.run(tool("add_root_ca.exe"), copy)
    if added.returncode != 0:
        raise AssertionError(added.stderr.decode(errors="replace"))


class Certificates:
    """A certificate authority to trust and the server certificates to serve,
    made with the openssl tool in a folder of their own."""

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
