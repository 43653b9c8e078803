#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# GNOME's side of the shared thumbnail cache, for the thumbnail cache tests: its thumbnail factory
# saves and looks up entries, GIO judges them. The photo's path comes in hex, every byte kept.
#   gnome-thumbnails.py save HEXPATH    the factory stores a 256-pixel thumbnail of the photo
#   gnome-thumbnails.py check HEXPATH   prints the entry the factory finds valid, then GIO's
#                                       thumbnail path and whether GIO finds it valid
# Exits 77 when GNOME's libraries are not installed.
import os
import sys

try:
    import gi
    gi.require_version("GnomeDesktop", "3.0")
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf, Gio, GLib, GnomeDesktop
except (ImportError, ValueError):
    sys.exit(77)

command, path = sys.argv[1], bytes.fromhex(sys.argv[2])
uri = GLib.filename_to_uri(path, None)
mtime = int(os.stat(path).st_mtime)
factory = GnomeDesktop.DesktopThumbnailFactory.new(GnomeDesktop.DesktopThumbnailSize.LARGE)
if command == "save":
    pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_scale(path, 256, 256, True)
    factory.save_thumbnail(pixbuf, uri, mtime, None)
else:
    print(factory.lookup(uri, mtime) or "")
    info = Gio.File.new_for_path(path).query_info("thumbnail::*", Gio.FileQueryInfoFlags.NONE, None)
    print(info.get_attribute_byte_string("thumbnail::path") or "",
          info.get_attribute_boolean("thumbnail::is-valid"))
