# Prints a set of samples in many scripts and shapes with papyrant-convert and takes the text back out of each
# PDF with eight readers, as their users would: every character must come back once (white space aside) and
# every word whole, in its order. What each sample should give back is written here, not taken from the printer.
#
#   /usr/bin/python3 readers_test.py --convert BIN/papyrant-convert --npm DIR [--table] [--keep DIR] [--merge]
#
# --merge prints every sample into one PDF with papyrant-convert --merge (one set of fonts for all of them) and
# reads that PDF whole: each reader may lose or double no more than known-losses.tsv allows for all the samples
# together.
#
# DIR is where the JavaScript readers are installed with `npm ci` from this folder's lock file (done here when
# the installed lock differs). --table prints each reader's losses per sample and exits 0; otherwise the exit
# status is 1 when any reader loses or doubles more than known-losses.tsv allows for that sample: the losses
# not mended yet are written down there, so that none can grow and no new one can come in unseen.
#
# What a reader also loses in another writer's PDF of the same text is the reader's, and is not counted against
# ours: proofs/ holds, for each sample that loses text in some reader, a one-page PDF that LibreOffice made of
# its text (make-proofs.py regenerates them; the test itself needs no LibreOffice). Every reader reads the
# proofs too, and of a sample's losses in a reader, those the proof shows in the same reader (the same
# characters lost or doubled, the same words lost, as many times) are excused, one line each in --table.
import argparse
import base64
import codecs
import collections
import concurrent.futures
import filecmp
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def cjk_lines():
    # 40,000 distinct ideographs: the whole main block from U+4E00, then the first of the supplementary plane,
    # twenty to a line so that no line wraps.
    chars = [chr(c) for c in range(0x4E00, 0xA000)]
    chars += [chr(c) for c in range(0x20000, 0x20000 + 40000 - len(chars))]
    return "\n".join("".join(chars[i : i + 20]) for i in range(0, len(chars), 20))


# name: (what is printed, what must come back); one file each.
SAMPLES = {
    "thai": ("ฉันกิน", None),
    "combining-acute": ("за\u0301мок ли\u0301ния", None),
    "devanagari": ("क्षत्रिय कि", None),
    "bengali": ("বাংলায়", None),
    "tamil": ("தமிழ் பேசு", None),
    "hebrew-points": ("שָׁלוֹם עוֹלָם\nבְּרֵאשִׁית בָּרָא", None),
    "arabic-marks": ("مَرْحَبًا بِكُمْ", None),
    "rtl-digits": (
        "שלום 123 עולם 45.6\n"
        "مرحبا ١٢٣٤٥ بالعالم ٢٠٢٦\n"
        "Hello שלום עולם world 2026\n"
        "<a> שלום (עולם) [ספר] b",
        None,
    ),
    # Right-to-left text as XML holds it: inside elements whose tags read left to right.
    "xml-rtl": (
        "<name>שלום עולם</name>\n<city lang=\"ar\">مرحبا بالعالم</city>\n<note>ספר 12 דפים</note>",
        None,
    ),
    "flags": ("🇺🇸🇯🇵 🇫🇷", None),
    "noncharacter": ("a\uFFFFbc de", "a<U+FFFF>bc de"),
    "cjk-40000": (cjk_lines(), None),
    # The scripts of the fidelity corpus (bench/fidelity.sh).
    "latin": ("Größe café déjà vu naïve façade Ærø Ångström œuvre", None),
    "greek": ("Καλημέρα κόσμε ἀρχή ψυχή", None),
    "cyrillic": ("Съешь же ещё этих мягких французских булок", None),
    "hebrew": ("שלום עולם כרטיס אחד לחוף", None),
    "arabic": ("مرحبا بالعالم تذكرة واحدة إلى الساحل", None),
    "devanagari-words": ("नमस्ते दुनिया किताब क्षत्रिय", None),
    "bengali-words": ("আমি বাংলায় গান গাই", None),
    "tamil-words": ("வணக்கம் உலகம்", None),
    "thai-words": ("สวัสดีชาวโลก ภาษาไทย", None),
    "chinese": ("中文字符测试 请给我一张去海边的车票 臺灣", None),
    "japanese": ("日本語のテキスト カタカナ ひらがな 𩸽", None),
    "korean": ("서울 안녕하세요 한국어", None),
    "emoji": ("😀 👍 🎉 ☃ ❤ 🚆", None),
    "no-font": ("𗀀𗀁𗀂", None),
}

