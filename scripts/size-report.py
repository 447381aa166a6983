#!/usr/bin/env python3
"""Prints the code's size measures: classes above a line limit counting all
their files (Class.h, ClassPrivate.h, Class.cpp, Class_Concern.cpp), the
public methods of a class, and functions above a line limit.

A reading aid, not a gate: the function finder is a brace scanner, not a
compiler. Initialisers written as data (`const Row rows[] = {...};`) are not
functions and are not listed.

    scripts/size-report.py [--class-lines 1500] [--function-lines 120]
                           [--public-of Book] [dirs...]   (default: src)
"""

import argparse
import os
import re
import sys
from collections import defaultdict

SOURCE_SUFFIXES = ('.h', '.cpp', '.mm')


def source_files(dirs):
    for top in dirs:
        for root, _, names in os.walk(top):
            for name in sorted(names):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.join(root, name)


def blank_out(text):
    """Comments, string and character literals and preprocessor lines become
    spaces; newlines stay, so offsets keep their line numbers."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in ' \t':
            out.append(c)
            i += 1
            continue
        if line_start and c == '#':
            # A directive, with its continuation lines.
            while i < n and text[i] != '\n':
                if text[i] == '\\' and i + 1 < n and text[i + 1] == '\n':
                    out.append(' \n')
                    i += 2
                    continue
                out.append(' ')
                i += 1
            continue
        line_start = c == '\n'
        if text.startswith('//', i):
            while i < n and text[i] != '\n':
                out.append(' ')
                i += 1
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r'[^\n]', ' ', text[i:end]))
            i = end
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
            open_paren = text.find('(', i + 2)
            delim = text[i + 2:open_paren]
            end = text.find(')' + delim + '"', open_paren)
            end = n if end < 0 else end + len(delim) + 2
            out.append(re.sub(r'[^\n]', ' ', text[i:end]))
            i = end
        elif c in '"\'':
            # A digit separator (1'000) is no literal.
            token = re.search(r'[\w.]*$', text[max(0, i - 40):i]).group(0)
            if c == "'" and token[:1].isdigit() and i + 1 < n and text[i + 1].isalnum():
                out.append(' ')
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            out.append(c + ' ' * (min(j, n) - i - 1) + (c if j < n else ''))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


ACCESS = re.compile(r'\b(public|private|protected|Q_SIGNALS|signals|public\s+Q_SLOTS|private\s+Q_SLOTS|protected\s+Q_SLOTS)\s*:(?!:)')
TYPE_HEAD = re.compile(r'^(?:template\s*<.*>\s*)?(?:\[\[.*?\]\]\s*)?(class|struct|union|enum)\b')
MACRO_LINES = re.compile(r'(?:\s*[A-Z][A-Z0-9_]*\s*\((?:[^()\n]|\([^()\n]*\))*\)[ \t]*\n)+')
NAME_BEFORE_PAREN = re.compile(r'(~?[A-Za-z_]\w*(?:\s*::\s*~?[A-Za-z_]\w*)*|operator\s*\S+?)\s*\($')


def strip_template(head):
    """`template <...>` prefixes removed, nested angle brackets and all."""
    while True:
        m = re.match(r'\s*template\s*<', head)
        if not m:
            return head.strip()
        depth, i = 1, m.end()
        while i < len(head) and depth:
            depth += {'<': 1, '>': -1}.get(head[i], 0)
            i += 1
        head = head[i:]


def function_name(head):
    """The declared name of a function head, or None when the head is no function."""
    head = strip_template(head)
    if '(' not in head or TYPE_HEAD.match(head) or re.search(r'(^|[^=!<>])=($|[^=])', head.split('(')[0]):
        return None
    if re.match(r'(namespace|extern|return|if|for|while|switch|catch|do|else)\b', head):
        return None
    # The name is what stands before the parameter list's opening bracket.
    depth = 0
    for i, c in enumerate(head):
        if c == '(' and depth == 0:
            m = NAME_BEFORE_PAREN.search(head[:i + 1])
            return re.sub(r'\s+', '', m.group(1)) if m else None
        if c == '<':
            depth += 1
        elif c == '>' and depth:
            depth -= 1
    return None


class Scope:
    def __init__(self, kind, name='', start=0, access='private'):
        self.kind = kind      # namespace, type, function, block, data
        self.name = name
        self.start = start    # line of the head's first character
        self.access = access


def scan(path, text):
    """Yields (kind, qualified name, access, start line, end line, enclosing
    type) for every function definition and every member declaration."""
    clean = blank_out(text)
    line_of = [0] * (len(clean) + 1)
    line = 1
    for i, c in enumerate(clean):
        line_of[i] = line
        if c == '\n':
            line += 1
    line_of[len(clean)] = line

    stack = [Scope('namespace')]
    head_start = 0
    paren = 0
    i, n = 0, len(clean)
    while i < n:
        c = clean[i]
        top = stack[-1]
        inside_code = top.kind in ('function', 'block', 'data')
        if c == '(':
            paren += 1
        elif c == ')':
            paren = max(0, paren - 1)
        elif c == ';' and paren == 0 and not inside_code:
            head = clean[head_start:i]
            if top.kind == 'type':
                name = function_name(ACCESS.sub(' ', head))
                if name:
                    yield ('declaration', name, top.access, line_of[head_start], line_of[i], top.name)
            head_start = i + 1
        elif c == ':' and not inside_code and top.kind == 'type':
            m = ACCESS.search(clean, head_start, i + 1)
            if m and m.end() == i + 1:
                top.access = 'signal' if 'signal' in m.group(1).lower() else m.group(1).split()[0]
                head_start = i + 1
        elif c == '{':
            if inside_code:
                stack.append(Scope('block'))
            else:
                head = clean[head_start:i]
                before = head.rstrip()
                # `member{value}` in a constructor's initialiser list is no scope of its own.
                if re.search(r'\)\s*(const\s*)?(noexcept\s*)?:', head) and before and (before[-1].isalnum() or before[-1] in '_>'):
                    depth = 1
                    j = i + 1
                    while j < n and depth:
                        depth += {'{': 1, '}': -1}.get(clean[j], 0)
                        j += 1
                    i = j
                    continue
                # A macro's line without a semicolon (Q_LOGGING_CATEGORY(...)) is no part of the head.
                macro = MACRO_LINES.match(head)
                if macro:
                    head_start += macro.end()
                    head = head[macro.end():]
                stripped = strip_template(ACCESS.sub(' ', head))
                start_offset = head_start + len(head) - len(head.lstrip())
                type_match = TYPE_HEAD.match(stripped)
                if re.match(r'(inline\s+)?namespace\b|extern\s*"', stripped) or stripped.startswith('extern'):
                    stack.append(Scope('namespace'))
                elif type_match and type_match.group(1) != 'enum' and '(' not in stripped.split('{')[0].split(':')[0]:
                    name = re.match(r'(?:class|struct|union)\s+(?:\w+\s+)*?([A-Za-z_]\w*(?:::\w+)*)\s*(?:final\s*)?(?::(?!:)|$)', stripped)
                    access = 'private' if type_match.group(1) == 'class' else 'public'
                    stack.append(Scope('type', name.group(1) if name else '', line_of[start_offset], access))
                elif type_match:
                    stack.append(Scope('data'))
                else:
                    name = function_name(stripped)
                    if name:
                        stack.append(Scope('function', name, line_of[start_offset], top.access))
                    else:
                        stack.append(Scope('data'))
            head_start = i + 1
        elif c == '}':
            done = stack.pop() if len(stack) > 1 else stack[0]
            if done.kind == 'function':
                owner = stack[-1].name if stack[-1].kind == 'type' else ''
                yield ('function', done.name, done.access, done.start, line_of[i], owner)
            if not stack[-1].kind in ('function', 'block', 'data'):
                head_start = i + 1
        i += 1


def class_of_file(path):
    # Class.h, Class.cpp, Class_Concern.cpp and the private part ClassPrivate.h.
    stem = os.path.splitext(os.path.basename(path))[0].split('_', 1)[0]
    return stem[:-len('Private')] if stem.endswith('Private') and len(stem) > len('Private') else stem


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('dirs', nargs='*', default=['src'])
    parser.add_argument('--class-lines', type=int, default=1500)
    parser.add_argument('--function-lines', type=int, default=120)
    parser.add_argument('--public-of', default='Book')
    args = parser.parse_args()
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))

    files = list(source_files(args.dirs))
    texts = {}
    for path in files:
        with open(path, encoding='utf-8', errors='replace') as f:
            texts[path] = f.read()

    # Classes by their files.
    by_class = defaultdict(list)
    for path in files:
        by_class[(os.path.dirname(path), class_of_file(path))].append(path)
    big = []
    for (folder, name), paths in by_class.items():
        lines = sum(texts[p].count('\n') for p in paths)
        if lines > args.class_lines:
            big.append((lines, name, folder, paths))
    print(f'Classes above {args.class_lines} lines, all their files counted:')
    for lines, name, folder, paths in sorted(big, reverse=True):
        print(f'  {lines:6d}  {name} ({len(paths)} files in {folder})')
    if not big:
        print('  none')

    # Functions and declarations.
    long_functions = []
    public = defaultdict(set)
    public_files = set()
    for path in files:
        for kind, name, access, start, end, owner in scan(path, texts[path]):
            if kind == 'function' and end - start + 1 > args.function_lines:
                long_functions.append((end - start + 1, path, start, name))
            short = name.split('::')[-1]
            if access == 'public' and owner == args.public_of:
                public[short].add((path, start))
                public_files.add(path)
    print(f'\nPublic methods of {args.public_of} (declared in {", ".join(sorted(public_files)) or "no file"}):')
    declared = sum(len(places) for places in public.values())
    own = {args.public_of, '~' + args.public_of}
    print(f'  {declared} declarations ({sum(len(p) for n, p in public.items() if n not in own)} without constructors '
          f'and destructor), {len(public)} names')
    implemented = sorted({p for p in files if class_of_file(p) == args.public_of and p.endswith('.cpp')})
    print(f'  implemented in {len(implemented)} files')

    print(f'\nFunctions above {args.function_lines} lines:')
    for lines, path, start, name in sorted(long_functions, reverse=True):
        print(f'  {lines:6d}  {path}:{start}  {name}')
    if not long_functions:
        print('  none')
    return 0


if __name__ == '__main__':
    sys.exit(main())
