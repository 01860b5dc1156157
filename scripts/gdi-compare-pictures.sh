#!/usr/bin/env bash
# Paints scene pictures with GDI from our own drawing calls and compares them with ours, pixel for
# pixel. Every seed's calls go to the GDI reference tool (gdi_draw.exe, under Wine) as one script,
# all seeds in a single Wine run. Needs Wine and python3; the tests and CI do not run it.
#
# usage: scripts/gdi-compare-pictures.sh [options] SEED|A-B ...
#   --render PATH   vistrel-render to use (default: the first one built under build/, trying
#                   build/test (scripts/test.sh's plain build), then build/dev, then the others)
#   --oracle PATH   the reference tool (default ../shared/gdi-oracle/gdi_draw.exe beside the
#                   project's folder)
#   --pin FILE      also write 'seed digest' for every seed, the digest taken from GDI's picture
#                   (64-bit FNV-1a of its colour numbers row by row, as vistrel-render --digest)
#
# Prints one line a seed, identical or different with the first differing pixel, then the total;
# exits 1 when a picture differs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

render=""
oracle="$root/../shared/gdi-oracle/gdi_draw.exe"
pin=""
seeds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --render) render="$2"; shift 2 ;;
    --oracle) oracle="$2"; shift 2 ;;
    --pin) pin="$2"; shift 2 ;;
    -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "gdi-compare-pictures: unknown option '$1'" >&2; exit 2 ;;
    *-*)
      if ! [[ "$1" =~ ^([0-9]+)-([0-9]+)$ ]] || [ "${BASH_REMATCH[1]}" -gt "${BASH_REMATCH[2]}" ]; then
        echo "gdi-compare-pictures: '$1' is not a seed range A-B with A <= B" >&2; exit 2
      fi
      seeds+=($(seq "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}")); shift ;;
    *)
      if ! [[ "$1" =~ ^[0-9]+$ ]]; then
        echo "gdi-compare-pictures: '$1' is not a seed" >&2; exit 2
      fi
      seeds+=("$1"); shift ;;
  esac
done
[ ${#seeds[@]} -gt 0 ] || { echo "gdi-compare-pictures: no seeds given" >&2; exit 2; }
if [ -z "$render" ]; then
  for candidate in "$root"/build/{test,dev,*}/tools/vistrel-render/vistrel-render; do
    if [ -x "$candidate" ]; then
      render="$candidate"
      break
    fi
  done
  [ -n "$render" ] || {
    echo "gdi-compare-pictures: no vistrel-render built under $root/build; build one or give --render" >&2
    exit 2
  }
fi
[ -x "$render" ] || { echo "gdi-compare-pictures: no vistrel-render at $render" >&2; exit 2; }
[ -f "$oracle" ] || { echo "gdi-compare-pictures: no reference tool at $oracle" >&2; exit 2; }
command -v wine > /dev/null || { echo "gdi-compare-pictures: wine is not installed" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Each script starts with its own `size`, which gives GDI a fresh surface with the stock pen and
# brush; the script selects its own pen and brush before it first draws with them.
for s in "${seeds[@]}"; do
  "$render" --seed "$s" --gdi-script "$work/$s.txt" -o "$work/$s.raw"
  cat "$work/$s.txt" >> "$work/all.txt"
done
printf '%s\n' "${seeds[@]}" > "$work/seeds"

WINEDEBUG=-all wine "$oracle" < "$work/all.txt" > "$work/dumps" 2> "$work/oracle-errors" || {
  echo "gdi-compare-pictures: the reference tool failed:" >&2
  cat "$work/oracle-errors" >&2
  exit 2
}

python3 - "$work" "$pin" <<'PYTHON'
import sys

work, pin = sys.argv[1], sys.argv[2]
seeds = [int(s) for s in open(f"{work}/seeds").read().split()]
# The reference tool reads back the colour of a number outside 0..15 as '?'; we store it as 16.
value = {c: i for i, c in enumerate("0123456789abcdef")}
value["?"] = 16


def fnv1a64(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def sky_colour(seed):
    state = seed

    def below(n):
        nonlocal state
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
        return ((state >> 16) & 0x7FFF) % n

    return 1 if below(3) == 2 else below(16)


def first_use_problem(script):
    # A draw before the picture's own pen or brush would paint with the stock ones.
    pen = brush = False
    for line in script:
        word = line.split(" ", 1)[0]
        pen |= word == "pen"
        brush |= word == "brush"
        if (word in ("line", "arc", "ellipse") and not pen) or \
           (word in ("fill", "ellipse") and not brush):
            return line
    return None


dumps = open(f"{work}/dumps").read().split("\n")
at = 0
identical = 0
pinned = []
for seed in seeds:
    script = open(f"{work}/{seed}.txt").read().split("\n")
    ours = open(f"{work}/{seed}.raw", "rb").read()
    width, height = (int(v) for v in script[0].split()[1:3])
    head = f"seed {seed} (sky {sky_colour(seed):2}):"
    if (problem := first_use_problem(script)) is not None:
        print(f"{head} the script draws with a stock pen or brush: {problem}")
    if at >= len(dumps) or dumps[at] != f"{width} {height}":
        print(f"{head} no picture from GDI")
        break
    rows = dumps[at + 1 : at + 1 + height]
    at += 1 + height
    try:
        gdi = bytes(value[c] for row in rows for c in row)
    except KeyError as e:
        print(f"{head} GDI's picture has the unknown colour {e}")
        continue
    if len(gdi) != width * height:
        print(f"{head} GDI's picture is cut short")
        continue
    pinned.append(f"{seed} {fnv1a64(gdi):016x}")
    differing = [i for i in range(len(gdi)) if gdi[i] != ours[i]]
    if not differing:
        identical += 1
        print(f"{head} identical")
        continue
    x, y = differing[0] % width, differing[0] // width
    print(f"{head} different in {len(differing)} pixels, first at ({x}, {y}): "
          f"ours {ours[differing[0]]}, GDI {gdi[differing[0]]}")

print(f"total: {identical} of {len(seeds)} pictures identical")
if pin:
    with open(pin, "w") as out:
        out.write("# Scene seed and the 64-bit FNV-1a of the colour numbers, row by row, of the\n"
                  "# 570 x 190 picture that GDI (Wine 8.0) paints from our drawing calls for it.\n"
                  "# Written by scripts/gdi-compare-pictures.sh --pin.\n")
        out.write("\n".join(pinned) + "\n")
sys.exit(0 if identical == len(seeds) else 1)
PYTHON