# Samples that lose text in some reader, printed by another writer as well: proofs/<name>.pdf, made by
# make-proofs.py with LibreOffice and kept here. Every reader reads them, and of what a reader loses on a sample,
# the characters and words it loses the same way in that sample's proof are its own, not ours (see proof_losses).
PROOF_SAMPLES = [
    "thai",
    "combining-acute",
    "devanagari",
    "bengali",
    "tamil",
    "hebrew-points",
    "arabic-marks",
    "rtl-digits",
    "xml-rtl",
    "cjk-40000",
    "hebrew",
    "arabic",
    "devanagari-words",
    "bengali-words",
    "tamil-words",
    "thai-words",
]


def proof_text(name):
    """What a sample's proof holds: the sample's text, and of the 40,000 ideographs the page from U+5800 on."""
    if name == "cjk-40000":
        return "\n".join(line for line in cjk_lines().split("\n") if "\u5800" <= line[0] < "\u5850")
    return SAMPLES[name][0]


# Samples printed with the options that add page furniture and colour: (options, what is printed). The text
# must come back as for the others, once and in order; a reader that does not leave out the furniture marked
# as artifacts (the header's name, time and "Page N of M", the line numbers) may give that back as well, and
# is named. The sources are dated FURNITURE_TIME, shown in UTC.
FURNITURE_TIME = 1767323040  # 2026-01-02 03:04 UTC


def furnished_lines():
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<order id="A-17" xmlns:x="urn:example">']
    lines.append("  <!-- a comment with Größe and 中文 -->")
    lines.append("  <note>" + " ".join("word%d" % i for i in range(60)) + "</note>")
    for i in range(90):
        lines.append('  <item n="%d" x:kind="part">Teil &amp; piece %d <![CDATA[a<b]]></item>' % (i, i))
    lines.append("</order>")
    return "\n".join(lines)


def folded_sample():
    """An attachment of 4,096 base64 characters wrapped at 76 columns, and what --fold-base64=256 prints of it: the
    first and last 64 characters around a line that counts the characters left out."""
    run = base64.b64encode(bytes(range(256)) * 12).decode()
    wrapped = "\n".join(run[i : i + 76] for i in range(0, len(run), 76))
    printed = "<doc>\n<attachment>\n%s\n</attachment>\n</doc>" % wrapped
    shown = "<doc>\n<attachment>\n%s\n[\u2026 %s characters of base64 \u2026]\n%s\n</attachment>\n</doc>" % (
        run[:64],
        "{:,}".format(len(run) - 128),
        run[-64:],
    )
    return printed, shown


# name: (options, what is printed[, what must come back])
OPTION_SAMPLES = {
    "folded": (["--fold-base64=256"],) + folded_sample(),
    "pretty-coloured": (
        ["--xml=pretty,colour"],
        '<order id="7"><item sku="A1">Pen &amp; ink</item><item sku="B2"><name>Ink</name><qty>2</qty></item></order>',
        '<order id="7">\n  <item sku="A1">Pen &amp; ink</item>\n  <item sku="B2">\n    <name>Ink</name>\n'
        "    <qty>2</qty>\n  </item>\n</order>",
    ),
    "furnished": (["--header", "--line-numbers"], furnished_lines()),
    "coloured": (["--xml=colour"], furnished_lines()),
    "furnished-coloured-landscape": (
        ["--xml=colour", "--header", "--line-numbers", "--landscape", "--font-size=8"],
        furnished_lines(),
    ),
}

READERS = ["pdftotext", "mutool-1.21", "gs-txtwrite", "pdfminer", "pypdf", "pdfjs", "pdfium", "mupdf"]

# The two quirks excused, each for its readers only: lam-alef given back as alef-lam (the ligature's glyph order),
# and the direction marks poppler puts around right-to-left runs.
LAM_ALEF = re.compile("([\u0622\u0623\u0625\u0627])(\u0644)")
BIDI_MARKS = re.compile("[\u200e\u200f\u202a-\u202e\u2066-\u2069]")
CID = re.compile(r"\(cid:\d+\)")
# How Ghostscript's text device gives back a character beyond U+FFFF when the proof below shows it cannot: the high
# surrogate on its own, then a character that is not the low one.
GS_ASTRAL = re.compile("[\ud800-\udbff][\u0000-\uffff]?")
ASTRAL = re.compile("[\U00010000-\U0010ffff]")
# Readers that give characters beyond U+FFFF back wrong in any PDF, whoever wrote it (see proof_losses).
ASTRAL_BROKEN = set()
# Readers whose text is compared without the characters beyond U+FFFF when the proof shows that they lose them.
ASTRAL_PROOF = "astral"


