#!/usr/bin/env bash
# Side-by-side timing of lumacut-render against the tools a user would pick
# instead: libvips (`vips`, writing its own fastest format, .v) and
# ImageMagick (`convert`), each job on the same files in one run.
# Prints whole-process medians and the ratio lumacut / peer (below 1.0:
# lumacut is faster), and each one's peak resident memory in MB (one run,
# /usr/bin/time).
#
#   bench/compare-peers.sh [-n RUNS] [-b BUILD_DIR] [-d DATA_DIR] [-p] [-H]
#
# -p only makes the test photos (bench_render_pipeline reads them too).
# -H adds the jobs on a 28000 x 21000 (588 MP) JPEG, the 12 MP photo
# magnified 7 times by vips, timed once each (it is made once in DATA_DIR).
# Uses hyperfine when installed, otherwise a plain loop. Peers that are not
# installed are left out. The test photos (24 MP and 12 MP, JPEG quality 90)
# are made once in DATA_DIR.
set -euo pipefail

runs=7
build=build
data=
photos_only=
huge=
while getopts "n:b:d:pHh" opt; do
    case $opt in
    n) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    d) data=$OPTARG ;;
    p) photos_only=1 ;;
    H) huge=1 ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
    esac
done
data=${data:-$build/bench-data}
render=$build/bin/lumacut-render
[[ -n $photos_only || -x $render ]] || { echo "no $render: build first" >&2; exit 1; }

# The real ImageMagick, not a stand-in that may sit earlier on PATH.
convert_bin=
for c in /usr/bin/convert magick convert; do
    if command -v "$c" >/dev/null 2>&1 && "$c" -version 2>/dev/null | grep -q ImageMagick &&
        ! grep -qs "Stands in for ImageMagick" "$(command -v "$c")"; then
        convert_bin=$(command -v "$c")
        break
    fi
done
vips_bin=$(command -v vips || true)

mkdir -p "$data"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# ---- test photos: smooth colour fields with grain, like a real photo --------
make_photo() { # width height file
    [[ -s $3 ]] && return
    if [[ -n $vips_bin ]]; then
        vips xyz "$out/xyz.v" "$1" "$2"
        vips linear "$out/xyz.v" "$out/lin.v" "1.5 2.3" "0"
        vips math "$out/lin.v" "$out/sin.v" sin
        vips linear "$out/sin.v" "$out/field.v" "60 60" "128 128"
        vips gaussnoise "$out/noise.v" "$1" "$2" --sigma 20 --mean 0
        vips bandjoin "$out/field.v $out/noise.v" "$out/three.v"
        vips linear "$out/three.v" "$out/photo.v" "1 1 1" "0 0 100"
        vips cast "$out/photo.v" "$out/photo8.v" uchar
        vips copy "$out/photo8.v" "$3[Q=90]" --interpretation srgb
    else
        "$convert_bin" -size "${1}x${2}" gradient:'#c06030-#2050a0' -attenuate 0.4 +noise Gaussian -quality 90 "$3"
    fi
}
photo24=$data/photo-24mp.jpg
photo12=$data/photo-12mp.jpg
photo24png=$data/photo-24mp.png
make_photo 6000 4000 "$photo24"
make_photo 4000 3000 "$photo12"
# The same photo as a 24-bit PNG, for the decoders.
[[ -s $photo24png ]] || "$build/bin/lumacut-render" -t true "$photo24" -o "$photo24png" >/dev/null
[[ -z $photos_only ]] || exit 0

# ---- timing ---------------------------------------------------------------------
median() { # command...: prints the median wall time in seconds
    if command -v hyperfine >/dev/null 2>&1; then
        hyperfine --style none --warmup 1 --runs "$runs" --export-json "$out/h.json" "$*" >/dev/null 2>&1
        python3 -c 'import json,sys; print("%.3f" % json.load(open(sys.argv[1]))["results"][0]["median"])' "$out/h.json"
    else
        local times=()
        bash -c "$*" >/dev/null 2>&1 # warm-up
        for ((i = 0; i < runs; i++)); do
            local t0 t1
            t0=$(date +%s.%N)
            bash -c "$*" >/dev/null 2>&1
            t1=$(date +%s.%N)
            times+=("$(echo "$t1 - $t0" | bc -l)")
        done
        printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {printf "%.3f\n", a[int((NR+1)/2)]}'
    fi
}

peak() { # command...: the peak resident memory in MB, "-" without GNU time
    [[ -x /usr/bin/time ]] || { echo -; return; }
    /usr/bin/time -f %M -o "$out/peak" bash -c "$*" >/dev/null 2>&1 || { echo -; return; }
    echo $(($(tail -n 1 "$out/peak") / 1024))
}

ratio() { python3 -c 'import sys; a,b=float(sys.argv[1]),float(sys.argv[2]); print("%.2f" % (a/b) if b > 0 else "-")' "$1" "$2"; }

