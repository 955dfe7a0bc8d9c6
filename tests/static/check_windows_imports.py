# Proves, without running them, that the Windows builds load on Windows XP:
# reads each executable's import tables and checks every DLL and function
# against the reviewed list in windows-imports.tsv.
"""Usage: check_windows_imports.py LIST.tsv ARCH=EXE [ARCH=EXE ...]   (ARCH: x86 or x64)"""

import os
import re
import shutil
import struct
import subprocess
import sys

# What each build must accept. XP SP3 is the oldest 32-bit system; the oldest
# 64-bit one is XP x64, built from Server 2003 and serviced up to its SP2.
ARCHES = {
    "x86": {"machine": 0x014C, "magic": 0x10B, "floor": (5, 1, 3), "floor_name": "Windows XP SP3",
            "subsystem_max": (5, 1), "objdump": "i686-w64-mingw32-objdump"},
    "x64": {"machine": 0x8664, "magic": 0x20B, "floor": (5, 2, 2), "floor_name": "Windows XP x64 / Server 2003 SP2",
            "subsystem_max": (5, 2), "objdump": "x86_64-w64-mingw32-objdump"},
}

# The names the list may give as a minimum, as Microsoft Learn words them
# (without the "[desktop apps only]" suffix), in NT version order.
MINIMUMS = {
    "Windows NT 4.0": (4, 0, 0),
    "Windows 2000": (5, 0, 0),
    "Windows 2000 Professional": (5, 0, 0),
    "Windows XP": (5, 1, 0),
    "Windows XP with SP1": (5, 1, 1),
    "Windows XP with SP2": (5, 1, 2),
    "Windows XP with SP3": (5, 1, 3),
    "Windows Server 2003": (5, 2, 0),
    "Windows Server 2003 with SP1": (5, 2, 1),
    "Windows XP Professional x64 Edition": (5, 2, 1),
    "Windows Server 2003 with SP2": (5, 2, 2),
    "Windows Vista": (6, 0, 0),
    "Windows 7": (6, 1, 0),
    "Windows 8": (6, 2, 0),
    "Windows 8.1": (6, 3, 0),
    "Windows 10": (10, 0, 0),
}

# DLLs that ship with every Windows from XP on; anything else must travel with
# the program, which a single-file utility never does.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "ntdll.dll", "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shfolder.dll", "shlwapi.dll",
    "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
}
# Why the usual intruders are wrong, so the message says what to change.
FOREIGN_DLLS = [
    (re.compile(r"^(libstdc\+\+|libgcc|libwinpthread|mingwm|libssp)"),
     "a MinGW runtime DLL: link it statically (-static)"),
    (re.compile(r"^(api-ms-win-|ext-ms-win-|ucrtbase|vcruntime|msvcp|msvcr\d)"),
     "a C runtime or API set that Windows XP lacks: build against msvcrt.dll"),
]

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMPORT_DIRECTORY, DELAY_IMPORT_DIRECTORY = 1, 13


class PeError(Exception):
    pass


