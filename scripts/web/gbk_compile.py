#!/usr/bin/env python3
"""Compiler launcher of the web build: narrow string literals in GBK.

The native build stores narrow literals as GBK with GCC's
-fexec-charset=GBK. Emscripten's clang knows only UTF-8, so where a compile
asks for GBK this launcher rewrites the source first: every non-ASCII
character inside a plain "..." or '...' literal becomes its GBK bytes as
octal escapes (wide and u8/u/U literals keep their characters, which clang
converts itself), and the copy is compiled in place of the original, with
the original's folder first on the include path.

Usage (as CMAKE_<LANG>_COMPILER_LAUNCHER): gbk_compile.py COMPILER ARGS...
"""
import os
import subprocess
import sys

GBK_FLAGS = ("-fexec-charset=GBK", "-finput-charset=UTF-8")
SOURCE_EXTS = (".c", ".cc", ".cpp", ".cxx")


PREFIXES = ("L", "u", "U", "u8")


def escape_char(ch):
    try:
        data = ch.encode("gbk")
    except UnicodeEncodeError:
        data = b"?"  # as the native build's conversion refuses it
    return "".join("\\%03o" % b for b in data)


def rewrite(text):
    """Returns text with the plain literals' non-ASCII characters escaped."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i) or text.startswith("/*", i):
            end = "\n" if text[i + 1] == "/" else "*/"
            j = text.find(end, i + 2)
            j = n if j < 0 else j + (0 if end == "\n" else 2)
            out.append(text[i:j])
            i = j
            continue
        if c not in "\"'":
            out.append(c)
            i += 1
            continue
        k = i
        while k > 0 and (text[k - 1].isalnum() or text[k - 1] == "_"):
            k -= 1
        ident = text[k:i]
        if ident.endswith("R") and c == '"' and ident[:-1] in ("",) + PREFIXES:
            # A raw string: copied as it is up to )delimiter".
            d_end = text.find("(", i)
            close = ")" + text[i + 1:d_end] + '"'
            j = text.find(close, d_end)
            j = n if j < 0 else j + len(close)
            out.append(text[i:j])
            i = j
            continue
        if ident and ident not in PREFIXES:
            out.append(c)  # a digit separator (1'000) or the end of an identifier
            i += 1
            continue
        plain = ident == ""
        buf = [c]
        j = i + 1
        while j < n and text[j] != c and text[j] != "\n":
            if text[j] == "\\" and j + 1 < n:
                buf.append(text[j:j + 2])
                j += 2
                continue
            ch = text[j]
            buf.append(escape_char(ch) if plain and ord(ch) > 127 else ch)
            j += 1
        if j < n and text[j] == c:
            buf.append(c)
            j += 1
        out.append("".join(buf))
        i = j
    return "".join(out)


def main(argv):
    cmd = argv[1:]
    if not any(f in cmd for f in GBK_FLAGS):
        os.execvp(cmd[0], cmd)
    cmd = [a for a in cmd if a not in GBK_FLAGS]
    src_idx = None
    for idx, a in enumerate(cmd):
        if a.endswith(SOURCE_EXTS) and os.path.isfile(a) and (idx == 0 or cmd[idx - 1] not in ("-o", "-MF", "-MT", "-MQ")):
            src_idx = idx
    if src_idx is None:
        os.execvp(cmd[0], cmd)
    src = cmd[src_idx]
    out_path = None
    if "-o" in cmd:
        out_path = cmd[cmd.index("-o") + 1]
    base = (out_path or os.path.basename(src)) + ".gbk" + os.path.splitext(src)[1]
    with open(src, encoding="utf-8") as f:
        text = f.read()
    rewritten = rewrite(text)
    os.makedirs(os.path.dirname(os.path.abspath(base)), exist_ok=True)
    with open(base, "w", encoding="utf-8") as f:
        # Diagnostics and __FILE__ name the original file.
        f.write('#line 1 "%s"\n' % os.path.abspath(src).replace("\\", "\\\\"))
        f.write(rewritten)
    cmd[src_idx] = base
    cmd[1:1] = ["-iquote", os.path.dirname(os.path.abspath(src))]
    return subprocess.call(cmd)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
