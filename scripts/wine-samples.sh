# Shared by the scripts that run the Windows build with the bundled samples
# under Wine (demo.sh, readme-pictures.sh); sourced, not run. Expects the
# working directory to be the clone's root.

# Wine's own faces (Debian's fonts-wine) copied into the prefix's Fonts
# folder. This Wine finds "MS Sans Serif" and Tahoma only there; without
# them it draws the dialog's labels in DejaVu Sans, a fifth wider, which
# cuts "Random Transitions" and others.
copy_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*; do
    [[ -e "$fonts/${font##*/}" ]] || cp "$font" "$fonts/"
  done
}

# Uses the Wine prefix build/<name>, created on first use.
use_wine_prefix() {
  export WINEPREFIX="$PWD/build/$1" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ ! -d "$WINEPREFIX/drive_c/windows" ]]; then
    echo "Preparing a Wine prefix in $WINEPREFIX (first time only)..."
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  copy_wine_fonts
}

# Starts Xvfb (1024 x 768) on the first free display from $1 to $2 and
# points DISPLAY at it; its process id goes to xvfb_pid.
start_virtual_display() {
  local n
  xvfb_pid=""
  for n in $(seq "$1" "$2"); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  [[ -n "$xvfb_pid" ]] || { echo "no free display number for Xvfb" >&2; return 1; }
  for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb on $DISPLAY does not answer" >&2
  return 1
}

# Copies the program, the sample settings and pictures to C:\Vistrel of the
# prefix, where the sample settings expect them.
install_samples() {
  local install_dir="$WINEPREFIX/drive_c/Vistrel"
  mkdir -p "$install_dir/samples"
  cp build/win64/vistrel.scr samples/vistrel.ini "$install_dir/"
  cp samples/*.jpg samples/*.gif samples/*.bmp samples/*.dib "$install_dir/samples/"
}
