// Takes the text out of PDFs the way three readers do, one reader per run so that each loads once:
//   node read-pdfs.mjs READER OUTDIR PDF...
// writes OUTDIR/<pdf's base name>.<READER>.txt for each PDF. READER is pdfjs (what Firefox's reader gives
// when text is selected), pdfium (a page's getText(), what Chrome copies) or mupdf (the current release's
// structured text). Run with NODE_PATH unset: the modules are looked up from the working directory.
import { createRequire } from "node:module";
import { readFileSync, writeFileSync } from "node:fs";
import { basename, join } from "node:path";
import { pathToFileURL } from "node:url";

const [reader, outDir, ...pdfs] = process.argv.slice(2);
const require = createRequire(join(process.cwd(), "package.json"));
const load = async (name) => import(pathToFileURL(require.resolve(name)).href);

async function pdfjsText(data) {
    const pdfjs = await load("pdfjs-dist/legacy/build/pdf.mjs");
    const document = await pdfjs.getDocument({ data, verbosity: 0, useSystemFonts: false, isEvalSupported: false })
        .promise;
    let text = "";
    for (let n = 1; n <= document.numPages; ++n) {
        const page = await document.getPage(n);
        const content = await page.getTextContent();
        for (const item of content.items) {
            text += item.str ?? "";
            if (item.hasEOL)
                text += "\n";
        }
        text += "\n";
    }
    await document.destroy();
    return text;
}

let pdfium = null;
async function pdfiumText(data) {
    if (!pdfium) {
        const { PDFiumLibrary } = await load("@hyzyla/pdfium");
        pdfium = await PDFiumLibrary.init();
    }
    const document = await pdfium.loadDocument(data);
    let text = "";
    for (const page of document.pages())
        text += page.getText() + "\n";
    document.destroy();
    return text;
}

async function mupdfText(data) {
    const mupdf = await load("mupdf");
    const document = mupdf.Document.openDocument(data, "application/pdf");
    let text = "";
    for (let n = 0; n < document.countPages(); ++n) {
        const page = document.loadPage(n);
        text += page.toStructuredText("preserve-whitespace").asText() + "\n";
    }
    return text;
}

const readers = { pdfjs: pdfjsText, pdfium: pdfiumText, mupdf: mupdfText };
if (!readers[reader]) {
    console.error(`unknown reader ${reader}`);
    process.exit(2);
}
let failed = 0;
for (const pdf of pdfs) {
    const out = join(outDir, basename(pdf, ".pdf") + "." + reader + ".txt");
    try {
        writeFileSync(out, await readers[reader](new Uint8Array(readFileSync(pdf))));
    } catch (error) {
        console.error(`${reader}: ${pdf}: ${error.message ?? error}`);
        writeFileSync(out, "");
        failed = 1;
    }
}
process.exit(failed);
