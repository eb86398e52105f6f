#!/usr/bin/env python3
"""Checks the XML view of whole files through xml-view-dump, the test program that prints the view's lines.

infoset: the pretty text of each file parses to the same elements, attributes, comments, processing
instructions and text (white space aside) as the file itself, with Python's own XML parser; among the files are
a real-world one nobody here wrote (/usr/share/mime/packages/freedesktop.org.xml, already indented) and a copy
of it on one line (xmllint --noblanks), which must come out as the indented file does.

memory: the peak memory of a pretty, coloured print-out of a 5 MB one-line file stays within 20 MB of the plain
print-out's, each measured on its own child process.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

FREEDESKTOP = "/usr/share/mime/packages/freedesktop.org.xml"


def view_text(dump, path, *options):
    result = subprocess.run([dump, *options, path], capture_output=True, check=True, timeout=300)
    return result.stdout.decode("utf-8")


def as_source(printed):
    """The printed lines as XML again: code points shown by number go back to themselves."""
    return re.sub(r"<U\+([0-9A-F]{4,6})>", lambda m: chr(int(m.group(1), 16)), printed)


def parse(text):
    parser = ET.XMLParser(target=ET.TreeBuilder(insert_comments=True, insert_pis=True))
    parser.feed(text)
    return parser.close()


def words(text):
    return (text or "").split()


def differences(a, b, where="/"):
    """Where two trees differ in names, attributes, order of children or text other than white space."""
    if a.tag != b.tag:
        return [f"{where}: {a.tag!r} against {b.tag!r}"]
    where = f"{where}{a.tag if isinstance(a.tag, str) else 'node'}/"
    found = []
    if {k: words(v) for k, v in a.attrib.items()} != {k: words(v) for k, v in b.attrib.items()}:
        found.append(f"{where}: attributes {a.attrib} against {b.attrib}")
    if words(a.text) != words(b.text):
        found.append(f"{where}: text {a.text!r} against {b.text!r}")
    if words(a.tail) != words(b.tail):
        found.append(f"{where}: tail {a.tail!r} against {b.tail!r}")
    if len(a) != len(b):
        found.append(f"{where}: {len(a)} children against {len(b)}")
    for x, y in zip(a, b):
        found += differences(x, y, where)
    return found


# Written here to hold what a pretty-printer must not touch: mixed content, CDATA, entity references,
# attributes over several lines, comments and processing instructions among elements, empty elements, white
# space kept in an element that holds nothing else, and an element whose text comes after more than the
# look-ahead of children.
MADE_UP = (
    '<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE doc [<!ENTITY co "Company">]>'
    "<doc xmlns:x=\"urn:x\"><?setup mode='a'?><!-- Καλημέρα --><x:head a=\"1\"\n   b='two &amp; more'>"
    "<title>Invoice &co; &#x41;</title><empty/><blank>   </blank><none></none></x:head>"
    "<body><p>One <b>bold</b> <i>and</i> two\n   lines</p><code><![CDATA[ <not-a-tag> ]]></code>"
    "<list>" + "<item n=\"1\"><v>x</v></item>" * 5000 + "tail text</list></body></doc>"
)


def check_infoset(dump, work):
    one_line = os.path.join(work, "freedesktop-one-line.xml")
    with open(one_line, "wb") as out:
        subprocess.run(["xmllint", "--noblanks", FREEDESKTOP], stdout=out, check=True)
    made_up = os.path.join(work, "made-up.xml")
    with open(made_up, "w", encoding="utf-8") as out:
        out.write(MADE_UP)
    failures = []
    pretty = {}
    for path in (FREEDESKTOP, one_line, made_up):
        with open(path, encoding="utf-8") as source:
            expected = parse(source.read())
        text = view_text(dump, path, "--xml=pretty")
        pretty[path] = text
        found = differences(expected, parse(as_source(text)))
        failures += [f"{path}: {d}" for d in found[:10]]
        if view_text(dump, path, "--xml=pretty,colour") != text:
            failures.append(f"{path}: colour changes the pretty text")
    if pretty[one_line] != pretty[FREEDESKTOP]:
        failures.append("the one-line copy does not come out as the indented file does")
    if pretty[FREEDESKTOP].count("\n") < 40000:
        failures.append("the pretty text of the freedesktop file has too few lines")

    # Each line shows the source line where it begins: in the indented file, the line that holds its text.
    with open(FREEDESKTOP, encoding="utf-8") as source:
        source_lines = [line.expandtabs(8).strip() for line in source.read().split("\n")]
    numbered = view_text(dump, FREEDESKTOP, "--xml=pretty", "--numbers").split("\n")[:-1]
    wrong = 0
    for entry in numbered:
        number, text = entry.split("\t", 1)
        text = as_source(text).strip()
        if int(number) == 0 or not text:
            continue
        if not source_lines[int(number) - 1].startswith(text[:30]):
            wrong += 1
            if wrong <= 5:
                failures.append(f"line numbered {number} is not in that source line: {text[:60]!r}")
    return failures


def peak_rss_kb(arguments):
    pid = os.posix_spawn(arguments[0], arguments, os.environ)
    _, status, usage = os.wait4(pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"{arguments} failed")
    return usage.ru_maxrss


def check_memory(dump, work):
    source = os.path.join(work, "one-line.xml")
    with open(source, "w") as out:
        out.write('<?xml version="1.0"?><records>')
        written = 0
        i = 0
        while written < 5 * 1024 * 1024:
            record = f'<record id="{i}"><name>alpha beta {i}</name><value>{i * 7919 % 1000003}</value></record>'
            out.write(record)
            written += len(record)
            i += 1
        out.write("</records>")
    pdf = os.path.join(work, "out.pdf")
    plain = peak_rss_kb([dump, f"--pdf={pdf}", source])
    styled = peak_rss_kb([dump, "--xml=pretty,colour", f"--pdf={pdf}", source])
    print(f"peak RSS: plain {plain / 1024:.1f} MB, pretty and colour {styled / 1024:.1f} MB")
    if styled > plain + 20 * 1024:
        return [f"pretty and colour take {(styled - plain) / 1024:.1f} MB more than plain"]
    return []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("check", choices=["infoset", "memory"])
    parser.add_argument("--dump", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        failures = (check_infoset if args.check == "infoset" else check_memory)(args.dump, work)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
