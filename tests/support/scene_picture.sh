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