printf '%-32s %10s %10s %8s %10s %8s %8s %8s\n' job lumacut vips ratio convert ratio "MB ours" "MB vips"
job() { # name, lumacut command, vips command, convert command ("-": no such peer job)
    local name=$1 ours=$2 v=$3 im=$4
    local t_ours t_v=- t_im=- r_v=- r_im=- m_ours m_v=-
    t_ours=$(median "$ours")
    m_ours=$(peak "$ours")
    if [[ -n $vips_bin && $v != - ]]; then
        t_v=$(median "$v"); r_v=$(ratio "$t_ours" "$t_v"); m_v=$(peak "$v")
    fi
    if [[ -n $convert_bin && $im != - ]]; then t_im=$(median "$im"); r_im=$(ratio "$t_ours" "$t_im"); fi
    printf '%-32s %10s %10s %8s %10s %8s %8s %8s\n' "$name" "$t_ours" "$t_v" "$r_v" "$t_im" "$r_im" "$m_ours" "$m_v"
}

job "JPEG to grey file" \
    "$render -t grey $photo24 -o $out/grey.bmp" \
    "vips colourspace $photo24 $out/grey.v b-w" \
    "$convert_bin $photo24 -colorspace Gray $out/grey-im.bmp"
job "JPEG to 1-bit file" \
    "$render -t two $photo24 -o $out/two.bmp" \
    "vips relational_const $photo24 $out/two.v moreeq 128" \
    "$convert_bin $photo24 -threshold 50% -type bilevel $out/two-im.bmp"
job "JPEG to 1-bit, Floyd-Steinberg" \
    "$render -t two --dither fs $photo24 -o $out/fs.bmp" \
    - \
    "$convert_bin $photo24 -colorspace gray -dither FloydSteinberg -monochrome $out/fs-im.bmp"
job "JPEG to 1-bit, adaptive r 15" \
    "$render -t two --adaptive 15 $photo24 -o $out/adaptive15.bmp" - -
job "JPEG to 1-bit, adaptive r 100" \
    "$render -t two --adaptive 100 $photo24 -o $out/adaptive100.bmp" - -
job "50 % resize, tent, footprint 1" \
    "$render -t true --percent 50 -f 1 $photo24 -o $out/half.bmp" \
    "vips reduce $photo24 $out/half.v 2 2 --kernel linear" \
    "$convert_bin $photo24 -filter Triangle -resize 50% $out/half-im.bmp"
job "3 degree tilt, bilinear" \
    "$render -t true --tilt 3 $photo24 -o $out/tilt.bmp" \
    "vips rotate $photo24 $out/tilt.v 3" \
    "$convert_bin $photo24 -interpolate bilinear -rotate 3 $out/tilt-im.bmp"
job "200 % magnify of 12 MP" \
    "$render -t true --percent 200 -f 1 $photo12 -o $out/double.bmp" \
    "vips resize $photo12 $out/double.v 2 --kernel linear" \
    "$convert_bin $photo12 -filter Triangle -resize 200% $out/double-im.bmp"
job "24-bit PNG to BMP (decode)" \
    "$render -t true $photo24png -o $out/png.bmp" \
    "vips copy $photo24png $out/png.v" \
    "$convert_bin $photo24png $out/png-im.bmp"
job "JPEG to 8-bit grey PNG" \
    "$render -t grey $photo24 -o $out/grey.png" \
    "vips colourspace $photo24 $out/grey-v.png b-w" \
    "$convert_bin $photo24 -colorspace Gray $out/grey-im.png"
job "JPEG to 1-bit Group 4 TIFF" \
    "$render -t two $photo24 -o $out/two.tif" \
    "vips colourspace $photo24 $out/g.v b-w && vips relational_const $out/g.v $out/t.v moreeq 128 && vips tiffsave $out/t.v $out/two-v.tif --compression ccittfax4 --bitdepth 1" \
    "$convert_bin $photo24 -colorspace Gray -threshold 50% -type bilevel -compress Group4 $out/two-im.tif"

# ---- a picture beyond memory ----------------------------------------------------
if [[ -n $huge && -n $vips_bin ]]; then
    photo588=$data/photo-588mp.jpg
    [[ -s $photo588 ]] || vips zoom "$photo12" "$photo588[Q=90]" 7 7
    runs=1
    job "588 MP JPEG to grey BMP" \
        "$render -t grey $photo588 -o $out/huge-grey.bmp" \
        "vips colourspace $photo588 $out/huge-grey.v b-w" -
    rm -f "$out"/huge-grey.*
    job "588 MP JPEG to 1-bit G4 TIFF" \
        "$render -t two $photo588 -o $out/huge-two.tif" \
        "vips colourspace $photo588 $out/g.v b-w && vips relational_const $out/g.v $out/t.v moreeq 128 && vips tiffsave $out/t.v $out/huge-two-v.tif --compression ccittfax4 --bitdepth 1" -
fi
