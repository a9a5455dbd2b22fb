#!/usr/bin/env bash
# The editor's mouse gestures as a user makes them: a real X server (Xvfb),
# real pointer and key events (xdotool, through XTEST), and the results read
# back from what the editor writes to its probe file (LUMACUT_PROBE).
#
#   gestures.sh LUMACUT_BINARY PICTURE [SCREENSHOT_FOLDER]
#
# PICTURE is the four-colour quadrant picture beside this script. Exit 77
# (skipped) only when no X server can be started here.
set -u

bin=$1
picture=$2
shots=${3:-}

skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed (scripts/install-deps.sh installs it)"
for tool in xdotool xprop; do
    command -v $tool >/dev/null || skip "$tool is not installed (scripts/install-deps.sh installs it)"
done

work=$(mktemp -d)
probe=$work/probe
xvfb_pid=""
app_pid=""
wm_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and tells it on fd 3.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
    read -r -t 0.1 display <&3 && break
done
[ -n "$display" ] || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=:$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# A window manager gives focus and stacking as on a desktop.
if command -v openbox >/dev/null; then
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    wm_pid=$!
    # The editor's first windows must not open before the manager runs.
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# ---- the probe --------------------------------------------------------------------------
get() { sed -n "s/^$1=//p" "$probe" 2>/dev/null | head -n 1; }
# Waits until KEY's value matches the extended regular expression.
wait_for() {
    local key=$1 pattern=$2 limit=${3:-100} value
    for _ in $(seq "$limit"); do
        value=$(get "$key")
        [[ $value =~ $pattern ]] && return 0
        sleep 0.1
    done
    echo "  waited for $key =~ /$pattern/, have '$(get "$key")'"
    return 1
}
wait_changed() {
    for _ in $(seq "${3:-30}"); do
        [ "$(get "$1")" != "$2" ] && return 0
        sleep 0.1
    done
    return 1
}
# Prints KEY's value once it has held still for a few probe writes: the probe is
# written on a timer, so a read right after an event can be stale.
settled() {
    local last="" value same=0
    for _ in $(seq 50); do
        value=$(get "$1")
        if [ "$value" = "$last" ]; then same=$((same + 1)); else same=0; last=$value; fi
        [ "$same" -ge 4 ] && break
        sleep 0.1
    done
    echo "$last"
}
field() { cut -d, -f"$2" <<<"$1"; }
# Centre of a widget the probe lists as KEY=x,y,w,h[,...].
centre() {
    local r
    r=$(get "$1")
    [ -n "$r" ] || { echo "  no $1 in the probe" >&2; return 1; }
    echo "$(($(field "$r" 1) + $(field "$r" 3) / 2)) $(($(field "$r" 2) + $(field "$r" 4) / 2))"
}
# Screen point of the centre of the shown picture's pixel (x, y).
screen_of() {
    awk -v px="$1" -v py="$2" -v view="$(get view)" -v origin="$(get view.origin)" \
        -v scroll="$(get view.scroll)" -v scale="$(get view.scale)" 'BEGIN {
        split(view, v, ","); split(origin, o, ","); split(scroll, s, ",");
        printf "%d %d\n", v[1] + o[1] - s[1] + (px + 0.5) * scale, v[2] + o[2] - s[2] + (py + 0.5) * scale }'
}
click_at() { xdotool mousemove "$1" "$2" click "${3:-1}"; }
click_widget() {
    local p
    p=$(centre "$1") || return 1
    # shellcheck disable=SC2086
    click_at $p
}
# Clicks a button of the dialog on top until that dialog gives way.
press() {
    local title
    title=$(get modal)
    for _ in 1 2 3; do
        click_widget "$1" || return 1
        wait_changed modal "$title" 20 && return 0
    done
    echo "  '$title' stays after pressing $1" >&2
    return 1
}
# Presses at one pixel of the shown picture, moves in steps to another and
# releases there; `middle` runs with the button still down.
drag_picture() {
    local from to x0 y0 x1 y1 middle=${5:-true}
    from=$(screen_of "$1" "$2"); to=$(screen_of "$3" "$4")
    read -r x0 y0 <<<"$from"; read -r x1 y1 <<<"$to"
    xdotool mousemove "$x0" "$y0" mousedown 1
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove $((x0 + (x1 - x0) * step / 8)) $((y0 + (y1 - y0) * step / 8))
        sleep 0.05
    done
    $middle
    xdotool mouseup 1
}
shot() { [ -n "$shots" ] && command -v import >/dev/null && import -window root "$shots/gestures-$1.png"; }

# ---- start: the information box, then "Choose Output" --------------------------------------
LUMACUT_PROBE=$probe "$bin" "$picture" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for modal '.+' 150 || { cat "$work/app.log"; fail "no dialog at start-up"; exit 1; }
if ! wait_for modal '^Choose Output$' 5 >/dev/null; then
    press button.OK
    wait_for modal '^Choose Output$' || fail "Choose Output not asked after the information box"