def astral_proof_pdf():
    """A one-page PDF, written here by hand and not by the program under test, whose only character is
    U+2000B, given by a Type 3 font's ToUnicode map as the UTF-16 pair D840 DC0B."""
    cmap = (b"/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CMapName /Proof def "
            b"1 begincodespacerange <00> <FF> endcodespacerange 1 beginbfchar <01> <D840DC0B> endbfchar "
            b"endcmap CMapName currentdict /CMap defineresource pop end end")
    glyph = b"1000 0 0 0 750 750 d1 0 0 750 750 re f"
    content = b"BT /F1 24 Tf 72 700 Td <01> Tj ET"
    stream = lambda data: b"<< /Length %d >>\nstream\n" % len(data) + data + b"\nendstream"
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        stream(content),
        b"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 750 750] /FontMatrix [0.001 0 0 0.001 0 0] "
        b"/CharProcs << /g1 6 0 R >> /Encoding << /Type /Encoding /Differences [1 /g1] >> "
        b"/FirstChar 1 /LastChar 1 /Widths [1000] /ToUnicode 7 0 R /Resources << >> >>",
        stream(glyph),
        stream(cmap),
    ]
    out = bytearray(b"%PDF-1.7\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return bytes(out)


def surrogate_or_replace(error):
    """Decoding error handler: a surrogate written as UTF-8 (ED A0..BF xx) is kept, so that a reader that writes
    one can be told apart; any other bad byte becomes U+FFFD."""
    data = error.object[error.start : error.start + 3]
    if len(data) == 3 and data[0] == 0xED and 0xA0 <= data[1] <= 0xBF and 0x80 <= data[2] <= 0xBF:
        return chr(((data[1] & 0x3F) << 6 | (data[2] & 0x3F)) | 0xD000), error.start + 3
    return "\ufffd", error.start + 1


codecs.register_error("surrogate_or_replace", surrogate_or_replace)


def write_proofs(proof_dir):
    """The proofs' PDFs in proof_dir, to be read with the samples: the one written by hand here and the others'."""
    os.makedirs(proof_dir, exist_ok=True)
    pdfs = [os.path.join(proof_dir, ASTRAL_PROOF + ".pdf")]
    with open(pdfs[0], "wb") as f:
        f.write(astral_proof_pdf())
    for name in PROOF_SAMPLES:
        pdfs.append(os.path.join(proof_dir, name + ".pdf"))
        shutil.copyfile(os.path.join(HERE, "proofs", name + ".pdf"), pdfs[-1])
    return pdfs


def proof_losses(proof_dir):
    """What each reader loses in the proofs: {(sample, reader): (characters lost, doubled, words lost)} as
    multisets. A reader that loses U+2000B in the proof written by hand (Ghostscript 10.0's text device writes
    its UTF-16 pair as a lone surrogate and U+400B) is put in ASTRAL_BROKEN first, so that the proofs by
    another writer are compared as the samples are."""
    for reader in READERS:
        got = read_text(os.path.join(proof_dir, "%s.%s.txt" % (ASTRAL_PROOF, reader)))
        if got.strip() != "\U0002000B":
            ASTRAL_BROKEN.add(reader)
    shown = {}
    for name in PROOF_SAMPLES:
        for reader in READERS:
            got = read_text(os.path.join(proof_dir, "%s.%s.txt" % (name, reader)))
            shown[(name, reader)] = losses(reader, proof_text(name), got)
    return shown


def describe(lost, doubled, words):
    parts = []
    for what, counter in (("lost", lost), ("doubled", doubled)):
        if counter:
            chars = " ".join("U+%04X" % ord(c) + ("x%d" % n if n > 1 else "") for c, n in sorted(counter.items()) if len(c) == 1)
            parts.append("%d characters %s (%s)" % (sum(counter.values()), what, chars))
    if words:
        parts.append("%d words lost (%s)" % (sum(words.values()), " ".join(sorted(words.elements()))))
    return "; ".join(parts)


def read_text(path):
    return open(path, encoding="utf-8", errors="surrogate_or_replace").read() if os.path.exists(path) else ""


def excused(reader, text):
    if reader == "pdftotext":
        text = BIDI_MARKS.sub("", text)
    if reader in ASTRAL_BROKEN:
        text = ASTRAL.sub("", GS_ASTRAL.sub("", text))
    return text


def lam_alef_form(word, reader):
    return LAM_ALEF.sub(r"\2\1", word) if reader in ("pdftotext", "pdfjs") else word


def white_space(c):
    # Python takes the separators U+001C to U+001F for white space too; a reader that gives back a glyph's code as
    # one of those has doubled a character all the same.
    return c.isspace() and not "\x1c" <= c <= "\x1f"


def losses(reader, expected, got):
    """(characters lost, characters doubled, words lost) of a reader's text against the expected, as multisets."""
    got = excused(reader, got)
    if reader in ASTRAL_BROKEN:
        expected = ASTRAL.sub("", expected)
    cids = collections.Counter(CID.findall(got))
    got = CID.sub(" ", got)
    want_chars = collections.Counter(c for c in expected if not white_space(c))
    got_chars = collections.Counter(c for c in got if not white_space(c))
    want_words = collections.Counter(lam_alef_form(w, reader) for w in expected.split())
    got_words = collections.Counter(lam_alef_form(w, reader) for w in got.split())
    return want_chars - got_chars, (got_chars - want_chars) + cids, want_words - got_words


def compare(reader, expected, got, proof=None):
    """(characters lost, characters doubled, words lost) of a reader's text against the expected, and what of
    that the proof's losses in the same reader excuse: the same characters and words, as many times as there."""
    found = losses(reader, expected, got)
    if proof is None:
        return tuple(sum(c.values()) for c in found), None
    excuse = tuple(ours & theirs for ours, theirs in zip(found, proof))
    return tuple(sum((ours - mine).values()) for ours, mine in zip(found, excuse)), excuse


def in_order(reader, expected, got):
    """Whether the expected words come back in their order, other words (the furniture) allowed in between."""
    got_words = [lam_alef_form(w, reader) for w in excused(reader, got).split()]
    position = 0
    for word in (lam_alef_form(w, reader) for w in expected.split()):
        try:
            position = got_words.index(word, position) + 1
        except ValueError:
            return False
    return True


def furniture_text(name, printed, options, pages):
    """The text of a sample's header and line numbers, for the readers that give it back."""
    parts = []
    if "--header" in options:
        for page in range(1, pages + 1):
            parts.append("%s.xml %s Page %d of %d" % (name, "2026-01-02 03:04", page, pages))
    if "--line-numbers" in options:
        parts.extend(str(n) for n in range(1, printed.count("\n") + 2))
    return " ".join(parts)


def offered_options(convert):
    result = run([convert, "--help"])
    return set(re.findall(r"--[a-z0-9-]+", result.stdout.decode(errors="replace")))


def run(arguments, **kwargs):
    return subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300, **kwargs)


