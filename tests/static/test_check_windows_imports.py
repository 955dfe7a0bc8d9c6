# Proves the import check can fail: small PE images built here carry each kind
# of fault (foreign DLL, unlisted or too new function, console subsystem...)
# and the check must name it, while a sound image passes.
import os
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_windows_imports as check  # noqa: E402

MACHINES = {"x86": (0x014C, 0x10B), "x64": (0x8664, 0x20B)}
SECTION_RVA, SECTION_OFFSET = 0x1000, 0x200


def import_section(imports, delay, pointer_size):
    """The bytes of an .idata section holding `imports` and `delay` ({dll: [name or '#ordinal']}),
    and the (rva, size) of its import and delay-import directories."""
    import_size, delay_size = 20 * (len(imports) + 1), (32 * (len(delay) + 1) if delay else 0)
    data = bytearray(import_size + delay_size)

    def add(blob, align=2):
        data.extend(b"\0" * (-len(data) % align))
        data.extend(blob)
        return SECTION_RVA + len(data) - len(blob)

    def thunks(names):
        fmt, flag = ("<Q", 1 << 63) if pointer_size == 8 else ("<I", 1 << 31)
        entries = [flag | int(n[1:]) if n.startswith("#") else add(b"\0\0" + n.encode() + b"\0") for n in names]
        return b"".join(struct.pack(fmt, e) for e in entries + [0])

    for index, (dll, names) in enumerate(imports.items()):
        name, table = add(dll.encode() + b"\0"), thunks(names)
        lookup, address = add(table, pointer_size), add(table, pointer_size)
        struct.pack_into("<IIIII", data, 20 * index, lookup, 0, 0, name, address)
    for index, (dll, names) in enumerate(delay.items()):
        name, table = add(dll.encode() + b"\0"), thunks(names)
        lookup, address = add(table, pointer_size), add(table, pointer_size)
        struct.pack_into("<IIIIIIII", data, import_size + 32 * index, 1, name, 0, address, lookup, 0, 0, 0)
    directories = {1: (SECTION_RVA, import_size)}
    if delay:
        directories[13] = (SECTION_RVA + import_size, delay_size)
    return bytes(data), directories


def pe_image(arch="x86", subsystem=2, subsystem_version=(4, 0), imports=None, delay=None):
    machine, magic = MACHINES[arch]
    wide = magic == 0x20B
    section, directories = import_section(imports or {}, delay or {}, 8 if wide else 4)
    optional = bytearray(240 if wide else 224)
    struct.pack_into("<H", optional, 0, magic)
    if wide:
        struct.pack_into("<Q", optional, 24, 0x140000000)
    else:
        struct.pack_into("<I", optional, 28, 0x400000)
    struct.pack_into("<HH", optional, 48, *subsystem_version)
    struct.pack_into("<H", optional, 68, subsystem)
    dirs = 108 if wide else 92
    struct.pack_into("<I", optional, dirs, 16)
    for index, (rva, size) in directories.items():
        struct.pack_into("<II", optional, dirs + 4 + 8 * index, rva, size)
    header = bytearray(b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40))
    header += b"PE\0\0" + struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, len(optional), 0x0102) + optional
    header += struct.pack("<8sIIIIIIHHI", b".idata", len(section), SECTION_RVA, len(section), SECTION_OFFSET,
                          0, 0, 0, 0, 0xC0000040)
    return bytes(header.ljust(SECTION_OFFSET, b"\0")) + section


LIST = "\n".join([
    "# test list",
    "dll\tfunction\tminimum client\tsource\tbuild",
    "kernel32.dll\tCloseHandle\tWindows 2000 Professional\tpage",
    "kernel32.dll\tExitProcess\tWindows XP [desktop apps only]\tpage",
    "user32.dll\tMessageBoxW\tWindows 2000 Professional\tpage",
    "user32.dll\tGetWindowLongPtrW\tWindows 2000 Professional\tpage\tx64",
    "msvcrt.dll\t___lc_collate_cp_func\tWindows Server 2003\tdef\tx64",
    "kernel32.dll\tGetTickCount64\tWindows Vista\tpage",
])
SOUND = {"kernel32.dll": ["CloseHandle", "ExitProcess"], "user32.dll": ["MessageBoxW"]}


class ImportCheckTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)
        path = os.path.join(self.folder, "windows-imports.tsv")
        with open(path, "w", encoding="utf-8") as stream:
            stream.write(LIST)
        self.entries, self.list_problems = check.load_list(path)

    def problems(self, arch, objdump=None, **image):
        exe = os.path.join(self.folder, "Program.exe")
        with open(exe, "wb") as stream:
            stream.write(pe_image(arch=image.pop("built_as", arch), **image))
        return check.check_executable(arch, exe, self.entries, set(), objdump)[0]

    def test_each_fault_is_named(self):
        cases = [
            # (what, arch, image, words the report must contain; none for a sound image)
            ("sound 32-bit image", "x86", dict(imports=SOUND), None),
            ("sound 64-bit image", "x64", dict(imports=SOUND, subsystem_version=(5, 2)), None),
            ("MinGW C++ runtime", "x86", dict(imports={**SOUND, "libstdc++-6.dll": []}), "MinGW runtime DLL"),
            ("thread library", "x64", dict(imports={**SOUND, "libwinpthread-1.dll": []}), "MinGW runtime DLL"),
            ("universal CRT", "x86", dict(imports={**SOUND, "api-ms-win-crt-runtime-l1-1-0.dll": []}),
             "C runtime or API set"),
            ("unknown DLL", "x86", dict(imports={**SOUND, "zlib1.dll": ["inflate"]}), "not a DLL that every"),
            ("unlisted function", "x86", dict(imports={"kernel32.dll": ["CloseHandle", "FlsAlloc"]}),
             "kernel32.dll!FlsAlloc is imported but not in windows-imports.tsv"),
            ("Vista function", "x86", dict(imports={"kernel32.dll": ["GetTickCount64"]}),
             "needs Windows Vista, newer than Windows XP SP3"),
            ("Vista function on x64", "x64", dict(imports={"kernel32.dll": ["GetTickCount64"]}),
             "newer than Windows XP x64"),
            ("64-bit export in the 32-bit build", "x86", dict(imports={"user32.dll": ["GetWindowLongPtrW"],
                                                                       "kernel32.dll": ["CloseHandle"]}),
             "listed for the x64 build only"),
            ("console program", "x86", dict(imports=SOUND, subsystem=3), "not the Windows GUI subsystem"),
            ("Vista subsystem version", "x86", dict(imports=SOUND, subsystem_version=(6, 0)),
             "subsystem version 6.0"),
            ("Server 2003 subsystem version on 32 bits", "x86", dict(imports=SOUND, subsystem_version=(5, 2)),
             "subsystem version 5.2"),
            ("delay-loaded unlisted function", "x86", dict(imports=SOUND, delay={"shell32.dll": ["SHGetKnownFolderPath"]}),
             "shell32.dll!SHGetKnownFolderPath"),
            ("import by ordinal", "x86", dict(imports={"kernel32.dll": ["CloseHandle"], "comctl32.dll": ["#17"]}),
             "comctl32.dll!#17"),
            ("64-bit image checked as the 32-bit build", "x86", dict(imports=SOUND, built_as="x64"), "machine 0x8664"),
            ("no imports read", "x86", dict(imports={}), "import tables were misread"),
        ]
        for what, arch, image, expected in cases:
            with self.subTest(what):
                found = self.problems(arch, **image)
                if expected is None:
                    self.assertEqual(found, [])
                else:
                    self.assertTrue(any(expected in p for p in found), found)

    def test_server_2003_function_is_allowed_only_where_listed(self):
        image = dict(imports={**SOUND, "msvcrt.dll": ["___lc_collate_cp_func"]})
        self.assertEqual(self.problems("x64", subsystem_version=(5, 2), **image), [])
        self.assertTrue(any("x64 build only" in p for p in self.problems("x86", **image)))

    def test_system_dll_lying_beside_the_program_is_refused(self):
        open(os.path.join(self.folder, "USER32.dll"), "wb").close()
        self.assertTrue(any("lies beside" in p for p in self.problems("x86", imports=SOUND)))

    def test_list_refuses_rows_that_cannot_hold(self):
        path = os.path.join(self.folder, "bad.tsv")
        with open(path, "w", encoding="utf-8") as stream:
            stream.write("kernel32.dll\tCloseHandle\tWindows 95\tpage\n"
                         "kernel32.dll\tSleep\tWindows XP\n"
                         "kernel32.dll\tExitProcess\tWindows XP\tpage\tarm64\n"
                         "user32.dll\tMessageBoxW\tWindows XP\tpage\n"
                         "user32.dll\tMessageBoxW\tWindows XP\tpage\n")
        _, problems = check.load_list(path)
        for words in ["unknown minimum 'Windows 95'", "needs tab-separated fields", "unknown build 'arm64'",
                      "user32.dll!MessageBoxW is listed twice"]:
            with self.subTest(words):
                self.assertTrue(any(words in p for p in problems), problems)
        self.assertTrue(any("GetTickCount64 needs Windows Vista" in p for p in self.list_problems))

    def test_reader_agrees_with_binutils(self):
        for arch in MACHINES:
            objdump = shutil.which(check.ARCHES[arch]["objdump"])
            if not objdump:
                self.skipTest("%s is not installed" % check.ARCHES[arch]["objdump"])
            with self.subTest(arch):
                image = dict(imports=SOUND, subsystem_version=check.ARCHES[arch]["subsystem_max"])
                self.assertEqual(self.problems(arch, objdump=objdump, **image), [])


if __name__ == "__main__":
    unittest.main()
