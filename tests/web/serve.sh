# shellcheck shell=bash
# Sourced by e2e-web.sh: serve_site starts lighttpd on a free port of 127.0.0.1
# with the package's snippet, and sets URL and SERVER; chrome runs Chromium.
free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

serve_site() { # serve_site SITE WORK: the package's lighttpd snippet, pointed at SITE
    local site=$1 work=$2 port
    port=$(free_port)
    mkdir -p "$work/root"
    sed "s|/var/lib/kalvik/web/|$site/|" "$SNIPPET" > "$work/kalvik.conf"
    cat > "$work/lighttpd.conf" <<CONF
server.document-root = "$work/root"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$work/lighttpd-error.log"
index-file.names = ( "index.html" )
mimetype.assign = ( ".html" => "text/html; charset=utf-8", ".png" => "image/png" )
include "$work/kalvik.conf"
CONF
    lighttpd -D -f "$work/lighttpd.conf" &
    SERVER=$!
    URL="http://127.0.0.1:$port/kalvik"
    for _ in $(seq 50); do
        python3 -c "import urllib.request; urllib.request.urlopen('$URL/index.html')" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "FAIL: lighttpd did not start"; cat "$work/lighttpd-error.log"; return 1
}

# chrome ARGS...: headless Chromium with a fresh profile, nothing but 127.0.0.1.
chrome() {
    local profile
    profile=$(mktemp -d)
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --hide-scrollbars --user-data-dir="$profile" "$@" 2>/dev/null
    local status=$?
    rm -rf "$profile"
    return $status
}
