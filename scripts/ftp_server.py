#!/usr/bin/python3
"""A small FTP server on 127.0.0.1 for Velmora's tests and demo (Debian python3-pyftpdlib).

Prints "PORT <n>" on its first line once it listens. Anonymous logins may read and write the root;
with --user and --password a named account with the same rights is added. With --log every command
the server receives is appended to a file, one per line, plus "STORED <path> <bytes>" for every
complete upload, so that a test can check what arrived and in which order.

Fault modes for tests: --no-passive refuses EPSV and PASV (and logs any active-mode attempt);
--stall-after BYTES stops the whole server from answering once an upload has sent that many bytes.
With --archive DIR a copy of every complete upload is kept there as "<n>-<name>" (n counts from 1),
so that a test can read each version of a file that was overwritten.

Renames: every successful RNFR/RNTO is logged as "RENAMED <from> <to>", and with --archive the
renamed file is kept as "<n>-<new name>" too, in the same count, with "<n>.from" holding the old
name. --no-rename-over answers 550 to an RNTO onto an existing name, as some Windows servers do;
--no-rename refuses RNFR and RNTO altogether (502). --no-delete gives the accounts no right to
delete files, as some hosts do for upload accounts (DELE answered 550).

--cut-uploads drops the last byte of every upload and still answers 226, as some servers lose
the end of an upload over TLS without noticing.

FTPS: --tls explicit requires AUTH TLS before USER and protected data connections (PROT P);
--tls implicit speaks TLS from the first byte, as on port 990. Both take --cert FILE (PEM, with
the key unless --key FILE names it).

Hostile or slow servers: --pwd-reply TEXT answers PWD with TEXT exactly as given (line ends
included), whatever the real directory; --reply-delay-ms N answers every command N ms late.
"""
import argparse
import logging
import os
import shutil
import sys
import time
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.log import config_logging, logger
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--log", default="")
    parser.add_argument("--no-passive", action="store_true")
    parser.add_argument("--stall-after", type=int, default=-1)
    parser.add_argument("--archive", default="")
    parser.add_argument("--no-rename-over", action="store_true")
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--no-delete", action="store_true")
    parser.add_argument("--pwd-reply", default="")
    parser.add_argument("--reply-delay-ms", type=int, default=0)
    parser.add_argument("--cut-uploads", action="store_true")
    parser.add_argument("--idle-timeout", type=float, default=0)
    parser.add_argument("--tls", choices=("explicit", "implicit"), default="")
    parser.add_argument("--cert", default="")
    parser.add_argument("--key", default="")
    args = parser.parse_args()

    config_logging(level=logging.WARNING)
    warnings.simplefilter("ignore")
    root = os.path.abspath(args.root)
    authorizer = DummyAuthorizer()
    perm = "elrafmwMT" if args.no_delete else "elradfmwMT"
    authorizer.add_anonymous(root, perm=perm)
    if args.user:
        authorizer.add_user(args.user, args.password, root, perm=perm)

    # A restarted server numbers on from where the one before it stopped.
    stored = [0]
    if args.archive:
        stored[0] = sum(1 for name in os.listdir(args.archive) if not name.endswith(".from"))
    log_file = open(args.log, "a", buffering=1) if args.log else None

    def log(line):
        if log_file:
            log_file.write(line + "\n")

    def archive(file, renamed_from=None):
        if not args.archive or not os.path.isfile(file):
            return
        stored[0] += 1
        name = "%d-%s" % (stored[0], os.path.basename(file))
        shutil.copyfile(file, os.path.join(args.archive, name))
        if renamed_from is not None:
            with open(os.path.join(args.archive, "%d.from" % stored[0]), "w") as out:
                out.write(renamed_from)

    base_handler, base_dtp = FTPHandler, DTPHandler
    if args.tls:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class FixedTLSDTP(TLS_DTPHandler):
            # Debian's pyftpdlib 1.5.7 asks a data connection for reading only once a transfer
            # has begun, so a client's TLS handshake on a fresh data connection is never read
            # and both sides wait for ever.
            def readable(self):
                return self._ssl_accepting or super().readable()

        base_handler, base_dtp = TLS_FTPHandler, FixedTLSDTP

    class OrderedDTP(base_dtp):
        def close(self):
            self.cmd_channel.reply_when_done(super().close)

    base_dtp = OrderedDTP

    class StallingDTP(base_dtp):
        def handle_read(self):
            if 0 <= args.stall_after <= self.tot_bytes_received:
                log("STALL")
                # Blocks the single-threaded server: it stops answering on every connection.
                while True:
                    time.sleep(3600)
            super().handle_read()

        # The base class calls handle_read through this alias.
        handle_read_event = handle_read

    class Handler(base_handler):
        dtp_handler = base_dtp
        _held = None

        def respond(self, resp, logfun=logger.debug):
            if self._held is not None:
                self._held.append((resp, logfun))
                return
            super().respond(resp, logfun)

        def reply_when_done(self, work):
            # The reply goes out only once the log and the archive show what it reports: a test
            # may look the moment its client has the reply.
            if self._held is not None:
                return work()
            self._held = []
            try:
                return work()
            finally:
                held, self._held = self._held, None
                for resp, logfun in held:
                    base_handler.respond(self, resp, logfun)

        def pre_process_command(self, line, cmd, arg):
            # Whether the command came protected: a test checks that no password went in clear.
            log(line if not args.tls or self._ssl_established else "CLEAR " + line)
            if args.reply_delay_ms > 0:
                # Blocks the single-threaded server, as a busy one would keep everyone waiting.
                time.sleep(args.reply_delay_ms / 1000.0)
            if args.no_passive and cmd in ("PASV", "EPSV"):
                self.respond("502 Passive mode is switched off on this server.")
                return
            if args.no_rename and cmd in ("RNFR", "RNTO"):
                self.respond("502 Renaming is switched off on this server.")
                return
            super().pre_process_command(line, cmd, arg)

        def ftp_PWD(self, line):
            if args.pwd_reply:
                self.push(args.pwd_reply)
                return
            super().ftp_PWD(line)

        def ftp_RNTO(self, path):
            if args.no_rename_over and self._rnfr and self.fs.lexists(path):
                self._rnfr = None
                self.respond("550 A file of that name exists already.")
                return None
            source = self._rnfr

            def rename():
                renamed = base_handler.ftp_RNTO(self, path)
                if renamed:
                    log("RENAMED %s %s"
                        % (os.path.relpath(source, root), os.path.relpath(path, root)))
                    archive(path, os.path.basename(source))
                return renamed

            return self.reply_when_done(rename)

        def on_file_received(self, file):
            if args.cut_uploads and os.path.getsize(file) > 0:
                with open(file, "r+b") as cut:
                    cut.truncate(os.path.getsize(file) - 1)
            rel = os.path.relpath(file, root)
            log("STORED %s %d" % (rel, os.path.getsize(file)))
            archive(file)

        def on_incomplete_file_received(self, file):
            log("INCOMPLETE %s" % os.path.relpath(file, root))

    if args.tls:
        Handler.certfile = args.cert
        Handler.keyfile = args.key or None
        Handler.tls_control_required = True
        Handler.tls_data_required = True
    if args.tls == "implicit":
        class ImplicitHandler(Handler):
            _greeted = False

            def handle(self):
                self.secure_connection(self.ssl_context)

            def handle_ssl_established(self):
                if not self._greeted:
                    self._greeted = True
                    base_handler.handle(self)

        Handler = ImplicitHandler

    Handler.authorizer = authorizer
    Handler.banner = "Velmora test FTP server ready."
    # A wrong password is still refused, only without the long anti-guessing pause.
    Handler.auth_failed_timeout = 0.2
    if args.stall_after >= 0:
        Handler.dtp_handler = StallingDTP
    if args.idle_timeout > 0:
        # "421 Control connection timed out." and the connection closed, as servers do with an
        # idle login.
        Handler.timeout = args.idle_timeout

    server = FTPServer(("127.0.0.1", args.port), Handler)
    print("PORT %d" % server.address[1], flush=True)
    try:
        server.serve_forever(handle_exit=True)
    finally:
        server.close_all()


if __name__ == "__main__":
    sys.exit(main())
