#!/usr/bin/python3
"""Serves a folder over HTTP on 127.0.0.1 for the viewer page tests; prints "PORT <n>" first.

With --sequence DIR, a request for /NAME (any query) is answered with DIR/NAME.1 the first time,
DIR/NAME.2 the second time and so on, staying on the last one; an empty step file answers 404.
That plays a presentation to the browser: each reload of the data page gets the next version.
Every request is logged to --log as "<path with query> <status>".
"""
import argparse
import functools
import http.server
import os
import sys
import urllib.parse


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--sequence", default="")
    parser.add_argument("--log", default="")
    args = parser.parse_args()
    counts = {}
    log_file = open(args.log, "a", buffering=1) if args.log else None

    class Handler(http.server.SimpleHTTPRequestHandler):
        def end_headers(self):
            self.send_header("Cache-Control", "no-store")
            super().end_headers()

        def log_request(self, code="-", size="-"):
            if log_file:
                log_file.write("%s %s\n" % (self.path, code))

        def log_message(self, *unused):
            pass

        def do_GET(self):
            name = urllib.parse.urlsplit(self.path).path.lstrip("/")
            if args.sequence and os.path.exists(os.path.join(args.sequence, name + ".1")):
                step = counts.get(name, 0) + 1
                while step > 1 and not os.path.exists(
                        os.path.join(args.sequence, "%s.%d" % (name, step))):
                    step -= 1
                counts[name] = counts.get(name, 0) + 1
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
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
