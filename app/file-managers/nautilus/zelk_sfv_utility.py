# Nautilus has no action files, so this nautilus-python extension offers
# "Create checksum list" on a folder and "Verify checksum list" on a list.
# The programs are run by name from PATH, as the other file managers do.

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import GLib, GObject, Nautilus  # noqa: E402

# The types of app/zelk-sfv-utility.xml; is_mime_type() takes sub-classes.
LIST_TYPES = (
    "text/x-sfv",
    "text/x-md5",
    "text/x-sha1",
    "text/x-sha256",
    "text/x-sha512",
    "text/x-blake3",
    "text/x-xxh128",
)

TEXTS = {
    "create": {
        "": "Create checksum list",
        "de": "Prüfsummenliste erstellen",
        "fr": "Créer une liste de sommes de contrôle",
    },
    "verify": {
        "": "Verify checksum list",
        "de": "Prüfsummenliste prüfen",
        "fr": "Vérifier la liste de sommes de contrôle",
    },
}

COMMANDS = {"create": "Zelk_SFV_Utility", "verify": "zelk-sfv-verify-list"}


def translated(key):
    """The text in the user's first language we have, else in English."""
    texts = TEXTS[key]
    for name in GLib.get_language_names():
        language = name.split("_")[0].split(".")[0].split("@")[0]
        if language in texts:
            return texts[language]
    return texts[""]


def action_for(file):
    """The action offered for one local file: "create", "verify" or None."""
    if file.get_uri_scheme() != "file" or file.get_location().get_path() is None:
        return None
    if file.is_directory():
        return "create"
    if any(file.is_mime_type(type_name) for type_name in LIST_TYPES):
        return "verify"
    return None


def run(_item, key, path):
    # Menus offer only programs on PATH; one removed since raises here, and
    # Nautilus logs what its callbacks raise.
    GLib.spawn_async([COMMANDS[key], path], flags=GLib.SpawnFlags.SEARCH_PATH)


class ChecksumListActions(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        if len(files) != 1:
            return []
        key = action_for(files[0])
        if key is None or GLib.find_program_in_path(COMMANDS[key]) is None:
            return []
        item = Nautilus.MenuItem(name="ZelkSfvUtility::" + key, label=translated(key), icon="zelk-sfv-utility")
        item.connect("activate", run, key, files[0].get_location().get_path())
        return [item]
