# Takes the text out of PDFs as pypdf does: python3 pypdf-text.py OUTDIR PDF... writes OUTDIR/<name>.pypdf.txt.
import os
import sys

from pypdf import PdfReader

out_dir = sys.argv[1]
for pdf in sys.argv[2:]:
    name = os.path.splitext(os.path.basename(pdf))[0]
    try:
        text = "\n".join(page.extract_text() for page in PdfReader(pdf).pages)
    except Exception as error:  # a reader that fails on the file has lost all of it
        print("pypdf: %s: %s" % (pdf, error), file=sys.stderr)
        text = ""
    with open(os.path.join(out_dir, name + ".pypdf.txt"), "w", encoding="utf-8") as f:
        f.write(text)
