#!/usr/bin/env bash
# Checks that a one-line text box in a screenshot shows its text whole: that there is text in the box, and that
# most of its ink lies in the middle half of the box's rows. A face taller than the box makes the line edit push its
# line up past the top, and all that is left is a few pixels of the letters' feet along the top edge, or nothing.
# Usage: tests/windows/check-box-text.sh PICTURE LEFT TOP WIDTH HEIGHT   (the box's outer rectangle, in pixels)
# Prints the box's dark pixels per row; exits 1 when the text is cut off or missing.
set -euo pipefail
picture=$1 left=$2 top=$3 width=$4 height=$5

# Inside the border and the rounded corners, across the full height. One grey value per pixel, as plain numbers.
pixels=$(convert "$picture" -crop "$((width - 8))x${height}+$((left + 4))+${top}" +repage \
    -colorspace Gray -depth 8 -compress none pgm:-) || {
    echo "cannot read the box from $picture" >&2
    exit 1
}

# Dark means below half the grey range: the text, not the border, the background or the edges' smoothing.
awk -v height="$height" '
    { for (i = 1; i <= NF; i++) token[n++] = $i }
    END {
        if (token[0] != "P2") { print "not a plain grey picture" > "/dev/stderr"; exit 1 }
        w = token[1]; h = token[2]; max = token[3]
        if (h != height) { print "the picture holds only " h " of the box'"'"'s " height " rows" > "/dev/stderr"; exit 1 }
        for (p = 0; p < w * h; p++)
            if (token[4 + p] < max / 2) dark[int(p / w)]++
        # The middle half of the rows: from a quarter of the height to three quarters.
        first = int(h / 4); last = h - 1 - int(h / 4)
        for (y = 0; y < h; y++) {
            total += dark[y]
            if (y >= first && y <= last) middle += dark[y]
            printf "%s%d", (y ? " " : "dark pixels per row: "), dark[y]
        }
        printf "\n%d of %d in rows %d-%d\n", middle, total, first, last
        # Enough ink for a few letters, and most of it in the middle, where a line of text centred in the box has
        # its body (capitals and lower case alike).
        if (middle < 2 * h) { print "the box shows no text in its middle rows" > "/dev/stderr"; exit 1 }
        if (3 * middle < 2 * total) { print "the text in the box is not in its middle rows" > "/dev/stderr"; exit 1 }
    }' <<<"$pixels"
