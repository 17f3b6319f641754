#!/usr/bin/env python3
"""Checks the guide's pages: UTF-8, every local link, anchor and picture
resolves, nothing comes from elsewhere, no script, one shared style sheet,
every page reachable from the start page.

    guide_links.py HELP_DIR
"""
import html.parser
import os
import sys
import urllib.parse


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.refs, self.sheets, self.faults = set(), [], [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.add(a["id"])
        if tag in ("script", "iframe", "object", "embed") or any(k.startswith("on") for k in a):
            self.faults.append(f"<{tag}> runs or embeds something")
        if tag == "link" and a.get("rel") == "stylesheet":
            self.sheets.append(a.get("href"))
        for key in ("href", "src"):
            if a.get(key) is not None:
                self.refs.append((tag, a[key]))


def main():
    root = sys.argv[1]
    pages, faults = {}, []
    for name in sorted(os.listdir(root)):
        if name.endswith(".html"):
            p = Page()
            with open(os.path.join(root, name), encoding="utf-8") as f:
                text = f.read()
            if '<meta charset="utf-8">' not in text:
                faults.append(f"{name}: no <meta charset=\"utf-8\">")
            p.feed(text)
            pages[name] = p
    if "index.html" not in pages:
        sys.exit("no index.html")
    sheets = set()
    reached, todo = set(), ["index.html"]
    for name, p in pages.items():
        faults += [f"{name}: {x}" for x in p.faults]
        if len(p.sheets) != 1:
            faults.append(f"{name}: {len(p.sheets)} style sheets")
        sheets.update(p.sheets)
        for tag, ref in p.refs:
            url = urllib.parse.urlsplit(ref)
            if url.scheme or url.netloc:
                if tag != "a":
                    faults.append(f"{name}: {ref} is fetched from elsewhere")
                continue
            target = urllib.parse.unquote(url.path) or name
            if not os.path.isfile(os.path.join(root, target)):
                faults.append(f"{name}: {ref} does not exist")
            elif url.fragment and (target not in pages or url.fragment not in pages[target].ids):
                faults.append(f"{name}: {ref} has no such anchor")
    if len(sheets) != 1:
        faults.append(f"style sheets: {sorted(sheets)}")
    while todo:
        name = todo.pop()
        if name in reached or name not in pages:
            continue
        reached.add(name)
        todo += [urllib.parse.unquote(urllib.parse.urlsplit(r).path) for _, r in pages[name].refs]
    faults += [f"{name}: not reachable from index.html" for name in pages if name not in reached]
    for fault in faults:
        print("FAIL:", fault, file=sys.stderr)
    if faults:
        sys.exit(1)
    print(f"guide: {len(pages)} pages, links and pictures resolve")


if __name__ == "__main__":
    main()
