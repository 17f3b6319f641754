#!/usr/bin/env python3
"""guide_links.py HELP_DIR: the guide's pages are UTF-8 with the one shared style sheet, run and
fetch nothing, and every local link, anchor and picture resolves; each is reached from index.html."""
import os, re, sys, urllib.parse as up

root = sys.argv[1]
pages = {n: open(os.path.join(root, n), encoding="utf-8").read()
         for n in sorted(os.listdir(root)) if n.endswith(".html")}
faults, reached, todo = [], set(), ["index.html"]
for name, text in pages.items():
    if '<meta charset="utf-8">' not in text or \
            re.findall(r'rel="stylesheet" href="([^"]*)"', text) != ["style.css"]:
        faults.append(f"{name}: not UTF-8 with the one style sheet")
    if re.search(r'<(script|iframe|object|embed)\b|\son\w+=', text, re.I):
        faults.append(f"{name}: runs or embeds something")
    for tag, ref in re.findall(r'<(\w+)\s[^>]*?(?:href|src)="([^"]*)"', text):
        url, target = up.urlsplit(ref), up.unquote(up.urlsplit(ref).path) or name
        if url.scheme or url.netloc:
            faults += [] if tag == "a" else [f"{name}: {ref} is fetched from elsewhere"]
        elif not os.path.isfile(os.path.join(root, target)):
            faults.append(f"{name}: {ref} does not exist")
        elif url.fragment and f'id="{url.fragment}"' not in pages.get(target, ""):
            faults.append(f"{name}: {ref} has no such anchor")
while todo:
    name = todo.pop()
    if name in pages and name not in reached:
        reached.add(name)
        todo += [up.unquote(up.urlsplit(r).path) for r in re.findall(r'href="([^"]*)"', pages[name])]
faults += [f"{name}: not reached from index.html" for name in pages if name not in reached]
print("\n".join(["FAIL: " + f for f in faults] or [f"guide: {len(pages)} pages resolve"]))
sys.exit(1 if faults else 0)
