#!/usr/bin/env python3
"""Checks that the sources stay small enough to be read as one concern each.

    check-sizes.py [--most-lines N] [--most-function-lines M] [--except NAME]... FOLDER...

Every .h and .cpp file below the folders has at most N lines (the files named by --except, such
as the text catalogue, which is data, aside), and every function body at most M lines, counted
from the line of its opening brace to the line of its closing one. Functions are found by their
braces in code laid out by .clang-format: a brace at namespace or class level after a parameter
list opens a function. Each file or function over its bound is printed; the exit status is then
1 (0 without)."""
import argparse
import os
import re
import sys

STRING = re.compile(r'"(\\.|[^"\\])*"')
CHARACTER = re.compile(r"'(\\.|[^'\\])*'")
CONTAINER = re.compile(r'\b(namespace|class|struct|enum|union)\b[^()]*$')


def code_of(line):
    """The line without its comment, strings and character literals."""
    line = re.sub(r'//.*', '', line)
    line = STRING.sub('""', line)
    return CHARACTER.sub("''", line)


def functions(lines):
    """(first line, last line) of every function body; lambdas count with their function."""
    stack = []  # (kind, line) of the open braces: 'fn', 'container' or 'block'
    header = ''  # the code since the last brace or declaration outside a function
    found = []
    for number, raw in enumerate(lines, 1):
        line = code_of(raw)
        if line.lstrip().startswith('#'):
            continue
        in_function = any(kind == 'fn' for kind, _ in stack)
        for i, c in enumerate(line):
            if c == '{':
                before = (header + ' ' + line[:i]).strip()
                if in_function:
                    kind = 'block'
                elif CONTAINER.search(before) or re.search(r'extern\s+""\s*$', before):
                    kind = 'container'
                elif re.search(r'(=|\breturn)\s*$', before):
                    kind = 'block'
                elif ')' in before:
                    kind = 'fn'
                else:
                    kind = 'block'
                stack.append((kind, number))
                in_function = in_function or kind == 'fn'
                header = ''
            elif c == '}' and stack:
                kind, first = stack.pop()
                if kind == 'fn':
                    found.append((first, number))
                in_function = any(k == 'fn' for k, _ in stack)
                header = ''
            elif c == ';' and not in_function:
                header = ''
        if not in_function:
            tail = re.split(r'[{};]', line)[-1]
            header = (header + ' ' + tail).strip()[-400:]
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--most-lines', type=int, default=450)
    parser.add_argument('--most-function-lines', type=int, default=60)
    parser.add_argument('--except', dest='exceptions', action='append', default=[])
    parser.add_argument('folders', nargs='+')
    args = parser.parse_args()
    faults = 0
    for folder in args.folders:
        for root, _, names in os.walk(folder):
            for name in sorted(names):
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.join(root, name)
                with open(path, encoding='utf-8', errors='replace') as f:
                    lines = f.read().split('\n')
                if lines and lines[-1] == '':
                    lines.pop()
                if len(lines) > args.most_lines and name not in args.exceptions:
                    print('%s: %d lines (at most %d)' % (path, len(lines), args.most_lines))
                    faults += 1
                for first, last in functions(lines):
                    if last - first + 1 > args.most_function_lines:
                        print('%s:%d: a function of %d lines (at most %d)' %
                              (path, first, last - first + 1, args.most_function_lines))
                        faults += 1
    print('%d files or functions over their bounds' % faults)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
