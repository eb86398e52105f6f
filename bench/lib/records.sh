# Sourced by the benchmarks: generated XML inputs, the same on every run.

# Deterministic XML of about $1 bytes into $2: records with words and numbers. $3 says what else they hold:
# "cjk" (the default) an accented line every 16 records and one with CJK every 64; "accents" the accented lines
# only; "ascii" nothing else.
generate_records() {
    awk -v size="$1" -v kind="${3:-cjk}" 'BEGIN {
        split("alpha beta gamma delta epsilon zeta theta kappa lambda sigma omega record value item name", w, " ")
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; print "<records>"
        n = 60
        for (i = 0; n < size; i++) {
            text = w[i % 15 + 1] " " w[(i * 7) % 15 + 1] " " w[(i * 11) % 15 + 1]
            if (kind != "ascii" && i % 16 == 0) text = text " Größe café"
            if (kind == "cjk" && i % 64 == 0) text = text " 中文字符"
            line = sprintf("  <record id=\"%d\"><name>%s</name><value>%d</value></record>", i, text, (i * 7919) % 1000003)
            print line; n += length(line) + 1
        }
        print "</records>"
    }' > "$2"
}

# About 10 KB of records into $1 whose text cycles through every script the print-outs have faces for, and
# emoji.
generate_every_script() {
    awk 'BEGIN {
        n = split("Größe café déjà|Καλημέρα κόσμε|Съешь же ещё|שלום עולם|مرحبا بالعالم|नमस्ते दुनिया|আমি বাংলায়|வணக்கம் உலகம்|สวัสดีชาวโลก|中文字符测试|日本語のテキスト|서울 안녕하세요|😀 👍 🎉 ☃", t, "|")
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; print "<records>"
        for (i = 0; i < 150; i++) printf "  <record id=\"%d\"><text>%s</text></record>\n", i, t[i % n + 1]
        print "</records>"
    }' > "$1"
}