def install_npm(npm_dir):
    os.makedirs(npm_dir, exist_ok=True)
    installed = os.path.join(npm_dir, "package-lock.json")
    wanted = os.path.join(HERE, "package-lock.json")
    if os.path.exists(os.path.join(npm_dir, "node_modules")) and os.path.exists(installed):
        if filecmp.cmp(installed, wanted, shallow=False):
            return
    for name in ("package.json", "package-lock.json"):
        shutil.copyfile(os.path.join(HERE, name), os.path.join(npm_dir, name))
    result = run(["npm", "ci", "--no-audit", "--no-fund", "--ignore-scripts"], cwd=npm_dir)
    if result.returncode != 0:
        sys.exit("npm ci failed in %s:\n%s" % (npm_dir, result.stderr.decode(errors="replace")))


def read_tasks(pdfs, out_dir, npm_dir):
    """The commands that take text out, each writing <out_dir>/<name>.<reader>.txt."""
    tasks = []
    for pdf in pdfs:
        name = os.path.splitext(os.path.basename(pdf))[0]
        out = lambda reader: os.path.join(out_dir, "%s.%s.txt" % (name, reader))
        tasks.append((["pdftotext", "-enc", "UTF-8", pdf, out("pdftotext")], None))
        tasks.append((["mutool", "draw", "-q", "-F", "txt", "-o", out("mutool-1.21"), pdf], None))
        tasks.append(
            (["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=txtwrite", "-sOutputFile=" + out("gs-txtwrite"), pdf], None)
        )
        tasks.append((["pdf2txt", "-o", out("pdfminer"), pdf], None))
    tasks.append((["/usr/bin/python3", os.path.join(HERE, "pypdf-text.py"), out_dir] + pdfs, None))
    for reader in ("pdfjs", "pdfium", "mupdf"):
        tasks.append((["node", os.path.join(HERE, "read-pdfs.mjs"), reader, out_dir] + pdfs, npm_dir))
    # The longest first, so that two cores stay busy to the end.
    tasks.sort(key=lambda task: ("cjk" not in " ".join(task[0]), task[0][0] != "node"))
    return tasks


