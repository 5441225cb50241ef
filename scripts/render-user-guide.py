#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
"""Renders the user guide to HTML pages that a browser opens from the disk, with no
network: one page per chapter, a language's chapters in a folder of their own, the
pictures they show beside them.

    scripts/render-user-guide.py GUIDE OUTPUT

GUIDE holds one folder of Markdown chapters per language (en/, de/) and images/;
OUTPUT receives the same folders, each chapter as NAME.html. A link to a chapter
(`window.md#checks-while-you-type`) becomes a link to its page, its heading's anchor
kept as the repository's web view makes it. A link or picture that leaves GUIDE, or a
page whose links or pictures do not resolve in OUTPUT, stops the rendering with each
fault named as FILE: TARGET (reason), so that no broken guide is built or shipped."""

import html
import re
import shutil
import sys
from html.parser import HTMLParser
from pathlib import Path

import markdown
from markdown.extensions import Extension
from markdown.treeprocessors import Treeprocessor

sys.path.insert(0, str(Path(__file__).resolve().parent / "lib"))
from markdown_anchors import Anchors  # noqa: E402

# Each language's name in itself (for the link to a page's twin) and its word for the
# list of chapters. A language folder not listed here is not rendered.
LANGUAGES = {
    "en": {"name": "English", "contents": "Contents", "title": "Vostrel programmer user guide"},
    "de": {"name": "Deutsch", "contents": "Inhalt", "title": "Benutzerhandbuch Vostrel programmer"},
}
IMAGES = "images"
EXTERNAL = re.compile(r"^[a-z][a-z0-9+.-]*:", re.IGNORECASE)

STYLE = """
body { font-family: "DejaVu Sans", "Segoe UI", Arial, sans-serif; line-height: 1.45;
       max-width: 52em; margin: 0 auto; padding: 0.5em 1.5em 3em; color: #1b1b1b; }
nav { border-bottom: 1px solid #ccc; padding: 0.4em 0; margin-bottom: 1em; }
nav a { margin-right: 1.2em; }
h1, h2, h3 { line-height: 1.2; }
code, pre { font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 0.92em;
            background: #f3f3f3; }
code { padding: 0 0.2em; }
pre { padding: 0.6em 0.8em; overflow-x: auto; }
pre code { padding: 0; }
table { border-collapse: collapse; margin: 0.8em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.5em; vertical-align: top; text-align: left; }
th { background: #eee; }
img { max-width: 100%; height: auto; border: 1px solid #ddd; }
"""

PAGE = """<!DOCTYPE html>
<html lang="{language}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>{style}</style>
</head>
<body>
<nav aria-label="{guide}">{navigation}</nav>
<main>
{body}
</main>
</body>
</html>
"""


class Fault(Exception):
    pass


class GuideTree(Treeprocessor):
    """Gives each heading its anchor and points links to chapters at their pages; a
    link or picture that leaves the guide is a fault."""

    def __init__(self, md, chapter, guide):
        super().__init__(md)
        self.chapter = chapter
        self.guide = guide

    def run(self, root):
        anchors = Anchors()
        for element in root.iter():
            if re.fullmatch(r"h[1-6]", element.tag):
                element.set("id", anchors.next("".join(element.itertext())))
            elif element.tag == "a" and element.get("href"):
                element.set("href", self.page_target(element.get("href")))
            elif element.tag == "img":
                self.inside_guide(element.get("src", ""))
            elif element.tag in ("td", "th"):
                # A '|' in a table cell's code is written '\|', as the web view reads it.
                for code in element.iter("code"):
                    code.text = code.text.replace("\\|", "|")

    def page_target(self, target):
        if EXTERNAL.match(target) or target.startswith("#"):
            return target
        name, hash_mark, fragment = target.partition("#")
        self.inside_guide(name)
        if name.endswith(".md"):
            name = name[:-len(".md")] + ".html"
        return name + hash_mark + fragment

    def inside_guide(self, target):
        linked = (self.chapter.parent / target).resolve()
        if not linked.is_relative_to(self.guide):
            raise Fault(f"{self.chapter.relative_to(self.guide)}: {target} (leaves the user guide)")


