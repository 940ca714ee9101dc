#!/usr/bin/env bash
# One entry point: ./dev.sh run | test | build | deps
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make pkg-config openssl sqlite3 libsqlite3-dev libssl-dev
          qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
          qt6-positioning-dev qt6-multimedia-dev qt6-sensors-dev qt6-svg-dev
          libgl-dev libzxing-dev libcpp-httplib-dev nlohmann-json3-dev
          fonts-dejavu-core fonts-wqy-microhei)
BUILD_DIR=${BUILD_DIR:-build}

deps() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build() {
    cmake -S . -B "$BUILD_DIR" -DLOYALTY_WERROR=ON >/dev/null
    cmake --build "$BUILD_DIR" -j2
}

run_tests() {
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
    # Smoke runs of the app itself: launch and activation, then the screenshot tour.
    QT_QPA_PLATFORM=offscreen "$BUILD_DIR/src/loyalty" --self-test --data-dir "$(mktemp -d)"
    QT_QPA_PLATFORM=offscreen "$BUILD_DIR/src/loyalty" --screenshots "$BUILD_DIR/screenshots" \
        --data-dir "$(mktemp -d)"
}

run_app() {
    local server="$BUILD_DIR/server/loyalty-server" app="$BUILD_DIR/src/loyalty"
    local data="${LOYALTY_DATA_DIR:-$HOME/.local/share/loyalty-demo}"
    if [ ! -x "$server" ]; then
        echo "The reference services are not built yet; nothing to start."
        return 0
    fi
    mkdir -p "$data"
    "$server" --data-dir "$data/server" &
    # Global, not local: the trap runs after this function has returned.
    SERVER_PID=$!
    trap 'kill "$SERVER_PID" 2>/dev/null || true' EXIT
    trap 'exit 130' INT TERM
    if [ -x "$app" ]; then
        LOYALTY_DATA_DIR="$data/app" "$app"
    else
        echo "Reference services running (pid $SERVER_PID); the app is not built yet. Ctrl-C stops them."
        wait "$SERVER_PID"
    fi
}

case "${1:-}" in
    deps) deps ;;
    build) deps; build ;;
    test) deps; build; run_tests ;;
    run) deps; build; run_app ;;
    *) echo "usage: $0 run|test|build|deps" >&2; exit 2 ;;
esac
