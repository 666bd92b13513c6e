"""The Nautilus extension's choices, with stand-ins for Nautilus and GLib:
which entry a file is offered, in which language, running what."""

import sys
import types
import unittest

EXTENSION = sys.argv.pop(1) if len(sys.argv) > 1 else "app/file-managers/nautilus/zelk_sfv_utility.py"


class FakeGLib:
    languages = ["C"]
    programs = {"Zelk_SFV_Utility", "zelk-sfv-verify-list"}
    spawned = []

    class SpawnFlags:
        SEARCH_PATH = 1

    @classmethod
    def get_language_names(cls):
        return cls.languages

    @classmethod
    def find_program_in_path(cls, name):
        return "/usr/bin/" + name if name in cls.programs else None

    @classmethod
    def spawn_async(cls, argv, flags):
        cls.spawned.append((argv, flags))


class FakeMenuItem:
    def __init__(self, name, label, icon):
        self.name, self.label, self.icon = name, label, icon
        self.handler = None

    def connect(self, signal, callback, *arguments):
        self.handler = (signal, callback, arguments)

    def activate(self):
        _, callback, arguments = self.handler
        callback(self, *arguments)


class FakeFile:
    def __init__(self, path, directory=False, mime="text/plain", scheme="file"):
        self.path, self.directory, self.mime, self.scheme = path, directory, mime, scheme

    def get_uri_scheme(self):
        return self.scheme

    def get_location(self):
        return types.SimpleNamespace(get_path=lambda: self.path)

    def is_directory(self):
        return self.directory

    def is_mime_type(self, name):
        return self.mime == name


def load_extension():
    gi = types.ModuleType("gi")
    gi.require_version = lambda name, version: None
    repository = types.ModuleType("gi.repository")
    repository.GLib = FakeGLib
    repository.GObject = types.SimpleNamespace(GObject=type("GObject", (), {}))
    repository.Nautilus = types.SimpleNamespace(MenuProvider=type("MenuProvider", (), {}), MenuItem=FakeMenuItem)
    sys.modules.update({"gi": gi, "gi.repository": repository})
    module = types.ModuleType("zelk_sfv_utility")
    with open(EXTENSION, encoding="utf-8") as source:
        exec(compile(source.read(), EXTENSION, "exec"), module.__dict__)
    return module


extension = load_extension()


class NautilusExtension(unittest.TestCase):
    def setUp(self):
        FakeGLib.languages = ["C"]
        FakeGLib.programs = {"Zelk_SFV_Utility", "zelk-sfv-verify-list"}
        FakeGLib.spawned = []

    def items(self, *files):
        return extension.ChecksumListActions().get_file_items(list(files))

    def test_offers_each_file_its_entry(self):
        cases = [
            (FakeFile("/data/photos", directory=True), ["Create checksum list"]),
            (FakeFile("/data/photos.sfv", mime="text/x-sfv"), ["Verify checksum list"]),
            (FakeFile("/data/SHA256SUMS", mime="text/x-sha256"), ["Verify checksum list"]),
            (FakeFile("/data/a.b3", mime="text/x-blake3"), ["Verify checksum list"]),
            (FakeFile("/data/notes.txt"), []),
            (FakeFile(None, directory=True, scheme="sftp"), []),
            (FakeFile(None, directory=True), []),
        ]
        for file, labels in cases:
            with self.subTest(path=file.path, scheme=file.scheme):
                self.assertEqual([item.label for item in self.items(file)], labels)

    def test_offers_nothing_for_several_files(self):
        self.assertEqual(self.items(FakeFile("/a", directory=True), FakeFile("/b", directory=True)), [])

    def test_offers_nothing_when_the_program_is_not_on_path(self):
        FakeGLib.programs = {"zelk-sfv-verify-list"}
        self.assertEqual(self.items(FakeFile("/data/photos", directory=True)), [])
        self.assertEqual(len(self.items(FakeFile("/data/a.md5", mime="text/x-md5"))), 1)

    def test_speaks_the_users_first_language_it_has(self):
        cases = [
            (["de_DE.UTF-8", "de_DE", "de", "C"], "Prüfsummenliste prüfen"),
            (["fr_CA.UTF-8", "fr_CA", "fr", "C"], "Vérifier la liste de sommes de contrôle"),
            (["it_IT", "it", "fr", "C"], "Vérifier la liste de sommes de contrôle"),
            (["de@euro", "C"], "Prüfsummenliste prüfen"),
            (["es_ES", "es", "C"], "Verify checksum list"),
        ]
        for languages, label in cases:
            with self.subTest(languages=languages):
                FakeGLib.languages = languages
                self.assertEqual([item.label for item in self.items(FakeFile("/a.sfv", mime="text/x-sfv"))], [label])

    def test_runs_the_program_on_the_chosen_file(self):
        cases = [
            (FakeFile("/data/my photos", directory=True), ["Zelk_SFV_Utility", "/data/my photos"]),
            (FakeFile("/data/-v.sfv", mime="text/x-sfv"), ["zelk-sfv-verify-list", "/data/-v.sfv"]),
        ]
        for file, argv in cases:
            with self.subTest(path=file.path):
                FakeGLib.spawned = []
                self.items(file)[0].activate()
                self.assertEqual(FakeGLib.spawned, [(argv, FakeGLib.SpawnFlags.SEARCH_PATH)])


if __name__ == "__main__":
    unittest.main()
