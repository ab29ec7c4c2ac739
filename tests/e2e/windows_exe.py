# SPDX-License-Identifier: BSD-2-Clause
"""Reads back from a built fibbet.exe what Windows reads of it: its version resource (against the project's
version), its application manifest, and the address-space and data-execution protections in its PE header.
Given the zip instead, first checks what a player unpacks: the game, a README for players and the licence, both
as Windows text.

Usage: windows_exe.py EXE|ZIP VERSION
"""
import struct
import sys
import zipfile

FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)  # the signature that starts VS_FIXEDFILEINFO

# The manifest: run as the user who starts it, and written for Windows 7, 8, 8.1, and 10 and 11.
MANIFEST_SAYS = [b'<requestedExecutionLevel level="asInvoker" uiAccess="false"/>'] + [
    b'<supportedOS Id="{%s}"/>' % guid for guid in [
        b"35138b9a-5d96-4fbd-8e2d-a2440225f93a", b"4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
        b"1f676c76-80e1-4239-95bb-83d0f6d0da78", b"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"]]

# IMAGE_DLLCHARACTERISTICS_: 64-bit address randomisation, randomised base (ASLR), no execution of data (NX).
PROTECTIONS = {"HIGH_ENTROPY_VA": 0x0020, "DYNAMIC_BASE": 0x0040, "NX_COMPAT": 0x0100}


def dll_characteristics(exe):
    """The DllCharacteristics of the PE32+ optional header."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    assert exe[pe:pe + 4] == b"PE\0\0", "not a PE file"
    optional = pe + 24
    assert struct.unpack_from("<H", exe, optional)[0] == 0x20B, "not PE32+"
    return struct.unpack_from("<H", exe, optional + 70)[0]


def string_value(exe, name):
    """A value of the resource's string table: UTF-16 key, zero, padding to four bytes, UTF-16 value."""
    key = (name + "\0").encode("utf-16-le")
    at = exe.index(key) + len(key)
    at += -at % 4
    end = at
    while exe[end:end + 2] != b"\0\0":
        end += 2
    return exe[at:end].decode("utf-16-le")


def game_of_zip(path):
    """fibbet.exe from the zip at `path`, once the rest of the zip is as a player should find it."""
    archive = zipfile.ZipFile(path)
    files = {name.split("/", 1)[1]: archive.read(name) for name in archive.namelist()}
    assert sorted(files) == ["LICENSE.txt", "README.txt", "fibbet.exe"], sorted(files)
    for name in ["LICENSE.txt", "README.txt"]:
        assert 0 < files[name].count(b"\r\n") == files[name].count(b"\n"), f"{name}: not CR LF throughout"
    readme = files["README.txt"].decode().lower()
    for builders_word in ["apt-get", "cmake", "preset", "ctest"]:
        assert builders_word not in readme, f"README.txt speaks of {builders_word}"
    for players_word in ["double-click", "fibbet.exe", "Ctrl-Z", "any key", "LICENSE.txt"]:
        assert players_word.lower() in readme, f"README.txt does not say {players_word}"
    return files["fibbet.exe"]


def main():
    path = sys.argv[1]
    exe = game_of_zip(path) if path.endswith(".zip") else open(path, "rb").read()
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
    characteristics = dll_characteristics(exe)
    unprotected = [name for name, bit in PROTECTIONS.items() if not characteristics & bit]
    unsaid = [text.decode() for text in MANIFEST_SAYS if text not in exe]
    print("\n".join(f"{name}: {value}" for name, value in found.items()))
    print(f"DllCharacteristics: {characteristics:#06x}")
    if wrong or empty or unprotected or unsaid:
        sys.exit(f"wrong: {wrong}; empty: {empty}; unprotected: {unprotected}; not in the manifest: {unsaid}")


if __name__ == "__main__":
    main()
