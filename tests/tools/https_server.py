#!/usr/bin/env python3
"""An https server on 127.0.0.1 for the filter-list tests: serves one folder with the
certificate and key given, writes its port to a file once it listens, runs until killed.
usage: https_server.py FOLDER CERT KEY PORT_FILE"""
import functools
import http.server
import ssl
import sys

folder, cert, key, port_file = sys.argv[1:5]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
