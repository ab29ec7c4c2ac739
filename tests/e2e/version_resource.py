# SPDX-License-Identifier: BSD-2-Clause
"""Reads the version resource back from a built fibbet.exe and checks it against the project's version.

Usage: version_resource.py EXE VERSION
"""
import struct
import sys

FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)  # the signature that starts VS_FIXEDFILEINFO


def string_value(exe, name):
    """A value of the resource's string table: UTF-16 key, zero, padding to four bytes, UTF-16 value."""
    key = (name + "\0").encode("utf-16-le")
    at = exe.index(key) + len(key)
    at += -at % 4
    end = at
    while exe[end:end + 2] != b"\0\0":
        end += 2
    return exe[at:end].decode("utf-16-le")


def main():
    exe = open(sys.argv[1], "rb").read()
    version = sys.argv[2]
    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    info = exe.index(FIXED_FILE_INFO)
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", exe, info + 8)
    found = {
        "FileVersion (fixed)": (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
        "ProductVersion (fixed)": (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF),
    }
    for name in ["FileVersion", "ProductVersion", "ProductName", "FileDescription", "LegalCopyright"]:
        found[name] = string_value(exe, name)
    expected = {"FileVersion (fixed)": numbers, "ProductVersion (fixed)": numbers,
                "FileVersion": version, "ProductVersion": version, "ProductName": "fibbet"}
    wrong = {name: found[name] for name in expected if found[name] != expected[name]}
    empty = [name for name in ["FileDescription", "LegalCopyright"] if not found[name]]
    print("\n".join(f"{name}: {value}" for name, value in found.items()))
    if wrong or empty:
        sys.exit(f"wrong: {wrong}; empty: {empty}")


if __name__ == "__main__":
    main()
