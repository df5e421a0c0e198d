#!/usr/bin/env python3
"""Every relative link and picture in the README, docs/*.md and bench/README.md
names a file of the repository, and every #anchor a heading of its page, so
that moving or renaming a document cannot leave a reader at a dead end.

Usage: LinksTest.py path/to/repository
"""
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

# [text](target) and ![alt](target); the target may carry a "title".
INLINE_LINK = re.compile(r'!?\[(?:[^\]\\]|\\.)*\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)')
# [label]: target
REFERENCE_LINK = re.compile(r'^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+"[^"]*")?\s*$')
CODE_SPAN = re.compile(r'(`+)(?:(?!\1).)+?\1')
FENCE = re.compile(r'^\s{0,3}(`{3,}|~{3,})')
HEADING = re.compile(r'^\s{0,3}#{1,6}\s+(.*?)\s*#*\s*$')
SCHEME = re.compile(r'^[A-Za-z][A-Za-z0-9+.-]*:')


def prose_lines(text):
    """The lines outside fenced code blocks, with their numbers."""
    fence = None
    for number, line in enumerate(text.splitlines(), 1):
        mark = FENCE.match(line)
        if fence is None and mark:
            fence = mark.group(1)[0] * len(mark.group(1))
            continue
        if fence is not None:
            if line.strip().startswith(fence) and set(line.strip()) <= set(fence[0]):
                fence = None
            continue
        yield number, line


def slug(heading):
    """The anchor a hosting site gives a heading: the text without its
    markup, lower case, punctuation dropped, spaces as hyphens."""
    text = re.sub(r'!?\[([^\]]*)\]\([^)]*\)', r'\1', heading)
    text = re.sub(r'[`*_]', '', text).strip().lower()
    kept = ''.join(c for c in text
                   if c in ' -' or unicodedata.category(c)[0] in 'LMN' or unicodedata.category(c) == 'Pc')
    return kept.replace(' ', '-')


def anchors(path):
    found, seen = set(), {}
    for _, line in prose_lines(path.read_text(encoding='utf-8')):
        heading = HEADING.match(line)
        if not heading:
            continue
        base = slug(heading.group(1))
        count = seen.get(base, 0)
        seen[base] = count + 1
        found.add(base if count == 0 else f'{base}-{count}')
    return found


def links(path):
    for number, line in prose_lines(path.read_text(encoding='utf-8')):
        reference = REFERENCE_LINK.match(line)
        if reference:
            yield number, reference.group(1)
            continue
        for match in INLINE_LINK.finditer(CODE_SPAN.sub('', line)):
            yield number, match.group(1)


def ignored_by_git(root, target):
    """True for a path git ignores (a build tree, say): it exists here only."""
    try:
        result = subprocess.run(['git', '-C', str(root), 'check-ignore', '-q', str(target)],
                                capture_output=True)
    except OSError:
        return False
    return result.returncode == 0


def check(root):
    pages = [root / 'README.md', *sorted((root / 'docs').glob('**/*.md')), root / 'bench' / 'README.md']
    failures, checked = [], {}
    for page in pages:
        if not page.is_file():
            failures.append(f'{page.relative_to(root)}: missing')
            continue
        checked[page] = 0
        for number, target in links(page):
            if SCHEME.match(target):
                continue
            checked[page] += 1
            where = f'{page.relative_to(root)}:{number}: {target}'
            file_part, _, anchor = target.partition('#')
            linked = (page.parent / file_part).resolve() if file_part else page
            if root not in linked.parents and linked != root:
                failures.append(f'{where}: leaves the repository')
            elif not linked.exists():
                failures.append(f'{where}: no such file')
            elif ignored_by_git(root, linked):
                failures.append(f'{where}: an ignored file, which a checkout does not have')
            elif anchor and linked.suffix == '.md' and anchor not in anchors(linked):
                failures.append(f'{where}: no heading with this anchor')
    # A parser that finds nothing would pass every page.
    if checked.get(root / 'README.md', 0) == 0:
        failures.append('README.md: no relative link found at all')
    return failures, sum(checked.values())


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = Path(sys.argv[1]).resolve()
    failures, count = check(root)
    for failure in failures:
        print('FAILED:', failure, file=sys.stderr)
    if failures:
        sys.exit(1)
    print(f'PASSED: {count} relative links resolve')


if __name__ == '__main__':
    main()