def known_losses():
    # sample, reader, characters lost, characters doubled, words lost
    known = {}
    with open(os.path.join(HERE, "known-losses.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                name, reader, lost, doubled, words = line.split()
                known[(name, reader)] = (int(lost), int(doubled), int(words))
    return known


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--convert", required=True)
    parser.add_argument("--npm", required=True)
    parser.add_argument("--table", action="store_true")
    parser.add_argument("--keep")
    parser.add_argument("--only", help="comma-separated sample names")
    parser.add_argument("--merge", action="store_true", help="read the samples from one merged PDF")
    args = parser.parse_args()
    install_npm(args.npm)

    work = args.keep or tempfile.mkdtemp(prefix="papyrant-readers-")
    os.makedirs(work, exist_ok=True)
    samples = {k: v for k, v in SAMPLES.items() if not args.only or k in args.only.split(",")}
    offered = offered_options(args.convert)
    options_of = {}
    for name, (options, printed, *shown) in OPTION_SAMPLES.items():
        if args.merge or (args.only and name not in args.only.split(",")):
            continue
        missing = [o for o in options if o.split("=")[0] not in offered]
        if missing:
            print("%s: left out, the converter does not offer %s yet" % (name, " ".join(missing)))
            continue
        samples[name] = (printed, shown[0] if shown else None)
        options_of[name] = options
    problems = []
    pdfs = []
    sources = []
    for name, (printed, _) in samples.items():
        source = os.path.join(work, name + ".xml")
        with open(source, "w", encoding="utf-8") as f:
            f.write(printed + "\n")
        os.utime(source, (FURNITURE_TIME, FURNITURE_TIME))
        sources.append(source)
    known = known_losses()
    proved = [name for name in samples if name in PROOF_SAMPLES]
    if args.merge:
        # One PDF of all the samples, in their order, read as one text: what each reader may lose is what it may
        # lose on the samples one by one, all together.
        # A "merged" row of known-losses.tsv stands for a reader that reads the merged PDF otherwise.
        merged = {}
        for reader in READERS:
            summed = tuple(sum(known.get((name, reader), (0, 0, 0))[i] for name in samples) for i in range(3))
            merged[("merged", reader)] = known.get(("merged", reader), summed)
        known = merged
        expected = "\n".join(e if e is not None else p for p, e in samples.values())
        samples = {"merged": ("\n".join(p for p, _ in samples.values()), expected)}
        result = run([args.convert, "-q", "--merge", os.path.join(work, "merged.pdf")] + sources)
        if result.returncode != 0:
            problems.append("merged: not converted (exit %d) %s" % (result.returncode, result.stderr.decode(errors="replace").strip()))
        sources = [os.path.join(work, "merged.pdf")] if result.returncode == 0 else []
    for source in sources:
        name = os.path.splitext(os.path.basename(source))[0]
        pdf = os.path.join(work, name + ".pdf")
        if not args.merge:
            # One run per sample: a sample that stops the converter must not take the others with it.
            result = run([args.convert, "-q"] + options_of.get(name, []) + ["-o", work, source], env=dict(os.environ, TZ="UTC0"))
            if result.returncode != 0 or not os.path.exists(pdf):
                problems.append("%s: not converted (exit %d) %s" % (name, result.returncode, result.stderr.decode(errors="replace").strip()))
                continue
        pdfs.append(pdf)
        # MuPDF's repair pass complains about anything in the file it finds odd.
        clean = run(["mutool", "clean", "-s", pdf, os.path.join(work, name + ".clean.pdf")])
        if clean.returncode != 0 or clean.stderr.strip():
            problems.append("%s: mutool clean -s: %s" % (name, clean.stderr.decode(errors="replace").strip()[:300]))

    proof_dir = os.path.join(work, "proofs")
    tasks = read_tasks(pdfs, work, args.npm) + read_tasks(write_proofs(proof_dir), proof_dir, args.npm)
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        futures = [pool.submit(run, command, cwd=cwd) for command, cwd in tasks]
        for future in futures:
            future.result()

    shown = proof_losses(proof_dir)
    if args.merge:
        # The merged text's losses are excused by what the proofs of its samples show, all together.
        for reader in READERS:
            shown[("merged", reader)] = tuple(
                sum((shown[(name, reader)][i] for name in proved), collections.Counter()) for i in range(3)
            )
    excuses = []
    mended = []
    furniture_readers = collections.defaultdict(list)
    totals = {reader: [0, 0, 0] for reader in READERS}
    rows = []
    for pdf in pdfs:
        name = os.path.splitext(os.path.basename(pdf))[0]
        printed, expected = samples[name]
        expected = expected if expected is not None else printed
        cells = []
        for reader in READERS:
            got = read_text(os.path.join(work, "%s.%s.txt" % (name, reader)))
            (lost, doubled, words), excuse = compare(reader, expected, got, shown.get((name, reader)))
            if excuse and any(excuse):
                excuses.append((name, reader, excuse))
            if name in options_of:
                if not in_order(reader, expected, got):
                    problems.append("%s in %s: the text does not come back in its order" % (name, reader))
                pages = int(re.search(r"Pages:\s+(\d+)", run(["pdfinfo", pdf]).stdout.decode()).group(1))
                furniture = furniture_text(name, printed, options_of[name], pages)
                # Lost and words lost against the text alone; doubled against text and furniture, which a reader
                # may give back or not.
                doubled_with_furniture = compare(reader, expected + "\n" + furniture, got)[0][1]
                if doubled_with_furniture < doubled:
                    furniture_readers[name].append(reader)
                    doubled = doubled_with_furniture
            for i, value in enumerate((lost, doubled, words)):
                totals[reader][i] += value
            cells.append((lost, doubled, words))
            allowed = known.get((name, reader), (0, 0, 0))
            if (lost, doubled, words) != allowed and all(a <= b for a, b in zip((lost, doubled, words), allowed)):
                mended.append("%s in %s: now %d/%d/%d, known-losses.tsv allows %d/%d/%d" % ((name, reader, lost, doubled, words) + allowed))
            if any(a > b for a, b in zip((lost, doubled, words), allowed)):
                gave = " ".join(got.split())
                problems.append(
                    "%s in %s: %d characters lost, %d doubled, %d words lost; gave back: %s"
                    % (name, reader, lost, doubled, words, gave[:160])
                )
        rows.append((name, cells))

    if args.table:
        print("%-18s" % "sample" + "".join("%16s" % r for r in READERS))
        for name, cells in rows:
            print("%-18s" % name + "".join("%16s" % ("%d/%d/%d" % c if any(c) else "-") for c in cells))
        print("%-18s" % "total" + "".join("%16s" % ("%d/%d/%d" % tuple(totals[r])) for r in READERS))
        print("(characters lost / characters doubled / words lost)")
        for reader in sorted(ASTRAL_BROKEN):
            print("%s loses characters beyond U+FFFF in a PDF written by hand too: not counted for it" % reader)
        for name, reader, (lost, doubled, words) in excuses:
            print(
                "excused in %s on %s, as %s's proof (LibreOffice) loses them too: %s"
                % (reader, name, name if name != "merged" else "each sample", describe(lost, doubled, words))
            )
    for name, readers in sorted(furniture_readers.items()):
        print("%s: header and line numbers given back by %s" % (name, ", ".join(readers)))
    for note in mended:
        print("better than known (tighten known-losses.tsv): " + note)
    for problem in problems:
        print(problem)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0 if args.table or not problems else 1


if __name__ == "__main__":
    sys.exit(main())
