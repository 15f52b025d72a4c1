#!/usr/bin/env python3
"""Writes the fuzz targets' seed files into corpus/<target>/, Shift-JIS as
the program reads them. Run again after changing a seed here."""
import math
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
ANGLE_SCALE = 0.07724759275912921
MARKER = b"NPOIs100@NRA/R1;\n"


def sjis(text):
    return text.encode("cp932")


def nmea(body):
    """A sentence with its checksum right."""
    check = 0
    for c in body.encode():
        check ^= c
    return b"$%s*%02X\r\n" % (body.encode(), check)


def code_value(target):
    """The smallest 32-bit code whose scaled, truncated value is `target`."""
    u = math.ceil(target / ANGLE_SCALE)
    while u > 0 and int((u - 1) * ANGLE_SCALE) >= target:
        u -= 1
    while int(u * ANGLE_SCALE) < target:
        u += 1
    return u


def point_code(latitude, longitude):
    lat, lon = code_value(latitude), code_value(longitude)
    code = ""
    for k in range(8):
        byte = 0
        for pair in range(4):
            bit = 31 - (4 * k + pair)
            byte = (byte << 2) | (((lat >> bit) & 1) << 1) | ((lon >> bit) & 1)
        code += f"{byte:02X}"
    return code.encode()


def route_block(latitude, longitude, text, marker=MARKER):
    return (marker + b"line2\nline3\nPC" + point_code(latitude, longitude) + b"\nTEXT0001" +
            sjis(text) + b"\nline6\nline7\n")


TOKYO = (32873600, 128801408)
YOKOHAMA = (32513280, 128442368)
EXAMPLE_CAMERA = "ORD=POI/tex=newオービス/kei=139'45'30'5/ido=35'40'12'5/deg=270\r\n"

SEEDS = {
    "route_file_fuzz": {
        "two_waypoints.nyp": route_block(*TOKYO, "右折") + route_block(*YOKOHAMA, "目的地"),
        "crlf_marker.nyp": (route_block(*TOKYO, "右折", MARKER[:-1] + b"\r\n") +
                            route_block(*YOKOHAMA, "目的地")),
        "cut_short.nyp": route_block(*TOKYO, "左折")[:60],
    },
    "camera_file_fuzz": {
        "example.pot": sjis(EXAMPLE_CAMERA),
        "three_cameras.pot": sjis(
            EXAMPLE_CAMERA +
            "ORD=POI/TEX=ネズミ捕り/KEI=139'0'0'0/IDO=35'0'0'0/DEG=90\r\n"
            "ORD=POI/tex=オービス/kei=138'59'59'9/ido=36'1'2'3/deg=\n"),
    },
    "status_bar_fuzz": {
        "tokyo.txt": sjis("時速：42km/h\n北緯： 35度41分22.5秒\n東経：139度45分10.3秒\n"),
        "no_speed.txt": sjis("時速：--km/h\n北緯： 35度40分12.5秒\n東経：139度45分30.5秒\n"),
        # The position before, then one to head for (four little-endian int32).
        "with_positions.txt": (
            sjis("時速：108km/h\n北緯： 35度41分22.5秒\n東経：139度45分10.3秒\n") +
            b"".join(v.to_bytes(4, "little") for v in (*TOKYO, *YOKOHAMA))),
    },
    # The first byte is the length the reads are cut at.
    "nmea_fuzz": {
        "sample_drive.nmea": b"\x07" + b"".join(
            (HERE / ".." / ".." / "data" / "sample-drive.nmea").read_bytes().splitlines(True)[:8]),
        "mixed.nmea": b"\x05" + b"4.2,M,,*6B\r\n{\"class\":\"TPV\"}\r\n"
        b"$GNRMC,011501.00,A,3351.6000,S,15112.6000,W,0.0,,070326,,*56\r\n"
        b"$GPVTG,54.7,T,,M,5.5,N,10.2,K,A*00\n$PGRME,15.0,M*00\r\n",
        # Epochs as receivers send them: RMC first and last, GLL and GGA in
        # epochs of their own, the talkers IN and GQ, mode "N".
        "epochs.nmea": b"\x0b" + b"".join(nmea(body) for body in (
            "GNRMC,101500.00,V,,,,,,,070326,,,N,V", "GNGGA,101500.00,,,,,0,00,,,M,,M,,",
            "GNRMC,101501.00,A,3540.2000,N,13945.3000,E,10.0,90.0,070326,,,A,V",
            "GNGGA,101501.00,3540.2000,N,13945.3000,E,1,08,1.0,3.6,M,39.5,M,,",
            "INGLL,3540.2100,N,13945.3100,E,101502.00,A,A",
            "GQGGA,101503.00,3540.2200,N,13945.3200,E,1,08,1.0,3.6,M,39.5,M,,",
            "GQRMC,101503.00,A,3540.2200,N,13945.3200,E,10.0,90.0,070326,,,N,V")),
    },
}


def main():
    for target, files in SEEDS.items():
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
