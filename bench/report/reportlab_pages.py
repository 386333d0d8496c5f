"""Draws pages with ReportLab from a display-list dump of our page images (written by the
report and product-list benchmarks), so both draw exactly the same texts, lines and boxes.

Dump lines: "P w h" starts a page (thousandths of an inch); "T x y height bold italic text"
(baseline, UTF-8 text); "L x1 y1 x2 y2 width"; "B x y w h pen".
Usage: python3 reportlab_pages.py DUMP OUT.pdf   (Debian's /usr/bin/python3, python3-reportlab)
Prints the drawing time (reading the dump excluded) and the process's peak memory.
"""
import resource
import sys
import time

from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

# The faces our renderer draws Arial with.
LIB = "/usr/share/fonts/truetype/liberation/"
FACES = {}
for bold in (False, True):
    for italic in (False, True):
        style = {(False, False): "Regular", (True, False): "Bold",
                 (False, True): "Italic", (True, True): "BoldItalic"}[(bold, italic)]
        FACES[(bold, italic)] = "LiberationSans-" + style
        pdfmetrics.registerFont(TTFont(FACES[(bold, italic)], LIB + FACES[(bold, italic)] + ".ttf"))


def main(dump, out):
    pages = []
    with open(dump, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split(" ", 6)
            if parts[0] == "P":
                pages.append((int(parts[1]), int(parts[2]), []))
            else:
                pages[-1][2].append(parts)
    start = time.time()
    c = canvas.Canvas(out)
    k = 72.0 / 1000.0
    for w, h, items in pages:
        c.setPageSize((w * k, h * k))
        for it in items:
            if it[0] == "T":
                x, y, size, bold, italic = (int(v) for v in it[1:6])
                c.setFont(FACES[(bold == 1, italic == 1)], size * k)
                c.drawString(x * k, (h - y) * k, it[6] if len(it) > 6 else "")
            elif it[0] == "L":
                x1, y1, x2, y2, lw = (int(v) for v in it[1:6])
                c.setLineWidth(lw * k)
                c.line(x1 * k, (h - y1) * k, x2 * k, (h - y2) * k)
            elif it[0] == "B":
                x, y, bw, bh, lw = (int(v) for v in it[1:6])
                c.setLineWidth(lw * k)
                c.rect(x * k, (h - y - bh) * k, bw * k, bh * k)
        c.showPage()
    c.save()
    secs = time.time() - start
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0
    print("reportlab: %d pages drawn in %.2f s = %.0f pages/s, peak %.1f MB"
          % (len(pages), secs, len(pages) / secs, peak))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
