# Sourced by test.sh and pos.sh: installs the Debian packages the till needs, only when one
# is missing (apt-get update first, once).
POS_PACKAGES="cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libqt6sql6-sqlite libgl-dev libsqlite3-dev
  libxlsxwriter-dev libzint-dev qt6-charts-dev libqt6opengl6-dev libicu-dev ccache
  espeak-ng fonts-noto-cjk
  qt6-translations-l10n
  poppler-utils unzip xvfb xauth"

pos_install_packages() {
    local missing=()
    local p
    for p in $POS_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "These Debian packages are missing and this user cannot install them: ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

pos_build() {
    local dir="$1"
    if [ ! -f "$dir/build.ninja" ]; then
        # POS_CMAKE_ARGS adds configure options (CI turns warnings into errors with it).
        # shellcheck disable=SC2086
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${POS_CMAKE_ARGS:-} || return 1
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
