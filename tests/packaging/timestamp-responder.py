#!/usr/bin/env python3
# A local RFC 3161 timestamp server for the signing tests: answers each POSTed timestamp
# query with the reply of `openssl ts -reply -config CONFIG`, on 127.0.0.1 at a free port,
# which it writes into PORT_FILE once it listens.   usage: timestamp-responder.py CONFIG PORT_FILE
import http.server, os, subprocess, sys

config, port_file = sys.argv[1], sys.argv[2]


class Responder(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if not 0 < length <= 65536:  # a query is a digest and a few fields
            return self.send_error(400)
        made = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", "/dev/stdin",
                               "-out", "/dev/stdout"], input=self.rfile.read(length), capture_output=True)
        if made.returncode != 0:
            sys.stderr.buffer.write(made.stderr)
            return self.send_error(500)
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(made.stdout)))
        self.end_headers()
        self.wfile.write(made.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
with open(port_file + ".partial", "w") as out:
    out.write(str(server.server_address[1]))
os.rename(port_file + ".partial", port_file)
server.serve_forever()
