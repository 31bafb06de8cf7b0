#!/usr/bin/env python3
"""The upgrade server of the end-to-end tests, on 127.0.0.1 only.

    upgrade_server.py PORT_FILE LOG_FILE

Listens on a free loopback port and writes its number to PORT_FILE. Every request except the
driver's own control requests is written to LOG_FILE: its request line and header lines, then a
blank line. What /upgrade.bin (or any other path) answers is set by the driver:

    GET /__mode/NAME   available, current, notfound, redirect, loop, huge, silent
    GET /__log         the log so far
    GET /__stop        ends the server

A silent reply accepts the request and answers nothing until the server stops (at most 120 s).
The server ends by itself after 15 minutes.
"""
import http.server
import os
import socketserver
import sys
import threading

port_file, log_file = sys.argv[1], sys.argv[2]
state = {"mode": "available"}
lock = threading.Lock()
stopping = threading.Event()

BODIES = {"available": b"1,1,1,2.0", "current": b"1,1,1,1.9", "final": b"1,1,1,2.5"}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path.startswith("/__mode/"):
            with lock:
                state["mode"] = path[len("/__mode/"):]
            return self.reply(200, b"ok")
        if path == "/__log":
            with lock, open(log_file, "rb") as f:
                return self.reply(200, f.read())
        if path == "/__stop":
            self.reply(200, b"bye")
            stopping.set()
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return None
        with lock:
            with open(log_file, "a", encoding="latin-1") as f:
                f.write(self.requestline + "\n")
                for name, value in self.headers.items():
                    f.write(f"{name}: {value}\n")
                f.write("\n")
            mode = state["mode"]
        # The absolute address a proxy sees, or the path a server sees.
        ends = path.split("?")[0]
        if ends.endswith("/final.bin"):
            return self.reply(200, BODIES["final"])
        if mode in ("available", "current"):
            return self.reply(200, BODIES[mode])
        if mode == "notfound":
            return self.reply(404, b"not here")
        if mode == "redirect":
            host = self.headers.get("Host", "")
            return self.reply(302, b"", [("Location", f"http://{host}/final.bin")])
        if mode == "loop":
            return self.reply(302, b"", [("Location", "/upgrade.bin")])
        if mode == "huge":
            self.send_response(200)
            self.end_headers()
            try:
                chunk = b"1,1,1,2.0" * 1000
                for _ in range(1000):  # 9 MB at most, until the client stops reading
                    self.wfile.write(chunk)
            except OSError:
                pass
            return None
        if mode == "silent":
            stopping.wait(120)
            return None
        return self.reply(500, b"unknown mode")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


server = Server(("127.0.0.1", 0), Handler)
open(log_file, "w").close()
with open(port_file + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(port_file + ".tmp", port_file)
threading.Timer(900, lambda: (stopping.set(), server.shutdown())).start()
server.serve_forever()
stopping.set()
