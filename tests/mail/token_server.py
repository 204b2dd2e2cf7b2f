"""OAuth 2.0 tokens for the integration tests: an authorization server on 127.0.0.1 with an
authorization endpoint, a token endpoint and a token introspection endpoint (RFC 7662), with
what it issued in files of its state folder. Dovecot's oauth2 passdb and the SMTP sink ask it
whether a token is valid.

    token_server.py serve PORT STATE_DIR
        POST /token       user=U[&lifetime=SECONDS]  -> a new access token of U, as the body
        GET  /authorize   response_type=code, client_id, redirect_uri, state, S256
                          code_challenge, and user=U for the person who signs in -> a redirect
                          to redirect_uri with a code (holding a "/", percent-encoded) and state
        POST /token       grant_type=authorization_code with code, redirect_uri, client_id and
                          the PKCE code_verifier; or grant_type=refresh_token with refresh_token
                          and client_id -> {"access_token", "refresh_token", ...}; every refresh
                          rotates the refresh token, the old one is refused from then on with
                          400 {"error": "invalid_grant"}
        POST /revoke      token=R  -> the refresh token R is refused from now on (RFC 7009)
        POST /expire      user=U   -> every access token of U has expired
        POST /introspect  token=T  -> {"active": true, "username": U, "exp": ...} while T is
                                      valid, {"active": false} for an unknown or expired token
    token_server.py issue URL USER [LIFETIME]
        prints a new token of USER, as a token helper does for a password_command; a negative
        lifetime gives a token that has already expired
"""
import base64
import hashlib
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


class Table:
    """Entries by key in a JSON file; callers hold the lock."""

    def __init__(self, folder, name):
        self.path = os.path.join(folder, name)

    def load(self):
        try:
            with open(self.path) as stored:
                return json.load(stored)
        except FileNotFoundError:
            return {}

    def store(self, entries):
        temporary = self.path + ".tmp"
        with open(temporary, "w") as stored:
            json.dump(entries, stored)
        os.replace(temporary, self.path)


class Tokens:
    def __init__(self, folder):
        self.access = Table(folder, "tokens.json")
        self.refresh = Table(folder, "refresh.json")
        self.codes = Table(folder, "codes.json")

    def issue(self, user, lifetime):
        token = secrets.token_hex(24)
        with lock:
            tokens = self.access.load()
            tokens[token] = {"user": user, "exp": int(time.time() + lifetime)}
            self.access.store(tokens)
        return token

    def introspect(self, token):
        with lock:
            entry = self.access.load().get(token)
        if entry is None or entry["exp"] <= time.time():
            return {"active": False}
        return {"active": True, "username": entry["user"], "exp": entry["exp"], "token_type": "Bearer"}

    def expire(self, user):
        with lock:
            tokens = self.access.load()
            for entry in tokens.values():
                if entry["user"] == user:
                    entry["exp"] = 0
            self.access.store(tokens)

    def authorize(self, query):
        """The code for a person's sign-in, or None for a request that is not as it must be."""
        needed = ("client_id", "redirect_uri", "state", "code_challenge", "user")
        if query.get("response_type") != "code" or query.get("code_challenge_method") != "S256":
            return None
        if any(not query.get(name) for name in needed):
            return None
        code = "4/" + secrets.token_urlsafe(18)
        with lock:
            codes = self.codes.load()
            codes[code] = {name: query[name] for name in needed}
            self.codes.store(codes)
        return code

    def grant(self, user, client):
        refresh = secrets.token_urlsafe(24)
        with lock:
            tokens = self.refresh.load()
            tokens[refresh] = {"user": user, "client_id": client}
            self.refresh.store(tokens)
        access = self.issue(user, 3600)
        return {"access_token": access, "token_type": "Bearer", "expires_in": 3600, "refresh_token": refresh}

    def exchange_code(self, form):
        with lock:
            codes = self.codes.load()
            entry = codes.pop(form.get("code", ""), None)
            self.codes.store(codes)
        if entry is None or form.get("client_id") != entry["client_id"]:
            return None
        if form.get("redirect_uri") != entry["redirect_uri"]:
            return None
        digest = hashlib.sha256(form.get("code_verifier", "").encode()).digest()
        if base64.urlsafe_b64encode(digest).decode().rstrip("=") != entry["code_challenge"]:
            return None
        return self.grant(entry["user"], entry["client_id"])

    def exchange_refresh(self, form):
        with lock:
            tokens = self.refresh.load()
            entry = tokens.get(form.get("refresh_token", ""))
            if entry is None or entry["client_id"] != form.get("client_id"):
                return None
            del tokens[form["refresh_token"]]
            self.refresh.store(tokens)
        return self.grant(entry["user"], entry["client_id"])

    def revoke(self, token):
        with lock:
            tokens = self.refresh.load()
            tokens.pop(token, None)
            self.refresh.store(tokens)


class Handler(http.server.BaseHTTPRequestHandler):
    tokens = None

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        code = self.tokens.authorize(query) if url.path == "/authorize" else None
        if code is None:
            self.answer(400, "text/plain", "bad request")
            return
        redirect = query["redirect_uri"] + "?" + urllib.parse.urlencode({"code": code, "state": query["state"]})
        self.send_response(302)
        self.send_header("Location", redirect)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        form = urllib.parse.parse_qs(self.rfile.read(length).decode())
        single = {name: values[0] for name, values in form.items()}
        if self.path == "/token" and "grant_type" in single:
            grants = {"authorization_code": self.tokens.exchange_code,
                      "refresh_token": self.tokens.exchange_refresh}
            granted = grants.get(single["grant_type"], lambda form: None)(single)
            if granted is None:
                self.answer(400, "application/json", json.dumps({"error": "invalid_grant"}))
            else:
                self.answer(200, "application/json", json.dumps(granted))
        elif self.path == "/token" and "user" in form:
            lifetime = float(form.get("lifetime", ["3600"])[0])
            self.answer(200, "text/plain", self.tokens.issue(form["user"][0], lifetime))
        elif self.path == "/revoke":
            self.tokens.revoke(single.get("token", ""))
            self.answer(200, "text/plain", "")
        elif self.path == "/expire":
            self.tokens.expire(single.get("user", ""))
            self.answer(200, "text/plain", "")
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
