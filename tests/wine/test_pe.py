"""The release programs as files: headers, imports, resources and sizes as
pefile reads them, and the same bytes again from the same source built
elsewhere."""

import os
import pathlib
import shutil
import struct
import subprocess
import tempfile
import unittest

import pefile

from winetest import INSTALLER, LAUNCHER

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION = 3, 10, 14, 16
ENGLISH_US = 1033
PAYLOAD_ID = 101
ICON_SIZES = (16, 32, 48, 64, 128, 256)
# Six icon images, their group and the version block; no manifest.
COMMON_RESOURCES = ({(RT_ICON, number) for number in range(1, len(ICON_SIZES) + 1)}
                    | {(RT_GROUP_ICON, 1), (RT_VERSION, 1)})
SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "shell32.dll", "winhttp.dll", "msvcrt.dll"}
IMAGE_FILE_MACHINE_AMD64 = 0x8664
PE32_PLUS = 0x20B
SUBSYSTEM_WINDOWS_GUI = 2
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT = 0x20, 0x40, 0x100
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"

COMPANY = "Tevra Holdings"
COPYRIGHT = "Copyright (C) 2026 Tevra Holdings. All rights reserved."
PROGRAMS = {
    LAUNCHER: {
        "description": "Tevra Comms Desktop \u2014 Self-Hosted Team Communication",
        "internal_name": "TevraComms",
        "original_filename": "TevraComms.exe",
        "resources": COMMON_RESOURCES,
        "dlls": SYSTEM_DLLS,
        "max_bytes": 128 * 1024,
    },
    INSTALLER: {
        "description": "Tevra Comms Setup (x64)",
        "internal_name": "TevraCommsSetup",
        "original_filename": "TevraComms-Setup-0.0.1.exe",
        "resources": COMMON_RESOURCES | {(RT_RCDATA, PAYLOAD_ID)},
        "dlls": SYSTEM_DLLS - {"winhttp.dll"},
        "max_bytes": 256 * 1024,
    },
}


def resources(pe):
    """{(type, id): (language, bytes)} for every resource in the image."""
    table = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                table[kind.id, name.id] = (language.id,
                                           pe.get_data(entry.OffsetToData, entry.Size))
    return table


def png_chunks(image):
    """[(chunk type, chunk data)] of a PNG file, in order."""
    chunks, position = [], len(PNG_SIGNATURE)
    while position < len(image):
        length, kind = struct.unpack(">I4s", image[position:position + 8])
        chunks.append((kind, image[position + 8:position + 8 + length]))
        position += 12 + length
    return chunks


