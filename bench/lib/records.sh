# Sourced by the benchmarks: generated XML inputs, the same on every run.

# Deterministic XML of about $1 bytes: records with words and numbers, an accented line every 16 records and
# one with CJK every 64.
generate_records() {
    awk -v size="$1" 'BEGIN {
        split("alpha beta gamma delta epsilon zeta theta kappa lambda sigma omega record value item name", w, " ")
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; print "<records>"
        n = 60
        for (i = 0; n < size; i++) {
            text = w[i % 15 + 1] " " w[(i * 7) % 15 + 1] " " w[(i * 11) % 15 + 1]
            if (i % 16 == 0) text = text " Größe café"
            if (i % 64 == 0) text = text " 中文字符"
            line = sprintf("  <record id=\"%d\"><name>%s</name><value>%d</value></record>", i, text, (i * 7919) % 1000003)
            print line; n += length(line) + 1
        }
        print "</records>"
    }' > "$2"
}
