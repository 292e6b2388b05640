# Checks rectangles of a picture against what must be drawn there. The first file lists the
# checks, one a line: kind|x|y|width|height|description, where kind is
#   dark     every pixel dark (a dot is drawn there)
#   notdark  some pixel light (no dot covers the whole rectangle)
#   light    every pixel light (nothing is drawn there)
# The second file is the picture as a plain greyscale PGM (P2). Prints one line per check and
# exits with 1 when any failed.
BEGIN { threshold = 128 }   # halfway between the black dots and the white plot

FNR == NR {
    split($0, field, "|")
    n = ++checks
    kind[n] = field[1]; left[n] = field[2]; top[n] = field[3]
    width[n] = field[4]; height[n] = field[5]; what[n] = field[6]
    next
}

{
    sub(/#.*/, "")
    for (i = 1; i <= NF; ++i) {
        ++token
        if (token == 1) { if ($i != "P2") { notPgm = 1; exit } }
        else if (token == 2) columns = $i
        else if (token == 3) rows = $i
        else if (token == 4) maxval = $i
        else grey[token - 5] = $i * 255 / maxval
    }
}

END {
    if (notPgm || token == 0) {
        print "  FAIL the picture is no plain PGM"
        exit 2
    }
    failed = 0
    for (n = 1; n <= checks; ++n) {
        dark = 0
        for (y = top[n]; y < top[n] + height[n]; ++y)
            for (x = left[n]; x < left[n] + width[n]; ++x)
                if (x >= 0 && y >= 0 && x < columns && y < rows && grey[y * columns + x] < threshold)
                    ++dark
        all = width[n] * height[n]
        ok = (kind[n] == "dark" && dark == all) || (kind[n] == "light" && dark == 0) ||
             (kind[n] == "notdark" && dark < all)
        if (!ok)
            failed = 1
        printf "  %-4s %s (%d of %d pixels dark in %dx%d at %d,%d)\n", ok ? "ok" : "FAIL", what[n],
               dark, all, width[n], height[n], left[n], top[n]
    }
    exit failed
}