def version_node(data, position=0):
    """One node of a version resource, (key, value bytes, children), and the
    offset where it ends."""
    length, value_length, value_type = struct.unpack("<HHH", data[position:position + 6])
    end = position + length
    key_end = position + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[position + 6:key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    value_end = value_start + (value_length * 2 if value_type == 1 else value_length)
    children, child = [], (value_end + 3) & ~3
    while child < end:
        node, child_end = version_node(data, child)
        children.append(node)
        child = (child_end + 3) & ~3
    return (key, data[value_start:value_end], children), end


class ReleasePrograms(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.images = {path: pefile.PE(str(path)) for path in PROGRAMS}
        cls.resources = {path: resources(pe) for path, pe in cls.images.items()}

    def test_64_bit_gui_programs_with_every_address_space_protection(self):
        for path, pe in self.images.items():
            with self.subTest(path.name):
                self.assertEqual(pe.OPTIONAL_HEADER.Magic, PE32_PLUS)
                self.assertEqual(pe.FILE_HEADER.Machine, IMAGE_FILE_MACHINE_AMD64)
                self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, SUBSYSTEM_WINDOWS_GUI)
                protections = HIGH_ENTROPY_VA | DYNAMIC_BASE | NX_COMPAT
                self.assertEqual(pe.OPTIONAL_HEADER.DllCharacteristics & protections,
                                 protections)

    def test_only_system_libraries_are_imported(self):
        for path, pe in self.images.items():
            with self.subTest(path.name):
                imported = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
                self.assertLessEqual(imported, PROGRAMS[path]["dlls"])

    def test_sizes_within_their_targets(self):
        for path, program in PROGRAMS.items():
            with self.subTest(path.name):
                self.assertLessEqual(path.stat().st_size, program["max_bytes"])

    def test_resource_table_in_english_without_a_manifest(self):
        for path, table in self.resources.items():
            with self.subTest(path.name):
                self.assertEqual(set(table), PROGRAMS[path]["resources"])
                self.assertEqual({language for language, _ in table.values()}, {ENGLISH_US})

    def test_the_installer_carries_the_launcher_byte_for_byte(self):
        _, payload = self.resources[INSTALLER][RT_RCDATA, PAYLOAD_ID]
        self.assertEqual(payload, LAUNCHER.read_bytes())

    def test_one_icon_group_of_six_png_images(self):
        groups = {path: table[RT_GROUP_ICON, 1][1] for path, table in self.resources.items()}
        self.assertEqual(groups[LAUNCHER], groups[INSTALLER])
        for path, group in groups.items():
            with self.subTest(path.name):
                self.assertEqual(struct.unpack("<HHH", group[:6]), (0, 1, len(ICON_SIZES)))
                self.assertEqual(len(group), 6 + 14 * len(ICON_SIZES))
                for number, size in enumerate(ICON_SIZES, start=1):
                    image = self.resources[path][RT_ICON, number][1]
                    entry = struct.unpack("<BBBBHHIH", group[6 + 14 * (number - 1):][:14])
                    # width, height (256 written as 0), colours, reserved,
                    # planes, bits per pixel, bytes, icon id
                    self.assertEqual(entry, (size % 256, size % 256, 0, 0, 1, 32, len(image),
                                             number))
                    self.assertEqual(image[:8], PNG_SIGNATURE)
                    chunks = png_chunks(image)
                    self.assertEqual([kind for kind, _ in chunks], [b"IHDR", b"IDAT", b"IEND"])
                    # width, height, bit depth 8, colour type 6 (RGBA),
                    # compression, filter, interlace none
                    self.assertEqual(struct.unpack(">IIBBBBB", chunks[0][1]),
                                     (size, size, 8, 6, 0, 0, 0))

    def test_version_blocks_name_each_program(self):
        for path, program in PROGRAMS.items():
            with self.subTest(path.name):
                data = self.resources[path][RT_VERSION, 1][1]
                (key, fixed, blocks), end = version_node(data)
                self.assertEqual((key, end), ("VS_VERSION_INFO", len(data)))
                # signature, structure version, file and product version
                # 0.0.1.0, flag mask, flags, OS (NT, 32-bit Windows), type
                # (application), subtype, date
                self.assertEqual(struct.unpack("<13I", fixed),
                                 (0xFEEF04BD, 0x00010000, 0, 0x00010000, 0, 0x00010000,
                                  0x3F, 0, 0x40004, 1, 0, 0, 0))
                self.assertEqual([block[0] for block in blocks],
                                 ["StringFileInfo", "VarFileInfo"])
                string_tables = blocks[0][2]
                self.assertEqual([table[0] for table in string_tables], ["040904b0"])
                strings = [(name, value.decode("utf-16-le"))
                           for name, value, _ in string_tables[0][2]]
                self.assertEqual(strings, [
                    ("CompanyName", COMPANY + "\0"),
                    ("FileDescription", program["description"] + "\0"),
                    ("FileVersion", "0.0.1.0\0"),
                    ("InternalName", program["internal_name"] + "\0"),
                    ("LegalCopyright", COPYRIGHT + "\0"),
                    ("OriginalFilename", program["original_filename"] + "\0"),
                    ("ProductName", "Tevra Comms\0"),
                    ("ProductVersion", "0.0.1\0"),
                ])
                self.assertEqual([(name, value) for name, value, _ in blocks[1][2]],
                                 [("Translation", struct.pack("<HH", 0x0409, 1200))])


class ReproducibleBuild(unittest.TestCase):

    def test_the_same_source_elsewhere_builds_the_same_bytes(self):
        """A copy of the source tree (tracked and new files, nothing ignored),
        built in other folders, gives both programs byte for byte."""
        with tempfile.TemporaryDirectory(prefix="tevra-rebuild-") as folder:
            copy, build, dist = (pathlib.Path(folder) / name
                                 for name in ("source", "build", "dist"))
            listed = subprocess.run(["git", "ls-files", "-z", "-co", "--exclude-standard"],
                                    cwd=SOURCE_DIR, capture_output=True, check=True,
                                    timeout=60).stdout.decode()
            for name in filter(None, listed.split("\0")):
                if (SOURCE_DIR / name).is_file():
                    (copy / name).parent.mkdir(parents=True, exist_ok=True)
                    shutil.copy2(SOURCE_DIR / name, copy / name)
            for command in (["cmake", "--preset", "dist", "-B", build,
                             "-DTEVRA_DIST_DIR=%s" % dist],
                            ["cmake", "--build", build, "-j%d" % (os.cpu_count() or 1),
                             "--target", "TevraComms", "TevraCommsSetup"]):
                result = subprocess.run(command, cwd=copy, capture_output=True, text=True,
                                        timeout=600)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            for path in PROGRAMS:
                with self.subTest(path.name):
                    self.assertEqual((dist / path.name).read_bytes(), path.read_bytes())


if __name__ == "__main__":
    unittest.main()