class PeImage:
    """The headers and import tables of one PE file, read with no help from binutils."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = self._u16(opt)
        if self.magic not in (0x10B, 0x20B):
            raise PeError("unknown optional header magic %#x" % self.magic)
        wide = self.magic == 0x20B
        self.image_base = struct.unpack_from("<Q", data, opt + 24)[0] if wide else self._u32(opt + 28)
        self.subsystem_version = (self._u16(opt + 48), self._u16(opt + 50))
        self.subsystem = self._u16(opt + 68)
        dirs = opt + (108 if wide else 92)
        count = self._u32(dirs)
        self.directories = [struct.unpack_from("<II", data, dirs + 4 + 8 * i) for i in range(count)]
        table = opt + opt_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]
        self.pointer_size = 8 if wide else 4

    def _u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def _offset(self, rva):
        for vsize, vaddr, rawsize, rawptr in self.sections:
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                if rva - vaddr >= rawsize:
                    raise PeError("RVA %#x lies in uninitialised data" % rva)
                return rawptr + rva - vaddr
        raise PeError("RVA %#x is in no section" % rva)

    def _string(self, rva):
        start = self._offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def _names(self, thunk_rva):
        """The functions of one thunk array: names, or '#n' for imports by ordinal."""
        names, offset = [], self._offset(thunk_rva)
        fmt, flag = ("<Q", 1 << 63) if self.pointer_size == 8 else ("<I", 1 << 31)
        while True:
            entry = struct.unpack_from(fmt, self.data, offset)[0]
            if entry == 0:
                return names
            names.append("#%d" % (entry & 0xFFFF) if entry & flag else self._string((entry & 0x7FFFFFFF) + 2))
            offset += self.pointer_size

    def imports(self, delay_loaded=True):
        """{dll name in lower case: [function, ...]} for the load-time and the delay-loaded imports."""
        found = {}
        if len(self.directories) > IMPORT_DIRECTORY and self.directories[IMPORT_DIRECTORY][0]:
            offset = self._offset(self.directories[IMPORT_DIRECTORY][0])
            while True:
                lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, offset)
                if name == 0:
                    break
                found.setdefault(self._string(name).lower(), []).extend(self._names(lookup or first))
                offset += 20
        if delay_loaded and len(self.directories) > DELAY_IMPORT_DIRECTORY \
                and self.directories[DELAY_IMPORT_DIRECTORY][0]:
            offset = self._offset(self.directories[DELAY_IMPORT_DIRECTORY][0])
            while True:
                attributes, name, _, _, lookup = struct.unpack_from("<IIIII", self.data, offset)
                if name == 0:
                    break
                # Old-style descriptors hold addresses rather than RVAs.
                bias = 0 if attributes & 1 else self.image_base
                found.setdefault(self._string(name - bias).lower(), []).extend(self._names(lookup - bias))
                offset += 32
        return found


def parse_minimum(text):
    return MINIMUMS.get(re.sub(r"\s*\[.*\]$", "", text.strip()))


def load_list(path):
    """{(dll, function): (minimum text, version, builds)} and the problems found in the file itself.

    The optional fifth field names the only build allowed to import the function
    (x64 or x86), for the functions that exist on one processor alone."""
    entries, problems = {}, []
    with open(path, encoding="utf-8") as stream:
        for number, line in enumerate(stream, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = [field.strip() for field in line.split("\t")]
            if fields[:4] == ["dll", "function", "minimum client", "source"]:
                continue
            where = "%s:%d" % (os.path.basename(path), number)
            if len(fields) not in (4, 5) or not all(fields[:4]):
                problems.append("%s: needs tab-separated fields: dll, function, minimum client, source[, build]"
                                % where)
                continue
            dll, function, minimum = fields[0].lower(), fields[1], fields[2]
            builds = set(fields[4].split(",")) if len(fields) == 5 and fields[4] else set(ARCHES)
            version = parse_minimum(minimum)
            if version is None:
                problems.append("%s: unknown minimum %r (use one of: %s)" % (where, minimum, ", ".join(MINIMUMS)))
                continue
            if not builds <= set(ARCHES):
                problems.append("%s: unknown build %r (x64 or x86)" % (where, fields[4]))
                continue
            if (dll, function) in entries:
                problems.append("%s: %s!%s is listed twice" % (where, dll, function))
            # A function newer than the oldest system of a build it is listed for
            # cannot stay in the list: the program must not import it at all.
            for arch in sorted(builds):
                if version > ARCHES[arch]["floor"]:
                    problems.append("%s: %s!%s needs %s, newer than %s: the program must not import it"
                                    % (where, dll, function, minimum, ARCHES[arch]["floor_name"]))
            entries[(dll, function)] = (minimum, version, builds)
    return entries, problems


def objdump_imports(tool, exe):
    """The load-time imports as binutils reads them, to cross-check the reader above."""
    output = subprocess.run([tool, "-p", exe], check=True, capture_output=True, text=True).stdout
    found, dll = {}, None
    for line in output.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = found.setdefault(match.group(1).lower(), [])
            continue
        match = re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)$", line)
        if dll is not None and match:
            dll.append(match.group(1))
        elif not line.strip() or line.startswith("The "):
            dll = None
    return found


def check_executable(arch, exe, entries, used, objdump=None):
    """(problems found in one executable, its imports); records in `used` each listed function it imports.

    With `objdump`, the reader's view of the load-time imports is compared with binutils'."""
    spec = ARCHES[arch]
    try:
        with open(exe, "rb") as stream:
            image = PeImage(stream.read())
        imports = image.imports()
    except (OSError, PeError, ValueError, struct.error) as error:
        return ["cannot read %s: %s" % (exe, error)], {}
    problems = []
    if image.machine != spec["machine"] or image.magic != spec["magic"]:
        problems.append("machine %#x is not the %s build's" % (image.machine, arch))
    if image.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        problems.append("subsystem %d is not the Windows GUI subsystem (2): link with -mwindows / WIN32"
                        % image.subsystem)
    if image.subsystem_version > spec["subsystem_max"]:
        problems.append("subsystem version %d.%d: the loader of %s refuses anything above %d.%d"
                        % (image.subsystem_version + (spec["floor_name"],) + spec["subsystem_max"]))
    if "kernel32.dll" not in imports or not any(imports.values()):
        problems.append("no kernel32.dll function found among the imports: the import tables were misread")
    beside = {name.lower() for name in os.listdir(os.path.dirname(os.path.abspath(exe)))}
    for dll in sorted(imports):
        if dll in beside:
            problems.append("%s is imported and lies beside the executable: the program must stand alone" % dll)
        if dll not in SYSTEM_DLLS:
            why = next((reason for pattern, reason in FOREIGN_DLLS if pattern.match(dll)),
                       "not a DLL that every Windows from XP on provides")
            problems.append("%s is imported: %s" % (dll, why))
            continue
        for function in imports[dll]:
            entry = entries.get((dll, function))
            if entry is None:
                problems.append("%s!%s is imported but not in windows-imports.tsv: look up its minimum supported "
                                "client on Microsoft Learn and add a line for it" % (dll, function))
                continue
            used.add((dll, function))
            if arch not in entry[2]:
                problems.append("%s!%s is listed for the %s build only: look up whether %s has it"
                                % (dll, function, "/".join(sorted(entry[2])), spec["floor_name"]))
            elif entry[1] > spec["floor"]:
                problems.append("%s!%s needs %s, newer than %s: replace it with a call that %s has"
                                % (dll, function, entry[0], spec["floor_name"], spec["floor_name"]))
    if objdump:
        # Only named imports: binutils words imports by ordinal its own way.
        mine = {dll: sorted(n for n in names if not n.startswith("#"))
                for dll, names in image.imports(delay_loaded=False).items()}
        if mine != {dll: sorted(names) for dll, names in objdump_imports(objdump, exe).items()}:
            problems.append("the import tables read here differ from %s -p: fix the reader" % objdump)
    return problems, imports


def main(argv):
    if len(argv) < 3 or not all("=" in a and a.split("=", 1)[0] in ARCHES for a in argv[2:]):
        print(__doc__, file=sys.stderr)
        return 2
    entries, problems = load_list(argv[1])
    used = set()
    for argument in argv[2:]:
        arch, exe = argument.split("=", 1)
        if not os.path.isfile(exe):
            problems.append("%s is missing: build it with cmake --build --preset windows-%s" % (exe, arch))
            continue
        objdump = shutil.which(ARCHES[arch]["objdump"])
        if not objdump:
            print("note: %s not found, the reader is not cross-checked" % ARCHES[arch]["objdump"])
        found, imports = check_executable(arch, exe, entries, used, objdump)
        problems += ["%s: %s" % (arch, p) for p in found]
        print("%s: %s: %s" % (arch, exe, ", ".join("%s %d functions" % (dll, len(names))
                                                    for dll, names in sorted(imports.items()))))
    if len(argv) - 2 == len(ARCHES) and not problems:
        for dll, function in sorted(set(entries) - used):
            print("note: %s!%s is listed but neither build imports it any more" % (dll, function))
    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
