# Proves the import check can fail: objdump -p listings written here, in
# binutils' layout, carry each kind of fault (foreign DLL, unlisted or too new
# function, console subsystem...) and the check must name it, while a sound
# program passes.
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import check_windows_imports as check  # noqa: E402

FORMATS = {"x86": ("pei-i386", "010b"), "x64": ("pei-x86-64", "020b")}


def objdump_listing(arch="x86", subsystem=2, subsystem_version=(4, 0), imports=None, delay="00000000"):
    """What objdump -p prints for a program with these headers and {dll: [name or '#ordinal']} imports."""
    form, magic = FORMATS[arch]
    lines = ["", "Program.exe:     file format %s" % form, "", "Magic\t\t\t%s\t(PE32)" % magic,
             "MajorSubsystemVersion\t%d" % subsystem_version[0], "MinorSubsystemVersion\t%d" % subsystem_version[1],
             "Subsystem\t\t%08x\t(Windows GUI)" % subsystem, "", "The Data Directory",
             "Entry d 00000000 %s Delay Import Directory" % delay, "",
             "The Import Tables (interpreted .idata section contents)"]
    for dll, names in (imports or {}).items():
        lines += ["", "\tDLL Name: %s" % dll, "\tvma:  Hint/Ord Member-Name Bound-To"]
        lines += ["\t%x\t    %09x  <none>" % (0x80000000 | int(n[1:]), int(n[1:])) if n.startswith("#")
                  else "\t%x\t  %3d  %s" % (0xd928 + 16 * i, i, n) for i, n in enumerate(names)]
    return "\n".join(lines + ["", "The Export Tables"]) + "\n"


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
SERVER_2003 = {**SOUND, "msvcrt.dll": ["___lc_collate_cp_func"]}


class ImportCheckTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder)
        path = os.path.join(self.folder, "windows-imports.tsv")
        with open(path, "w", encoding="utf-8") as stream:
            stream.write(LIST)
        self.entries, self.list_problems = check.load_list(path)

    def problems(self, arch, **listing):
        image, imports = check.parse_objdump(objdump_listing(arch=listing.pop("built_as", arch), **listing))
        return check.check_image(arch, image, imports, self.folder, self.entries, set())

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
            ("Server 2003 function where listed", "x64", dict(imports=SERVER_2003, subsystem_version=(5, 2)), None),
            ("Server 2003 function in the other build", "x86", dict(imports=SERVER_2003), "x64 build only"),
            ("console program", "x86", dict(imports=SOUND, subsystem=3), "not the Windows GUI subsystem"),
            ("Vista subsystem version", "x86", dict(imports=SOUND, subsystem_version=(6, 0)),
             "subsystem version 6.0"),
            ("Server 2003 subsystem version on 32 bits", "x86", dict(imports=SOUND, subsystem_version=(5, 2)),
             "subsystem version 5.2"),
            ("delay-loaded import", "x86", dict(imports=SOUND, delay="00000040"), "delay-import directory"),
            ("import by ordinal", "x86", dict(imports={"kernel32.dll": ["CloseHandle"], "comctl32.dll": ["#17"]}),
             "comctl32.dll!#17"),
            ("64-bit image checked as the 32-bit build", "x86", dict(imports=SOUND, built_as="x64"), "not the x86 build's format"),
            ("no imports read", "x86", dict(imports={}), "import tables were misread"),
        ]
        for what, arch, image, expected in cases:
            with self.subTest(what):
                found = self.problems(arch, **image)
                if expected is None:
                    self.assertEqual(found, [])
                else:
                    self.assertTrue(any(expected in p for p in found), found)

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

    def test_listing_that_cannot_be_read_is_refused(self):
        for what, listing in [("header field renamed", objdump_listing().replace("Subsystem\t", "Sub-system\t")),
                              ("import line in another layout", objdump_listing(imports=SOUND).replace(
                                  "  CloseHandle", " CloseHandle (hint 0)"))]:
            with self.subTest(what), self.assertRaises(check.ReadError):
                check.parse_objdump(listing)


if __name__ == "__main__":
    unittest.main()
