# Proves, without running them, that the Windows builds load on Windows XP:
# reads each executable's headers and import tables with binutils' objdump -p
# and checks every DLL and function against the reviewed list in windows-imports.tsv.
# The tests run it on the builds, and tools/package.sh on what it releases.
"""Usage: check_windows_imports.py LIST.tsv ARCH=EXE [ARCH=EXE ...]   (ARCH: x86 or x64)"""

import os
import re
import subprocess
import sys

# What each build must accept. XP SP3 is the oldest 32-bit system; the oldest
# 64-bit one is XP x64, built from Server 2003 and serviced up to its SP2.
ARCHES = {
    "x86": {"format": "pei-i386", "magic": 0x10B, "floor": (5, 1, 3), "floor_name": "Windows XP SP3",
            "subsystem_max": (5, 1), "objdump": "i686-w64-mingw32-objdump"},
    "x64": {"format": "pei-x86-64", "magic": 0x20B, "floor": (5, 2, 2), "floor_name": "Windows XP x64 / Server 2003 SP2",
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

# What the checks read from `objdump -p`, binutils' own view of the headers.
HEADER_FIELDS = {
    "format": r"file format (\S+)",
    "magic": r"^Magic\s+([0-9a-f]+)",
    "subsystem": r"^Subsystem\s+([0-9a-f]+)",
    "major": r"^MajorSubsystemVersion\s+(\d+)",
    "minor": r"^MinorSubsystemVersion\s+(\d+)",
    "delay": r"^Entry d ([0-9a-f]+ [0-9a-f]+) Delay Import Directory",
}


class ReadError(Exception):
    pass


def parse_objdump(text):
    """{field: text} of HEADER_FIELDS and the load-time imports {dll in lower case: [function or '#ordinal']}."""
    image = {}
    for field, pattern in HEADER_FIELDS.items():
        match = re.search(pattern, text, re.MULTILINE)
        if not match:
            raise ReadError("no %s in the objdump -p output" % field)
        image[field] = match.group(1)
    imports, dll = {}, None
    for line in text.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = imports.setdefault(match.group(1).lower(), [])
            continue
        if dll is None or line.lstrip().startswith("vma:"):
            continue
        if not line.strip() or line.startswith("The "):
            dll = None
            continue
        match = re.match(r"\t([0-9a-f]+)\t\s*[0-9a-f]+\s+(\S+)$", line)
        if not match:  # a function skipped here would go unchecked
            raise ReadError("unknown import line %r" % line)
        # An import by ordinal has no name; its thunk's low 16 bits are the ordinal.
        name = match.group(2)
        dll.append("#%d" % (int(match.group(1), 16) & 0xFFFF) if name == "<none>" else name)
    return image, imports


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
            version = MINIMUMS.get(re.sub(r"\s*\[.*\]$", "", minimum))
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


def check_image(arch, image, imports, folder, entries, used):
    """The problems found in one executable that lies in `folder`; records in `used` each listed function it imports."""
    target = ARCHES[arch]
    problems = []
    if image["format"] != target["format"] or int(image["magic"], 16) != target["magic"]:
        problems.append("%s (magic %s) is not the %s build's format" % (image["format"], image["magic"], arch))
    subsystem, version = int(image["subsystem"], 16), (int(image["major"]), int(image["minor"]))
    if subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        problems.append("subsystem %d is not the Windows GUI subsystem (2): link with -mwindows / WIN32" % subsystem)
    if version > target["subsystem_max"]:
        problems.append("subsystem version %d.%d: the loader of %s refuses anything above %d.%d"
                        % (version + (target["floor_name"],) + target["subsystem_max"]))
    # objdump -p does not list delay-loaded functions, so none may exist: shell32
    # is loaded with LoadLibrary, and an unlisted delay import would go unchecked.
    if image["delay"].strip("0 "):
        problems.append("the delay-import directory is not empty (%s): its functions cannot be checked here, "
                        "load the DLL with LoadLibrary instead" % image["delay"])
    if "kernel32.dll" not in imports or not any(imports.values()):
        problems.append("no kernel32.dll function found among the imports: the import tables were misread")
    beside = {name.lower() for name in os.listdir(folder)}
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
                                % (dll, function, "/".join(sorted(entry[2])), target["floor_name"]))
            elif entry[1] > target["floor"]:
                problems.append("%s!%s needs %s, newer than %s: replace it with a call that %s has"
                                % (dll, function, entry[0], target["floor_name"], target["floor_name"]))
    return problems


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
        tool = ARCHES[arch]["objdump"]
        try:
            output = subprocess.run([tool, "-p", exe], check=True, capture_output=True, text=True).stdout
            image, imports = parse_objdump(output)
        except (OSError, subprocess.CalledProcessError, ReadError) as error:
            problems.append("%s: cannot read %s with %s (binutils-mingw-w64): %s" % (arch, exe, tool, error))
            continue
        found = check_image(arch, image, imports, os.path.dirname(os.path.abspath(exe)), entries, used)
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
