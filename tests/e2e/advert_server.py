#!/usr/bin/env python3
"""A small advertisement server on 127.0.0.1 for the end-to-end tests.

Usage: advert_server.py STATE_FILE

Binds a free loopback port and writes "PORT PID" to STATE_FILE once it listens. Serves:
  /adv/ver.htm                the list page: a table naming the two advertisements
  /adv/one.htm, /adv/two.htm  advertisements, each a linked picture
  /adv/one.gif, /adv/two.gif  their pictures
  /stall/...                  never answered; each such request appends a line to STATE_FILE.stalls
The test ends it by its id. It also ends by itself once STATE_FILE is gone (the test's scratch
folder removed) or after ten minutes, so that a test that dies cannot leave it behind.
"""
import base64
import http.server
import os
import socketserver
import sys
import threading
import time

# 1 x 1 GIFs, one white and one black.
ONE_GIF = base64.b64decode("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==")
TWO_GIF = base64.b64decode("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==")
LIFETIME_S = 600

stopping = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def reply(self, body, content_type):
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        base = "http://127.0.0.1:%d" % self.server.server_address[1]
        path = self.path
        if path.startswith("/stall/"):
            with open(self.server.state_file + ".stalls", "a") as stalls:
                stalls.write(path + "\n")
            stopping.wait()
            return
        if path == "/adv/ver.htm":
            rows = "".join("<tr><td>%s/adv/%s.htm</td></tr>" % (base, name) for name in ("one", "two"))
            self.reply(("<html><body><table>%s</table></body></html>" % rows).encode(), "text/html")
        elif path in ("/adv/one.htm", "/adv/two.htm"):
            name = path[5:8]
            page = '<html><body><a href="%s/buy/%s.htm"><img src="%s.gif"></a></body></html>' % (base, name, name)
            self.reply(page.encode(), "text/html")
        elif path == "/adv/one.gif":
            self.reply(ONE_GIF, "image/gif")
        elif path == "/adv/two.gif":
            self.reply(TWO_GIF, "image/gif")
        else:
            self.send_error(404)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    state_file = sys.argv[1]
    server = Server(("127.0.0.1", 0), Handler)
    server.state_file = state_file
    partial = state_file + ".part"
    with open(partial, "w") as out:
        out.write("%d %d\n" % (server.server_address[1], os.getpid()))
    os.replace(partial, state_file)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    deadline = time.monotonic() + LIFETIME_S
    while os.path.exists(state_file) and time.monotonic() < deadline:
        time.sleep(0.5)
    stopping.set()
    server.shutdown()


if __name__ == "__main__":
    main()