fi
click_widget "button.True Color" && wait_for "button.True Color" '^([^,]*,){4}1,' 20 && press button.OK
wait_for modal '^$' && wait_for view.original '^1$' || { fail "the Original is not shown after set-up"; exit 1; }

# The quadrants, as 0x00BBGGRR: red, green, blue, yellow.
red=1e1ec8 green=28b41e blue=c83c28 yellow=28dce6

# ---- a click on the Original picks its colour and opens the filter dialog -------------------
# shellcheck disable=SC2046
click_at $(screen_of 80 60)
if wait_for modal '^Black White Filter$'; then
    shot pick
    press button.OK
    wait_for modal '^$' && wait_for filter.color "^$red$" && ok "click on the Original picks red" ||
        fail "the picked colour is $(get filter.color), not $red"
    wait_for view.original '^0$' || fail "the New Picture is not shown after a pick"
else
    fail "a click on the Original did not open the filter dialog"
fi

# ---- a slider drag with Continuous Update renders while the button is down ------------------
xdotool key space
if wait_for modal '^Black White Filter$'; then
    continuous=$(get "button.Continuous Update")
    [ "$(field "$continuous" 5)" = 1 ] || click_widget "button.Continuous Update"
    wait_for "button.Continuous Update" '^([^,]*,){4}1,' 20 || fail "Continuous Update does not switch on"
    before=$(get new.checksum)
    read -r sx sy < <(centre slider.0)
    xdotool mousemove "$sx" "$sy" mousedown 1
    for step in 1 2 3 4 5 6; do xdotool mousemove $((sx + 12 * step)) "$sy"; sleep 0.05; done
    wait_changed new.checksum "$before" && ok "the New Picture follows the slider during the drag" ||
        fail "no render while the slider is dragged"
    xdotool mouseup 1
    light=$(field "$(settled slider.0)" 5)
    press button.OK
    wait_for modal '^$' && wait_for filter.light "^$light$" && [ "${light:-0}" -gt 0 ] &&
        ok "Light/Dark $light kept on OK" || fail "Light/Dark is $(get filter.light), the slider showed $light"
else
    fail "Space did not open the filter dialog"
fi

# ---- a right click adds the colour under it to the colour list ------------------------------
# shellcheck disable=SC2046
click_at $(screen_of 240 180) 3
if wait_for modal '^Color List$'; then
    add=$(grep -o '^button\.Add[^=]*' "$probe" | head -n 1)
    press "$add"
    wait_for modal '^$' && wait_for colorlist "^$yellow$" && ok "right click adds yellow to the colour list" ||
        fail "colour list is '$(get colorlist)', not $yellow"
else
    fail "a right click did not open the colour list"
fi

# ---- the rubber band on the New Picture, then the toolbar's Clip button ---------------------
wait_for view.original '^0$' || fail "the New Picture is not shown"
band_middle() {
    wait_for status.newsize '^New Size: (1[0-9]{2}|[4-9][0-9]), ' 20 ||
        fail "the status bar does not follow the band: '$(get status.newsize)'"
    shot band
}
drag_picture 40 30 200 150 band_middle
wait_for view.focus '^1$' && wait_for clip '^40,30,200,150$' && ok "the band sets the clip region 40,30,200,150" ||
    fail "after the band: focus $(get view.focus), clip $(get clip)"
wait_for status.newsize '^New Size: 160,  120$' || fail "status after the band: '$(get status.newsize)'"
click_widget tool.Clip
wait_for clip.active '^1$' && wait_for new.size '^160,120$' && ok "Clip keeps the 160 x 120 region" ||
    fail "after Clip: active $(get clip.active), New Picture $(get new.size)"

# ---- a line drawn on the Original straightens it --------------------------------------------
click_widget "tool.Swap View" || xdotool key ctrl+Tab
wait_for view.original '^1$' || fail "the Original is not shown"
drag_picture 40 100 240 120
if wait_for modal '^Tilt'; then
    angle=$(grep -o '^button\.5\.7[^=]*' "$probe" | head -n 1)
    press "$angle"
    expected=$(awk 'BEGIN { printf "%.4f", atan2(20, 200) }')
    wait_for modal '^$' &&
        awk -v t="$(get tilt)" -v e="$expected" 'BEGIN { d = t < 0 ? -t : t; exit !(d - e < 1e-3 && e - d < 1e-3) }' &&
        ok "the tilt line gives $(get tilt) rad" || fail "tilt is '$(get tilt)', expected about ±$expected"
else
    fail "a line on the Original did not open the tilt dialog"
fi
shot end

kill "$app_pid" 2>/dev/null
[ "$failures" -eq 0 ] || { echo "$failures gesture checks failed"; exit 1; }
echo "all gestures work"
