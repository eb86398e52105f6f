#!/usr/bin/env bash
# Characters lost per script: a generated corpus of XML files in many scripts (UTF-8, some UTF-16), printed by
# padprint and by its peers (cups-filters' texttopdf, enscript | ps2pdf) in the same run, each PDF read back
# with pdftotext; a character counts as missing for every time it occurs in a file more often than in that
# file's PDF. Prints "fidelity.TOOL.SCRIPT: N missing of M".
set -euo pipefail
source "$(dirname "$0")/lib/build.sh"
texttopdf=/usr/lib/cups/filter/texttopdf

need=()
command -v enscript >/dev/null || need+=(enscript)
command -v ps2pdf >/dev/null || need+=(ghostscript)
[ -x "$texttopdf" ] || need+=(cups-filters)
command -v pdftotext >/dev/null || need+=(poppler-utils)
command -v python3 >/dev/null || need+=(python3)
install_packages "${need[@]}"
source "$(dirname "$0")/lib/padprint.sh"

python3 - "$work" "$bin" "$texttopdf" <<'PY'
import collections, os, random, subprocess, sys
work, bin_dir, texttopdf = sys.argv[1:4]
scripts = {
    "latin": "Größe café déjà vu naïve façade Ærø Ångström œuvre",
    "greek": "Καλημέρα κόσμε ἀρχή ψυχή",
    "cyrillic": "Съешь же ещё этих мягких французских булок",
    "hebrew": "שלום עולם כרטיס אחד לחוף",
    "arabic": "مرحبا بالعالم تذكرة واحدة إلى الساحل",
    "devanagari": "नमस्ते दुनिया किताब क्षत्रिय",
    "bengali": "আমি বাংলায় গান গাই",
    "tamil": "வணக்கம் உலகம்",
    "thai": "สวัสดีชาวโลก ภาษาไทย",
    "chinese": "中文字符测试 请给我一张去海边的车票 臺灣",
    "japanese": "日本語のテキスト カタカナ ひらがな 𩸽",
    "korean": "서울 안녕하세요 한국어",
    "emoji": "😀 👍 🎉 ☃ ❤ 🚆",
    "no-font": "𗀀𗀁𗀂",
}
rng = random.Random(12)
files = []
for n in range(40):
    lines = ['<?xml version="1.0" encoding="%s"?>' % ("UTF-16" if n % 5 == 4 else "UTF-8"), "<phrases>"]
    for _ in range(30):
        name = rng.choice(sorted(scripts))
        words = scripts[name].split()
        lines.append('  <phrase script="%s">%s</phrase>' % (name, " ".join(rng.choice(words) for _ in range(rng.randint(2, 8)))))
    lines.append("</phrases>")
    text = "\n".join(lines) + "\n"
    path = os.path.join(work, "doc%02d.xml" % n)
    with open(path, "wb") as f:
        f.write(text.encode("utf-16") if n % 5 == 4 else text.encode("utf-8"))
    files.append((path, text))

def script_of(ch):
    # ASCII is everywhere, markup included, and white space moves: only the scripts' own characters count.
    if ord(ch) < 0x80:
        return None
    for name, sample in scripts.items():
        if ch in sample:
            return name
    return None

def padprint(src, out):
    subprocess.run([os.path.join(bin_dir, "papyrant-platform"), "reg", "set", "HKCU", "Software\\Quillmark PDF Writer", "OutputFile", out], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([os.path.join(bin_dir, "papyrant-platform"), "reg", "set", "HKCU", "Software\\Quillmark PDF Writer", "BypassSaveAs", "1"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([os.path.join(bin_dir, "padprint"), "/p", src], check=True)
def texttopdf_run(src, out):
    with open(out, "wb") as f:
        subprocess.run([texttopdf, "1", "bench", "bench", "1", "", src], stdout=f, stderr=subprocess.DEVNULL)
def enscript_run(src, out):
    ps = subprocess.run(["enscript", "-q", "-B", "-p", "-", src], capture_output=True).stdout
    subprocess.run(["ps2pdf", "-", out], input=ps, stderr=subprocess.DEVNULL)

for tool, run in (("padprint", padprint), ("texttopdf", texttopdf_run), ("enscript", enscript_run)):
    missing = collections.Counter(); total = collections.Counter()
    for path, text in files:
        out = path + "." + tool + ".pdf"
        try:
            run(path, out)
            copied = subprocess.run(["pdftotext", "-enc", "UTF-8", out, "-"], capture_output=True).stdout.decode("utf-8", "replace")
        except Exception:
            copied = ""
        want = collections.Counter(ch for ch in text if script_of(ch))
        got = collections.Counter(copied)
        for ch, count in want.items():
            total[script_of(ch)] += count
            missing[script_of(ch)] += max(0, count - got[ch])
    for name in scripts:
        print("fidelity.%s.%s: %d missing of %d" % (tool, name, missing[name], total[name]))
PY
