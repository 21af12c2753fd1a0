#!/usr/bin/python3
"""Serves a folder over HTTP on 127.0.0.1 for the viewer page tests; prints "PORT <n>" first.

With --sequence DIR, a request for /NAME (any query) is answered with DIR/NAME.1 the first time,
DIR/NAME.2 the second time and so on, staying on the last one; an empty step file answers 404.
That plays a presentation to the browser: each reload of the data page gets the next version.

With --control FILE, every request waits without an answer while FILE holds "hang": a server
that has stopped answering but still accepts connections. "hang /PREFIX" holds back only the
requests whose path starts with /PREFIX. Each request held back is written to FILE.held.

Every request is logged to --log as "<path with query> <status> <arrival ms> <referer>", the
arrival in milliseconds since the epoch, "-" for a request without a referer.
"""
import argparse
import functools
import http.server
import os
import sys
import threading
import time
import urllib.parse


def hanging(control, path):
    try:
        with open(control, "rb") as f:
            words = f.read().split()
    except OSError:
        return False
    if not words or words[0] != b"hang":
        return False
    return len(words) == 1 or path.encode().startswith(words[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--sequence", default="")
    parser.add_argument("--log", default="")
    parser.add_argument("--control", default="")
    args = parser.parse_args()
    counts = {}
    counts_lock = threading.Lock()
    log_file = open(args.log, "a", buffering=1) if args.log else None
    log_lock = threading.Lock()

    class Handler(http.server.SimpleHTTPRequestHandler):
        arrival_ms = 0

        def end_headers(self):
            self.send_header("Cache-Control", "no-store")
            super().end_headers()

        def log_request(self, code="-", size="-"):
            if log_file:
                line = "%s %s %d %s\n" % (self.path, code, self.arrival_ms,
                                          self.headers.get("Referer", "-"))
                with log_lock:
                    log_file.write(line)

        def log_message(self, *unused):
            pass

        def do_GET(self):
            self.arrival_ms = int(time.time() * 1000)
            if args.control and hanging(args.control, self.path):
                with log_lock, open(args.control + ".held", "a") as held:
                    held.write(self.path + "\n")
                while hanging(args.control, self.path):
                    time.sleep(0.05)
            name = urllib.parse.urlsplit(self.path).path.lstrip("/")
            if args.sequence and os.path.exists(os.path.join(args.sequence, name + ".1")):
                with counts_lock:
                    step = counts.get(name, 0) + 1
                    counts[name] = step
                while step > 1 and not os.path.exists(
                        os.path.join(args.sequence, "%s.%d" % (name, step))):
                    step -= 1
                with open(os.path.join(args.sequence, "%s.%d" % (name, step)), "rb") as f:
                    body = f.read()
                if not body:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(name))
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            super().do_GET()

    handler = functools.partial(Handler, directory=args.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
