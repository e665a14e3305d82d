#!/usr/bin/env python3
"""Reads the text of an RTF file the way a word processor would, written
apart from the program's own writer so that a test can check its output.

  rtf_text.py FILE [unicode|legacy]

unicode: \\uN is read and the \\ucN places after it skipped (a modern
reader). legacy: \\uN is ignored and the fallback bytes are read as code
page 936 (a reader that knows no Unicode escapes). Destinations (font and
colour tables, \\* groups) are skipped. \\par, \\line and \\row end a line,
\\cell and \\tab give a tab. Prints the text as UTF-8; exits 2 on a
malformed file (unbalanced braces, a bad escape)."""
import re
import sys

SKIP = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer"}


def read(data, mode):
    out = bytearray()  # code page 936 bytes for the legacy text
    text = []          # pieces of decoded text
    pending = bytearray()

    def flush():
        if pending:
            text.append(pending.decode("gbk", errors="strict"))
            pending.clear()

    stack = [{"uc": 1, "skip": False}]
    i, n = 0, len(data)
    skip_chars = 0
    while i < n:
        c = data[i:i + 1]
        if c == b"{":
            stack.append(dict(stack[-1]))
            i += 1
            continue
        if c == b"}":
            if len(stack) == 1:
                sys.exit(2)
            stack.pop()
            i += 1
            continue
        st = stack[-1]
        if c == b"\\":
            m = re.compile(rb"\\([a-z]+)(-?\d+)? ?").match(data, i)
            if m:
                word, arg = m.group(1).decode(), m.group(2)
                i = m.end()
                if word in SKIP:
                    st["skip"] = True
                elif word == "uc":
                    st["uc"] = int(arg)
                elif word == "u" and not st["skip"]:
                    if mode == "unicode":
                        flush()
                        v = int(arg)
                        if v < 0:
                            v += 65536
                        text.append(chr(v))
                        skip_chars = st["uc"]
                elif not st["skip"]:
                    if word in ("par", "line", "row"):
                        flush(); text.append("\n")
                    elif word in ("cell", "tab"):
                        flush(); text.append("\t")
                continue
            if data[i + 1:i + 2] == b"'":
                h = data[i + 2:i + 4]
                if not re.fullmatch(rb"[0-9a-fA-F]{2}", h):
                    sys.exit(2)
                i += 4
                if skip_chars:
                    skip_chars -= 1
                    continue
                if not st["skip"]:
                    pending.append(int(h, 16))
                continue
            if data[i + 1:i + 2] == b"*":
                st["skip"] = True
                i += 2
                continue
            sym = data[i + 1:i + 2]
            i += 2
            if skip_chars:
                skip_chars -= 1
                continue
            if not st["skip"] and sym in (b"\\", b"{", b"}"):
                pending += sym
            continue
        i += 1
        if c in (b"\r", b"\n"):
            continue
        if skip_chars:
            skip_chars -= 1
            continue
        if not st["skip"]:
            if c[0] >= 128:
                sys.exit(2)  # the writer promises pure ASCII
            pending += c
    if len(stack) != 1:
        sys.exit(2)
    flush()
    s = "".join(text)
    # Join the UTF-16 pairs a modern reader would join.
    s = s.encode("utf-16", "surrogatepass").decode("utf-16")
    return s


if __name__ == "__main__":
    mode = sys.argv[2] if len(sys.argv) > 2 else "unicode"
    with open(sys.argv[1], "rb") as f:
        sys.stdout.buffer.write(read(f.read(), mode).encode("utf-8"))
