"""OAuth 2.0 tokens for the integration tests: a token endpoint and a token introspection
endpoint (RFC 7662) on 127.0.0.1, with the tokens it issued in a file of its state folder.
Dovecot's oauth2 passdb and the SMTP sink ask it whether a token is valid.

    token_server.py serve PORT STATE_DIR
        POST /token       user=U[&lifetime=SECONDS]  -> a new access token of U, as the body
        POST /introspect  token=T  -> {"active": true, "username": U, "exp": ...} while T is
                                      valid, {"active": false} for an unknown or expired token
    token_server.py issue URL USER [LIFETIME]
        prints a new token of USER, as a token helper does for a password_command; a negative
        lifetime gives a token that has already expired
"""
import http.server
import json
import os
import secrets
import sys
import threading
import time
import urllib.parse
import urllib.request

lock = threading.Lock()


class Tokens:
    def __init__(self, folder):
        self.path = os.path.join(folder, "tokens.json")

    def _load(self):
        try:
            with open(self.path) as stored:
                return json.load(stored)
        except FileNotFoundError:
            return {}

    def issue(self, user, lifetime):
        token = secrets.token_hex(24)
        with lock:
            tokens = self._load()
            tokens[token] = {"user": user, "exp": int(time.time() + lifetime)}
            temporary = self.path + ".tmp"
            with open(temporary, "w") as stored:
                json.dump(tokens, stored)
            os.replace(temporary, self.path)
        return token

    def introspect(self, token):
        with lock:
            entry = self._load().get(token)
        if entry is None or entry["exp"] <= time.time():
            return {"active": False}
        return {"active": True, "username": entry["user"], "exp": entry["exp"], "token_type": "Bearer"}


class Handler(http.server.BaseHTTPRequestHandler):
    tokens = None

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        form = urllib.parse.parse_qs(self.rfile.read(length).decode())
        if self.path == "/token" and "user" in form:
            lifetime = float(form.get("lifetime", ["3600"])[0])
            self.answer(200, "text/plain", self.tokens.issue(form["user"][0], lifetime))
        elif self.path == "/introspect":
            answer = self.tokens.introspect(form.get("token", [""])[0])
            self.answer(200, "application/json", json.dumps(answer))
        else:
            self.answer(400, "text/plain", "bad request")

    def answer(self, status, kind, body):
        data = body.encode()
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, format, *args):
        pass


def serve(port, folder):
    Handler.tokens = Tokens(folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    print("ready", flush=True)
    server.serve_forever()


def issue(url, user, lifetime):
    form = urllib.parse.urlencode({"user": user, "lifetime": lifetime}).encode()
    with urllib.request.urlopen(url.rstrip("/") + "/token", form, timeout=10) as answer:
        print(answer.read().decode())


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "serve":
        serve(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) in (4, 5) and sys.argv[1] == "issue":
        issue(sys.argv[2], sys.argv[3], sys.argv[4] if len(sys.argv) == 5 else "3600")
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main()
