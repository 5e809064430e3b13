#!/usr/bin/env bash
# Installs the Debian packages Tallowmere needs that are not installed yet.
#   scripts/install-deps.sh build   — what building and testing needs
#   scripts/install-deps.sh run     — the above plus what the running program uses
#   scripts/install-deps.sh bench   — the above plus the tools benchmarks compare against
set -euo pipefail

# xvfb and xdotool for the end-to-end test; valgrind for the one test run under a memory checker;
# the desktop's validators for the install tree; a private bus with a stand-in disk service for
# the devices tests. Qt's own translations give its menus (text fields, scroll bars) in Japanese,
# for the program and for the tests that look at them; the run set includes this one.
build_pkgs=(build-essential cmake ninja-build ccache pkg-config xvfb xdotool valgrind
            qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libarchive-dev libicu-dev
            desktop-file-utils appstream dbus-daemon python3-dbusmock qt6-translations-l10n)
# Icons: breeze-dark for the dark window, Adwaita behind it. fonts-noto-cjk for the Japanese
# interface; locales for the ja_JP.UTF-8 locale that gives Japanese system error reasons.
run_pkgs=(xdg-utils breeze-icon-theme adwaita-icon-theme fonts-noto-cjk fonts-noto-color-emoji
          qt6-qpa-plugins locales)
bench_pkgs=(fzf fd-find hyperfine jq python3 findutils coreutils strace)

want=("${build_pkgs[@]}")
case "${1:-build}" in
  build) ;;
  run) want+=("${run_pkgs[@]}") ;;
  bench) want+=("${run_pkgs[@]}" "${bench_pkgs[@]}") ;;
  *) echo "usage: $0 [build|run|bench]" >&2; exit 2 ;;
esac

# The C library only translates its error texts for locales that have been generated.
ensure_japanese_locale() {
  [[ "${1:-build}" == build ]] && return 0
  locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' && return 0
  [[ -d /usr/share/i18n/locales ]] || return 0
  echo "Generating the ja_JP.UTF-8 locale"
  if [[ $(id -u) -eq 0 ]]; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  elif command -v sudo >/dev/null; then
    sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}

missing=()
for p in "${want[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  ensure_japanese_locale "${1:-build}"
  exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and no root or sudo to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
ensure_japanese_locale "${1:-build}"
