# A real-world XML file nobody here wrote, printed for reading: papyrant-convert --xml=pretty,colour --header
# --line-numbers on shared-mime-info's freedesktop.org.xml (already indented) and on a one-line copy of it, then
# pages 1 to 3 of each looked at through pdftoppm: a header band above the text, a gutter of numbers to its left,
# coloured markup in the body, and "Page N of M" with the PDF's own page count. (The one-line copy keeps the
# line breaks inside comments: a few dozen lines.)
#   /usr/bin/python3 xml_printout_test.py --convert BIN/papyrant-convert --keep DIR
import argparse
import os
import re
import subprocess
import sys

SOURCE = "/usr/share/mime/packages/freedesktop.org.xml"
OPTIONS = ["--xml=pretty,colour", "--header", "--line-numbers"]
RESOLUTION = 50  # pixels per inch: a point is 50/72 pixel
# Where the page's parts lie, in points from the top left of an A4 page (1 inch margins at top and bottom,
# 1.25 inch at the sides, as every print-out has them).
TOP_MARGIN, SIDE_MARGIN = 72.0, 90.0


def run(arguments, **kwargs):
    return subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300, **kwargs)


def read_ppm(path):
    """(width, height, rows of (r, g, b)) of a binary PPM as pdftoppm writes it."""
    data = open(path, "rb").read()
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    width, height = int(header.group(1)), int(header.group(2))
    pixels = data[header.end() :]
    rows = [[tuple(pixels[(y * width + x) * 3 : (y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]
    return width, height, rows


def dark(pixel):
    return sum(pixel) < 3 * 160


def coloured(pixel):
    return max(pixel) - min(pixel) > 60


def count(rows, box, test):
    """How many pixels inside box (left, top, right, bottom, in points) pass the test."""
    scale = RESOLUTION / 72.0
    left, top, right, bottom = (int(v * scale) for v in box)
    return sum(1 for row in rows[top:bottom] for pixel in row[left:right] if test(pixel))


def check_pdf(pdf, name, keep, problems):
    info = run(["pdfinfo", pdf]).stdout.decode()
    pages = int(re.search(r"Pages:\s+(\d+)", info).group(1))
    width_pt, height_pt = (float(v) for v in re.search(r"Page size:\s+([\d.]+) x ([\d.]+)", info).groups())
    if pages < 3:
        problems.append("%s: %d pages, expected a long print-out" % (name, pages))
        return
    check = run(["qpdf", "--check", pdf])
    if check.returncode != 0:
        problems.append("%s: qpdf --check: %s" % (name, check.stdout.decode()[-300:]))
    prefix = os.path.join(keep, name)
    for page in (1, 2, 3):
        path = "%s-%d.ppm" % (prefix, page)
        pick = ["-f", str(page), "-l", str(page), "-singlefile", pdf]
        run(["pdftoppm", "-r", str(RESOLUTION)] + pick + [path[: -len(".ppm")]])
        run(["pdftoppm", "-png", "-r", "80"] + pick + [path[: -len(".ppm")]])
        if not os.path.exists(path):
            problems.append("%s: page %d was not rendered" % (name, page))
            continue
        _, _, rows = read_ppm(path)
        header = (SIDE_MARGIN, TOP_MARGIN * 0.25, width_pt - SIDE_MARGIN, TOP_MARGIN * 0.95)
        gutter = (SIDE_MARGIN, TOP_MARGIN, SIDE_MARGIN + 30, height_pt - TOP_MARGIN)
        body = (SIDE_MARGIN + 40, TOP_MARGIN, width_pt - SIDE_MARGIN, height_pt - TOP_MARGIN)
        if count(rows, header, dark) < 20:
            problems.append("%s page %d: nothing printed in the header band" % (name, page))
        if count(rows, gutter, dark) < 20:
            problems.append("%s page %d: no line numbers in the gutter" % (name, page))
        if count(rows, body, coloured) < 50:
            problems.append("%s page %d: no coloured markup in the body" % (name, page))
        if count(rows, (0, 0, SIDE_MARGIN * 0.8, height_pt), dark) > 0:
            problems.append("%s page %d: something printed in the left margin" % (name, page))
        text = run(["pdftotext", "-layout", "-f", str(page), "-l", str(page), pdf, "-"]).stdout.decode()
        first = text.strip().splitlines()[0] if text.strip() else ""
        if not re.search(r"freedesktop\.org\.xml.*\d{4}-\d\d-\d\d \d\d:\d\d.*Page %d of %d" % (page, pages), first):
            problems.append("%s page %d: header reads %r" % (name, page, first[:120]))
    return pages


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--keep", required=True, help="folder for the PDFs and the pictures of pages 1 to 3")
    args = parser.parse_args()
    os.makedirs(args.keep, exist_ok=True)
    one_line = os.path.join(args.keep, "one-line", "freedesktop.org.xml")
    os.makedirs(os.path.dirname(one_line), exist_ok=True)
    with open(one_line, "wb") as f:
        f.write(run(["xmllint", "--noblanks", SOURCE]).stdout)
    # Only the line breaks inside comments are left: a few dozen lines, against tens of thousands.
    if os.path.getsize(one_line) < 1000 or open(one_line, "rb").read().count(b"\n") * 100 > open(SOURCE, "rb").read().count(b"\n"):
        sys.exit("xmllint --noblanks did not make a one-line copy of %s" % SOURCE)

    problems = []
    page_counts = {}
    for name, source in (("indented", SOURCE), ("one-line", one_line)):
        out = os.path.join(args.keep, name)
        os.makedirs(out, exist_ok=True)
        result = run([args.convert, "-q"] + OPTIONS + ["-o", out, source])
        pdf = os.path.join(out, "freedesktop.org.pdf")
        if result.returncode != 0 or not os.path.exists(pdf):
            problems.append("%s: not converted (exit %d) %s" % (name, result.returncode, result.stderr.decode()[-300:]))
            continue
        page_counts[name] = check_pdf(pdf, name, args.keep, problems)
    # Pretty-printed, the one-line copy is the indented file again: the same rows, so the same pages.
    if len(set(page_counts.values())) > 1:
        problems.append("pages differ between the indented file and its one-line copy: %s" % page_counts)
    for problem in problems:
        print(problem)
    print("pages: %s; pictures of pages 1 to 3 in %s" % (page_counts, args.keep))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
