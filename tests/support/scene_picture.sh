# Sourced by the tests that look at the scene on screen; needs fail().
# Shares of the calendar's paper and the clock's plate in each quarter of a
# picture: "tl tr bl br" for paper, then the same for plate, in percent.
quarters() {
  convert "$1" -depth 8 ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(b"\n", 3)
w, h = map(int, parts[1].split()); px = parts[3]
paper = [0] * 4; plate = [0] * 4; total = [0] * 4
for y in range(0, h, 2):
    for x in range(0, w, 2):
        i = 3 * (y * w + x); r, g, b = px[i], px[i + 1], px[i + 2]
        q = (y >= h // 2) * 2 + (x >= w // 2)
        total[q] += 1
        paper[q] += r > 200 and g > 185 and b > 160 and r >= b
        plate[q] += r < 45 and g < 70 and b < 100 and b > r
print(" ".join(str(100 * a // t) for a, t in zip(paper + plate, total + total)))
'
}
# The scene fills the window: the calendar's paper in its top-right quarter
# and little of it elsewhere at the bottom; the clock's plate at the bottom
# right and not at the bottom left.
check_picture() {  # label png
  local q
  q=($(quarters "$2"))
  [ "${#q[@]}" -eq 8 ] || { fail "$1: cannot read the picture"; return; }
  [ "${q[1]}" -ge 8 ] || fail "$1: no calendar in the top-right quarter (paper ${q[*]:0:4})"
  [ "${q[5]}" -le 2 ] && [ "${q[7]}" -ge 3 ] || fail "$1: no clock at the bottom right (plate ${q[*]:4:4})"
  [ "${q[6]}" -le 1 ] || fail "$1: the clock reaches the bottom left (plate ${q[*]:4:4})"
}

# Percent of black pixels (all three channels below 10), two decimals.
black_share() {  # png
  convert "$1" -depth 8 ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(b"\n", 3)
w, h = map(int, parts[1].split()); px = parts[3]
black = sum(1 for i in range(0, 3 * w * h, 3) if px[i] < 10 and px[i + 1] < 10 and px[i + 2] < 10)
print("%.2f" % (100 * black / (w * h)))
'
}
# The box of the calendar's paper in the top half: the rows and columns
# holding at least 30 pixels of its cream (stray cream pixels of flowers
# and haze do not count): "left top right bottom", or nothing.
calendar_box() {  # png
  convert "$1" -depth 8 ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(b"\n", 3)
w, h = map(int, parts[1].split()); px = parts[3]
rows = [0] * (h // 2); cols = [0] * w
for y in range(h // 2):
    for x in range(w):
        i = 3 * (y * w + x); r, g, b = px[i], px[i + 1], px[i + 2]
        if r > 215 and 12 <= r - b <= 40 and 8 <= g - b <= 30:
            rows[y] += 1; cols[x] += 1
ys = [y for y, n in enumerate(rows) if n >= 30]; xs = [x for x, n in enumerate(cols) if n >= 30]
if xs and ys: print(min(xs), min(ys), max(xs), max(ys))
'
}
