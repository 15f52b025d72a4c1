#!/usr/bin/env python3
"""The GPS receiver's side of an end-to-end run, driven by the test under Wine.

  receiver_rig.py --control PORT --com N --dir DIR

listens on 127.0.0.1:PORT for one command a line and answers one line,
"ok ..." or "error ...":

  plug                    a socat pty pair; Wine's COMN is the near end (a
                          symlink in $WINEPREFIX/dosdevices), the rig holds
                          the far end open so a feeder may come and go
  feed DRIVE SPEED SEED [tokyo]
                          nmea_feed.py plays DRIVE (a Unix path) into the far
                          end; its sentence log is DIR/feed.log
  wait                    until the feeder has played the whole drive
  unplug                  the feeder and socat killed: the port vanishes
  serve DRIVE SPEED SEED PORT [tokyo]
                          nmea_feed.py's loopback TCP server, for one client
  quit                    everything stopped, the rig ends
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FEED = os.path.join(HERE, "nmea_feed.py")


class Rig:
    def __init__(self, com, directory):
        self.dir = os.path.abspath(directory)
        self.near = os.path.join(self.dir, f"com{com}")
        self.far = os.path.join(self.dir, f"com{com}-feeder")
        self.log = os.path.join(self.dir, "feed.log")
        prefix = os.environ.get("WINEPREFIX")
        if not prefix:
            raise SystemExit("receiver_rig: WINEPREFIX is not set")
        self.dosdevice = os.path.join(prefix, "dosdevices", f"com{com}")
        self.socat = None
        self.held = None
        self.feeder = None
        self.server = None

    def plug(self):
        self.unplug()
        self.socat = subprocess.Popen(
            ["socat", f"pty,raw,echo=0,link={self.near}", f"pty,raw,echo=0,link={self.far}"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 5
        while not (os.path.exists(self.near) and os.path.exists(self.far)):
            if time.monotonic() > deadline or self.socat.poll() is not None:
                return "error socat made no pty pair"
            time.sleep(0.02)
        self.held = os.open(self.far, os.O_RDWR | os.O_NOCTTY)
        if os.path.islink(self.dosdevice) or os.path.exists(self.dosdevice):
            os.remove(self.dosdevice)
        os.symlink(self.near, self.dosdevice)
        return f"ok {os.path.realpath(self.near)}"

    def feed(self, drive, speed, seed, *flags):
        self.stop_feeder()
        command = [sys.executable, FEED, "feed", drive, "--to", self.far, "--speed", speed,
                   "--seed", seed, "--log", self.log]
        if "tokyo" in flags:
            command.append("--from-tokyo")
        self.feeder = subprocess.Popen(command, stdin=subprocess.DEVNULL)
        return f"ok {self.log}"

    def wait(self):
        if self.feeder:
            self.feeder.wait()
        return "ok"

    def serve(self, drive, speed, seed, port, *flags):
        if self.server:
            self.server.kill()
            self.server.wait()
        command = [sys.executable, FEED, "serve", drive, "--port", port, "--speed", speed,
                   "--seed", seed, "--log", self.log, "--once", "--linger", "30"]
        if "tokyo" in flags:
            command.append("--from-tokyo")
        self.server = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        line = self.server.stdout.readline()
        return "ok" if line.startswith("serving") else "error the server did not start"

    def stop_feeder(self):
        if self.feeder and self.feeder.poll() is None:
            self.feeder.kill()
        if self.feeder:
            self.feeder.wait()
        self.feeder = None

    def unplug(self):
        self.stop_feeder()
        if self.held is not None:
            os.close(self.held)
            self.held = None
        if self.socat:
            self.socat.kill()
            self.socat.wait()
            self.socat = None
        return "ok"

    def quit(self):
        self.unplug()
        if self.server:
            self.server.kill()
            self.server.wait()
        if os.path.islink(self.dosdevice):
            os.remove(self.dosdevice)
        return "ok"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--control", type=int, required=True)
    parser.add_argument("--com", type=int, default=9)
    parser.add_argument("--dir", required=True)
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    rig = Rig(args.com, args.dir)
    signal.signal(signal.SIGTERM, lambda *_: (rig.quit(), sys.exit(0)))
    listener = socket.create_server(("127.0.0.1", args.control))
    print("rig ready", flush=True)
    done = False
    while not done:
        connection, _ = listener.accept()
        with connection, connection.makefile("rw", newline="\n") as channel:
            for line in channel:
                words = line.split()
                if not words:
                    continue
                handler = getattr(rig, words[0], None) if words[0] in (
                    "plug", "feed", "wait", "serve", "unplug", "quit") else None
                try:
                    answer = handler(*words[1:]) if handler else f"error unknown command {words[0]}"
                except (TypeError, OSError) as e:
                    answer = f"error {e}"
                channel.write(answer + "\n")
                channel.flush()
                if words[0] == "quit":
                    done = True
                    break
    rig.quit()


if __name__ == "__main__":
    main()
