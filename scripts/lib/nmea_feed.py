#!/usr/bin/env python3
"""Plays an NMEA drive to Tabiro as a GPS receiver would send it.

  nmea_feed.py feed DRIVE --to PATH [--speed N] [--seed S] [--from-tokyo] [--log FILE]
      writes the drive into PATH (the far end of a pty pair, or any file)
  nmea_feed.py serve DRIVE --port P [--speed N] [--seed S] [--from-tokyo] [--log FILE]
      a loopback TCP server: each client that connects gets the drive once

The sentences of one second (one RMC and what follows it) go out at the
drive's own time divided by --speed, cut into random pieces with short
random gaps, as a serial line delivers them. --from-tokyo moves every
position from the Tokyo datum (the map programs' files, the sample drive)
to WGS84, which receivers speak; a sentence whose checksum was wrong stays
wrong. --log gets one line per sentence when its last byte is written:
"MS SENTENCE" on CLOCK_MONOTONIC_RAW, the clock of GetTickCount64 under Wine.
"""
import argparse
import math
import os
import random
import socket
import sys
import time

# The three-parameter geocentric shift Tokyo -> WGS84 and the two ellipsoids.
SHIFT = (-146.414, 507.337, 680.507)
BESSEL = (6377397.155, 1 / 299.1528128)
WGS84 = (6378137.0, 1 / 298.257223563)


def to_ecef(lat, lon, ellipsoid):
    a, f = ellipsoid
    e2 = f * (2 - f)
    phi, lam = math.radians(lat), math.radians(lon)
    n = a / math.sqrt(1 - e2 * math.sin(phi) ** 2)
    return (n * math.cos(phi) * math.cos(lam), n * math.cos(phi) * math.sin(lam),
            n * (1 - e2) * math.sin(phi))


def from_ecef(x, y, z, ellipsoid):
    a, f = ellipsoid
    e2 = f * (2 - f)
    p = math.hypot(x, y)
    phi = math.atan2(z, p * (1 - e2))
    for _ in range(10):
        n = a / math.sqrt(1 - e2 * math.sin(phi) ** 2)
        h = p / math.cos(phi) - n
        phi = math.atan2(z, p * (1 - e2 * n / (n + h)))
    return math.degrees(phi), math.degrees(math.atan2(y, x))


def wgs84_from_tokyo(lat, lon):
    x, y, z = to_ecef(lat, lon, BESSEL)
    return from_ecef(x + SHIFT[0], y + SHIFT[1], z + SHIFT[2], WGS84)


def checksum(body):
    value = 0
    for c in body.encode("ascii"):
        value ^= c
    return value


def nmea_angle(text, hemisphere, degree_digits):
    value = int(text[:degree_digits]) + float(text[degree_digits:]) / 60
    return -value if hemisphere in "SW" else value


def nmea_text(value, degree_digits, decimals):
    value = abs(value)
    degrees = int(value)
    minutes = round((value - degrees) * 60, decimals)
    if minutes >= 60:
        degrees, minutes = degrees + 1, 0.0
    return f"{degrees:0{degree_digits}d}{minutes:0{3 + decimals}.{decimals}f}"


def moved_to_wgs84(sentence):
    """The sentence with its position in WGS84; others as they are."""
    if not sentence.startswith("$") or "*" not in sentence:
        return sentence
    body, given = sentence[1:].split("*", 1)
    fields = body.split(",")
    at = {"RMC": 3, "GGA": 2}.get(fields[0][2:])
    if at is None or not fields[at] or not fields[at + 2]:
        return sentence
    lat = nmea_angle(fields[at], fields[at + 1], 2)
    lon = nmea_angle(fields[at + 2], fields[at + 3], 3)
    lat, lon = wgs84_from_tokyo(lat, lon)
    decimals = len(fields[at].split(".")[1]) if "." in fields[at] else 0
    fields[at] = nmea_text(lat, 2, decimals)
    fields[at + 2] = nmea_text(lon, 3, decimals)
    new_body = ",".join(fields)
    wrongness = int(given[:2], 16) ^ checksum(body) if len(given) >= 2 else 0
    return f"${new_body}*{checksum(new_body) ^ wrongness:02X}"


def seconds_of(sentence):
    """The UTC time of an RMC sentence in seconds, or None."""
    fields = sentence.split(",")
    if len(fields) < 2 or not fields[0].endswith("RMC") or len(fields[1]) < 6:
        return None
    t = fields[1]
    return int(t[0:2]) * 3600 + int(t[2:4]) * 60 + float(t[4:])


def seconds(drive_path, from_tokyo):
    """The drive as (offset in seconds, [sentences]) per RMC."""
    groups, start, last = [], None, None
    with open(drive_path, encoding="ascii") as f:
        for line in f:
            sentence = line.strip()
            if not sentence:
                continue
            if from_tokyo:
                sentence = moved_to_wgs84(sentence)
            t = seconds_of(sentence)
            if t is not None:
                if start is None:
                    start = t
                while last is not None and t < last:  # past midnight
                    t += 86400
                last = t
                groups.append((t - start, []))
            elif not groups:
                groups.append((0.0, []))
            groups[-1][1].append(sentence)
    return groups


class Player:
    def __init__(self, args):
        self.groups = seconds(args.drive, args.from_tokyo)
        self.speed = args.speed
        self.random = random.Random(args.seed)
        self.log = open(args.log, "a", buffering=1) if args.log else None

    def play(self, write):
        """Writes every group at its time through write(bytes); stops when it fails."""
        begin = time.monotonic()
        for offset, sentences in self.groups:
            delay = begin + offset / self.speed - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            data = b"".join(s.encode("ascii") + b"\r\n" for s in sentences)
            ends, total = [], 0
            for s in sentences:
                total += len(s) + 2
                ends.append(total)
            sent = 0
            while sent < len(data):
                piece = data[sent:sent + self.random.randint(1, 40)]
                try:
                    write(piece)
                except OSError:
                    return False
                sent += len(piece)
                now = time.clock_gettime(time.CLOCK_MONOTONIC_RAW)
                while ends and ends[0] <= sent:
                    ends.pop(0)
                    if self.log:
                        self.log.write(f"{now * 1000:.1f} {sentences[len(sentences) - len(ends) - 1]}\n")
                if self.random.random() < 0.3:
                    time.sleep(self.random.uniform(0, 0.004))
        return True


def feed(args):
    player = Player(args)
    fd = os.open(args.to, os.O_WRONLY | os.O_NOCTTY)
    try:
        player.play(lambda piece: os.write(fd, piece))
        if args.linger:
            time.sleep(args.linger)
    finally:
        os.close(fd)


def serve(args):
    player = Player(args)
    server = socket.create_server(("127.0.0.1", args.port))
    print(f"serving on 127.0.0.1:{args.port}", flush=True)
    while True:
        client, _ = server.accept()
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        with client:
            player.play(client.sendall)
            if args.once:
                time.sleep(args.linger)
                return


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    for name in ("feed", "serve"):
        p = sub.add_parser(name)
        p.add_argument("drive")
        p.add_argument("--speed", type=float, default=1.0)
        p.add_argument("--seed", type=int, default=1)
        p.add_argument("--from-tokyo", action="store_true")
        p.add_argument("--log")
        p.add_argument("--linger", type=float, default=0, help="seconds to stay after the drive")
        if name == "feed":
            p.add_argument("--to", required=True)
        else:
            p.add_argument("--port", type=int, required=True)
            p.add_argument("--once", action="store_true", help="end after the first client")
    args = parser.parse_args()
    (feed if args.command == "feed" else serve)(args)


if __name__ == "__main__":
    sys.exit(main())