class GuideExtension(Extension):
    def __init__(self, chapter, guide):
        super().__init__()
        self.chapter = chapter
        self.guide = guide

    def extendMarkdown(self, md):
        # After the inline patterns (20), so that the headings' text and the links are there.
        md.treeprocessors.register(GuideTree(md, self.chapter, self.guide), "vostrel_guide", 5)


def first_heading(body):
    match = re.search(r"<h1[^>]*>(.*?)</h1>", body, re.DOTALL)
    return html.unescape(re.sub(r"<[^>]+>", "", match.group(1))) if match else ""


def navigation(language, chapter, guide):
    words = LANGUAGES[language]
    links = [f'<a href="index.html">{words["contents"]}</a>']
    for other, other_words in LANGUAGES.items():
        if other != language and (guide / other / chapter.name).exists():
            page = chapter.with_suffix(".html").name
            links.append(f'<a href="../{other}/{page}" hreflang="{other}" lang="{other}">{other_words["name"]}</a>')
    return "".join(links)


def render_chapter(language, chapter, guide):
    body = markdown.markdown(chapter.read_text(encoding="utf-8"),
                             extensions=["tables", "fenced_code", GuideExtension(chapter, guide)],
                             output_format="html")
    heading = first_heading(body)
    guide_title = LANGUAGES[language]["title"]
    title = guide_title if chapter.name == "index.md" else f"{heading} · {guide_title}"
    return PAGE.format(language=language, title=html.escape(title), style=STYLE, guide=html.escape(guide_title),
                       navigation=navigation(language, chapter, guide), body=body)


class PageReferences(HTMLParser):
    """The ids a page defines and the addresses its links and pictures name."""

    def __init__(self):
        super().__init__()
        self.ids = set()
        self.targets = []

    def handle_starttag(self, tag, attributes):
        attributes = dict(attributes)
        if "id" in attributes:
            self.ids.add(attributes["id"])
        for name in ("href", "src"):
            if attributes.get(name):
                self.targets.append(attributes[name])


def read_page(page, cache):
    if page not in cache:
        parser = PageReferences()
        parser.feed(page.read_text(encoding="utf-8"))
        cache[page] = parser
    return cache[page]


def broken_references(output):
    """Each link or picture of the rendered pages whose file or anchor is not there."""
    cache = {}
    for page in sorted(output.rglob("*.html")):
        for target in read_page(page, cache).targets:
            if EXTERNAL.match(target):
                continue
            name, _, fragment = target.partition("#")
            linked = (page.parent / name).resolve() if name else page
            where = f"{page.relative_to(output)}: {target}"
            if not linked.is_file():
                yield f"{where} (no such file)"
            elif fragment and linked.suffix == ".html" and fragment not in read_page(linked, cache).ids:
                yield f"{where} (no such anchor)"


def pictures_shown(output):
    for page in output.rglob("*.html"):
        for target in read_page(page, {}).targets:
            name = target.partition("#")[0]
            if not EXTERNAL.match(target) and not name.endswith(".html") and name:
                yield (page.parent / name).resolve().relative_to(output.resolve())


def render(guide, output):
    guide = guide.resolve()
    for folder in [*LANGUAGES, IMAGES]:
        shutil.rmtree(output / folder, ignore_errors=True)
    for language in LANGUAGES:
        chapters = sorted((guide / language).glob("*.md"))
        if not chapters:
            continue
        (output / language).mkdir(parents=True)
        for chapter in chapters:
            page = render_chapter(language, chapter, guide)
            (output / language / chapter.with_suffix(".html").name).write_text(page, encoding="utf-8")
    for picture in sorted(set(pictures_shown(output))):
        if (guide / picture).is_file():
            (output / picture).parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(guide / picture, output / picture)
    return list(broken_references(output))


def main():
    if len(sys.argv) != 3:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    guide, output = Path(sys.argv[1]), Path(sys.argv[2])
    try:
        broken = render(guide, output)
    except Fault as fault:
        broken = [str(fault)]
    for line in broken:
        print(line, file=sys.stderr)
    if broken:
        print(f"the user guide was not rendered: {len(broken)} broken links", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
