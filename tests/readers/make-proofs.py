# Writes proofs/<sample>.pdf: the text of each sample in readers_test.PROOF_SAMPLES, printed by another writer
# (LibreOffice, from plain text), one page each. The readers test reads these files with every reader, and what
# a reader loses in them as well as in ours is that reader's. LibreOffice is needed here only, not by the test:
#
#   /usr/bin/python3 make-proofs.py        (LibreOffice's soffice on PATH; Debian's libreoffice-writer-nogui)
import os
import re
import shutil
import subprocess
import sys
import tempfile

import readers_test


def main():
    out_dir = os.path.join(readers_test.HERE, "proofs")
    os.makedirs(out_dir, exist_ok=True)
    work = tempfile.mkdtemp(prefix="papyrant-proofs-")
    try:
        # A profile of its own, so that no user's settings (default fonts, say) change what is written.
        profile = "-env:UserInstallation=file://" + os.path.join(work, "profile")
        for name in readers_test.PROOF_SAMPLES:
            source = os.path.join(work, name + ".txt")
            with open(source, "w", encoding="utf-8") as f:
                f.write(readers_test.proof_text(name) + "\n")
            result = subprocess.run(
                ["soffice", profile, "--headless", "--infilter=Text (encoded):UTF8,LF,,,", "--convert-to", "pdf",
                 "--outdir", work, source],
                stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
            pdf = os.path.join(work, name + ".pdf")
            if result.returncode != 0 or not os.path.exists(pdf):
                sys.exit("%s: soffice failed: %s" % (name, result.stderr.decode(errors="replace")))
            pages = subprocess.run(["pdfinfo", pdf], stdout=subprocess.PIPE).stdout.decode()
            if not re.search(r"^Pages:\s+1$", pages, re.M):
                sys.exit("%s: the proof is not one page" % name)
            shutil.copyfile(pdf, os.path.join(out_dir, name + ".pdf"))
            print("proofs/%s.pdf" % name)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
