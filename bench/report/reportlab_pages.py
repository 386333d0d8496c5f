"""Draws the pages of a display-list dump with ReportLab, for comparison with our renderer.

Dump lines: "P w h" starts a page (thousandths of an inch); "T x y height bold italic text"
(baseline, UTF-8 text); "L x1 y1 x2 y2 width"; "B x y w h pen". Run with Debian's python3.
Prints "reportlab: N pages in S s = R pages/s".
"""
import sys
import time

from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

LIB = "/usr/share/fonts/truetype/liberation/"
FACES = {(False, False): "LS", (True, False): "LSB", (False, True): "LSI", (True, True): "LSBI"}
for (b, i), name in FACES.items():
    f = "LiberationSans-" + {(False, False): "Regular", (True, False): "Bold",
                             (False, True): "Italic", (True, True): "BoldItalic"}[(b, i)] + ".ttf"
    pdfmetrics.registerFont(TTFont(name, LIB + f))


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
    print("reportlab: %d pages in %.2f s = %.0f pages/s" % (len(pages), secs, len(pages) / secs))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
