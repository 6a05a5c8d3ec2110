#!/usr/bin/python3
"""What a user does to a text document between exports:
   edit <path> <text>    adds a paragraph with <text> at the end of the document's body
"""
import sys
import zipfile

cmd, path = sys.argv[1], sys.argv[2]
if cmd == "edit":
    with zipfile.ZipFile(path) as z:
        parts = [(i, z.read(i.filename)) for i in z.infolist()]
    with zipfile.ZipFile(path, "w") as z:
        for info, data in parts:
            if info.filename == "content.xml":
                data = data.replace(b"</office:text>", ("<text:p>%s</text:p></office:text>" % sys.argv[3]).encode())
            z.writestr(info, data, compress_type=info.compress_type)
