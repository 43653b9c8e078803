#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# GNOME's side of the shared thumbnail cache, for the thumbnail cache tests: its thumbnail factory
# saves and looks up entries, GIO judges them. The photo's path comes in hex, every byte kept.
#   gnome-thumbnails.py save HEXPATH SIDE    the factory stores a thumbnail of the photo fitted
#                                            into SIDE x SIDE (256, 512 or 1024)
#   gnome-thumbnails.py check HEXPATH SIDE   prints the entry of that size the factory finds valid,
#                                            then GIO's thumbnail path (its largest size) and
#                                            whether GIO finds it valid
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

command, path, side = sys.argv[1], bytes.fromhex(sys.argv[2]), int(sys.argv[3])
uri = GLib.filename_to_uri(path, None)
mtime = int(os.stat(path).st_mtime)
sizes = {256: "LARGE", 512: "XLARGE", 1024: "XXLARGE"}
size = getattr(GnomeDesktop.DesktopThumbnailSize, sizes[side], None)
if size is None:
    sys.exit(77)  # a GNOME older than the x-large sizes
factory = GnomeDesktop.DesktopThumbnailFactory.new(size)
if command == "save":
    pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_scale(path, side, side, True)
    factory.save_thumbnail(pixbuf, uri, mtime, None)
else:
    print(factory.lookup(uri, mtime) or "")
    info = Gio.File.new_for_path(path).query_info("thumbnail::*", Gio.FileQueryInfoFlags.NONE, None)
    print(info.get_attribute_byte_string("thumbnail::path") or "",
          info.get_attribute_boolean("thumbnail::is-valid"))
