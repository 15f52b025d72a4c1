#!/usr/bin/env python3
"""Writes the help page that ships beside Tabiro2.exe: res/help.src.html
(UTF-8, the file to edit) converted to Shift-JIS (code page 932) as
data/ship/Tabiro2.html.

    python3 res/make_help.py"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "help.src.html")
TARGET = os.path.join(HERE, "..", "data", "ship", "Tabiro2.html")


def main():
    with open(SOURCE, encoding="utf-8") as f:
        text = f.read()
    # Strict: a character without a Shift-JIS form is an error, not a "?".
    data = text.encode("cp932")
    os.makedirs(os.path.dirname(TARGET), exist_ok=True)
    with open(TARGET, "wb") as f:
        f.write(data.replace(b"\n", b"\r\n"))


if __name__ == "__main__":
    main()
