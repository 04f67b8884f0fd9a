"""Reads the names and data pages of a web-page export with Python's HTML parser.

Prints the text of both pages as a browser's parser gets it (entities resolved), then
how many links of the names page land on an anchor of the data page, and how many
script elements the parser met.  Used by ExportHtmlTest.
"""
import sys
from html.parser import HTMLParser


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.text = []
        self.anchors = set()
        self.links = []
        self.scripts = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "script":
            self.scripts += 1
        if tag == "a" and "name" in attrs:
            self.anchors.add(attrs["name"])
        if tag == "a" and attrs.get("href", "").startswith("mv_data.htm#"):
            self.links.append(attrs["href"].split("#", 1)[1])

    def handle_data(self, data):
        self.text.append(data)


def read(path):
    page = Page()
    with open(path, encoding="iso-8859-1") as f:
        page.feed(f.read())
    page.close()
    return page


names, data = read(sys.argv[1]), read(sys.argv[2])
sys.stdout.reconfigure(encoding="utf-8")
print("".join(names.text))
print("".join(data.text))
landed = sum(1 for link in names.links if link in data.anchors)
print("links: %d landed, %d lost" % (landed, len(names.links) - landed))
print("script elements: %d" % (names.scripts + data.scripts))
