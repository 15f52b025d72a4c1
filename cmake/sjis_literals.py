#!/usr/bin/env python3
"""Copies a C++ source, writing every non-ASCII character of its narrow string
and character literals as octal escapes of the character's Shift-JIS bytes.

  sjis_literals.py IN OUT

clang has no execution character set but UTF-8, so a clang build compiles
these copies: their literals then hold the bytes g++ gives the originals with
-fexec-charset=CP932. Octal escapes, because one takes at most three digits
and cannot swallow a digit that follows it, as a hex escape would. Comments
and L, u, U and u8 literals stay as they are, and the line count does not
change, so diagnostics and debug lines match the original.
"""
import sys

PREFIXES = ("", "L", "u", "U", "u8")


def is_ident(ch):
    return ch.isascii() and (ch.isalnum() or ch == "_")


class SourceError(Exception):
    pass


def sjis_escapes(ch, where):
    try:
        data = ch.encode("cp932")
    except UnicodeEncodeError:
        raise SourceError(f"{where}: {ch!r} has no Shift-JIS form") from None
    return "".join(f"\\{b:03o}" for b in data)


def convert(text, path):
    out = []
    i, n = 0, len(text)

    def where(at):
        return f"{path}:{text.count(chr(10), 0, at) + 1}"

    def literal(start, prefix, raw):
        """The literal whose quote is at `start`; returns (converted, end)."""
        quote = text[start]
        if raw:
            open_paren = text.find("(", start)
            delim = text[start + 1:open_paren]
            close = text.find(")" + delim + '"', open_paren)
            if open_paren < 0 or close < 0:
                raise SourceError(f"{where(start)}: unterminated raw string")
            end = close + len(delim) + 2
            body = text[start:end]
            if prefix == "" and not body.isascii():
                raise SourceError(f"{where(start)}: a raw narrow literal cannot hold escapes")
            return body, end
        j = start + 1
        parts = [quote]
        while True:
            if j >= n or text[j] == "\n":
                raise SourceError(f"{where(start)}: unterminated literal")
            ch = text[j]
            if ch == "\\":
                parts.append(text[j:j + 2])
                j += 2
                continue
            j += 1
            if ch == quote:
                parts.append(ch)
                return "".join(parts), j
            parts.append(sjis_escapes(ch, where(j)) if prefix == "" and not ch.isascii() else ch)

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c in "\"'":
            body, i = literal(i, "", False)
            out.append(body)
        elif is_ident(c) and not c.isdigit():
            j = i
            while j < n and is_ident(text[j]):
                j += 1
            word = text[i:j]
            raw = word.endswith("R")
            prefix = word[:-1] if raw else word
            if j < n and text[j] in "\"'" and prefix in PREFIXES and not (raw and text[j] == "'"):
                body, end = literal(j, prefix, raw)
                out.append(word + body)
                i = end
            else:
                out.append(word)
                i = j
        elif c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            # A pp-number: its ' are digit separators, not character literals.
            j = i + 1
            while j < n:
                if text[j] in "eEpP" and j + 1 < n and text[j + 1] in "+-":
                    j += 2
                elif is_ident(text[j]) or text[j] == ".":
                    j += 1
                elif text[j] == "'" and j + 1 < n and is_ident(text[j + 1]):
                    j += 2
                else:
                    break
            out.append(text[i:j])
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: sjis_literals.py IN OUT")
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    try:
        converted = convert(text, source)
    except SourceError as e:
        sys.exit(f"sjis_literals: {e}")
    with open(target, "w", encoding="utf-8", newline="") as f:
        f.write(converted)


if __name__ == "__main__":
    main()
