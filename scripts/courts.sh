#!/usr/bin/env bash
# Runs the tournament desk: a mosquitto broker for every court's board and the courts page.
#
# Usage: courts.sh [--courts N | --courts 1,2,Centre] [--mqtt-port N] [--web-port N] [--local]
#                  [--state DIR] [--bridge HOST:PORT [--bridge-user U --bridge-password P]]
#
#   --courts      the courts: N means 1 to N, or a list of names (letters, digits, - and _);
#                 default: those of the last run, on the first run 1 to 4
#   --mqtt-port   where the boards connect (default 1883)
#   --web-port    where the page and its WebSocket are served (default 9001)
#   --local       listen on this computer only (127.0.0.1), not on the club network
#   --state DIR   configuration, passwords and the broker's saved messages
#                 (default ${XDG_STATE_HOME:-~/.local/state}/courtlyx-desk)
#   --bridge      also hand every court's messages on to the broker HOST:PORT (another
#                 club network, a stream); --bridge-user/--bridge-password log in there
#
# courts.sh --forget COURT [--forget COURT ...] [--mqtt-port N] [--state DIR]
#   takes courts no longer played off the page of the desk that runs (their last score
#   and online state); their results stay. Needs mosquitto-clients.
#
# Each court's board gets the user court-<court> and a password made on the first run and
# kept in the state folder; a board may publish only under its own court, the page only
# reads. mosquitto.conf in the state folder is made anew at each start; own additions (a TLS
# listener, see the README) go into *.conf files in its conf.d/. The broker runs in the
# foreground and stops with Ctrl+C. Needs mosquitto (apt-get install mosquitto).
set -euo pipefail
trap 'echo "courts.sh: abgebrochen in Zeile $LINENO" >&2' ERR

case "${1:-}" in
-h | --help)
    sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"
    exit 0
    ;;
esac

fail() {
    echo "courts.sh: $*" >&2
    exit 1
}

listening() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

COURTS="" MQTT_PORT=1883 WEB_PORT=9001 LOCAL=0 BRIDGE="" BRIDGE_USER="" BRIDGE_PASSWORD="" FORGET=()
STATE="${XDG_STATE_HOME:-$HOME/.local/state}/courtlyx-desk"
while [ $# -gt 0 ]; do
    case "$1" in
    --courts) COURTS="${2:?--courts braucht eine Zahl oder eine Liste}"; shift 2 ;;
    --mqtt-port) MQTT_PORT="${2:?--mqtt-port braucht eine Portnummer}"; shift 2 ;;
    --web-port) WEB_PORT="${2:?--web-port braucht eine Portnummer}"; shift 2 ;;
    --local) LOCAL=1; shift ;;
    --state) STATE="${2:?--state braucht einen Ordner}"; shift 2 ;;
    --bridge) BRIDGE="${2:?--bridge braucht HOST:PORT}"; shift 2 ;;
    --bridge-user) BRIDGE_USER="${2:?--bridge-user braucht einen Namen}"; shift 2 ;;
    --bridge-password) BRIDGE_PASSWORD="${2:?--bridge-password braucht ein Passwort}"; shift 2 ;;
    --forget) FORGET+=("${2:?--forget braucht einen Platznamen}"); shift 2 ;;
    *) fail "unbekannte Angabe: $1 (courts.sh --help zeigt alle)" ;;
    esac
done

for port in "$MQTT_PORT" "$WEB_PORT"; do
    [[ "$port" =~ ^[0-9]+$ ]] && [ "$port" -ge 1 ] && [ "$port" -le 65535 ] || fail "kein gültiger Port: $port"
done
[ "$MQTT_PORT" != "$WEB_PORT" ] || fail "--mqtt-port und --web-port müssen verschieden sein"
if [ -n "$BRIDGE" ]; then
    [[ "$BRIDGE" =~ ^[A-Za-z0-9.:_-]+:[0-9]+$ ]] || fail "--bridge erwartet HOST:PORT, nicht $BRIDGE"
fi

valid_court() {
    [[ "$1" =~ ^[A-Za-z0-9_-]{1,32}$ ]] || fail "ungültiger Platzname: '$1' (Buchstaben, Ziffern, - und _, höchstens 32)"
}

# The desk's own user clears a court's retained messages on the broker that runs.
DESK_CREDENTIALS="$STATE/desk-credentials"
if [ ${#FORGET[@]} -gt 0 ]; then
    PUB="$(command -v mosquitto_pub || true)"
    [ -n "$PUB" ] || fail "mosquitto_pub fehlt; als root installieren: apt-get install mosquitto-clients"
    for court in "${FORGET[@]}"; do valid_court "$court"; done
    [ -s "$DESK_CREDENTIALS" ] || fail "in $STATE ist kein Desk eingerichtet (courts.sh einmal starten)"
    listening "$MQTT_PORT" || fail "der Desk läuft nicht (Port $MQTT_PORT); erst courts.sh starten"
    DESK_PASSWORD="$(cat "$DESK_CREDENTIALS")"
    for court in "${FORGET[@]}"; do
        for topic in score online; do
            "$PUB" -h 127.0.0.1 -p "$MQTT_PORT" -u desk -P "$DESK_PASSWORD" -q 1 -r -n -t "courtlyx/v1/$court/$topic" \
                || fail "Platz $court ließ sich nicht entfernen (Antwort des Brokers oben)"
        done
        echo "Platz $court ist von der Seite genommen; seine Ergebnisse bleiben."
    done
    exit 0
fi

MOSQUITTO="$(command -v mosquitto || true)"
[ -n "$MOSQUITTO" ] || MOSQUITTO=/usr/sbin/mosquitto
PASSWD="$(command -v mosquitto_passwd || true)"
[ -n "$PASSWD" ] || PASSWD=/usr/bin/mosquitto_passwd
[ -x "$MOSQUITTO" ] && [ -x "$PASSWD" ] || fail "mosquitto fehlt; als root installieren: apt-get install mosquitto"

# The page set: the source tree's desk/ beside this script, or the installed one.
HERE="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)"
PAGE="${COURTLYX_DESK_DIR:-}"
if [ -z "$PAGE" ]; then
    for candidate in "$HERE/../desk" "$HERE/../share/courtlyx/desk" /usr/share/courtlyx/desk; do
        if [ -f "$candidate/index.html" ]; then
            PAGE="$(cd "$candidate" && pwd)"
            break
        fi
    done
fi
[ -n "$PAGE" ] && [ -f "$PAGE/index.html" ] || fail "die Seiten der Plätze fehlen (desk/index.html)"
CLIENT="$PAGE/node_modules/mqtt/dist/mqtt.min.js"
if [ ! -f "$CLIENT" ] && [ -x "$PAGE/install.sh" ]; then
    command -v npm >/dev/null || fail "der MQTT-Client der Seite fehlt und npm auch: apt-get install npm, dann $PAGE/install.sh"
    "$PAGE/install.sh" >/dev/null || fail "der MQTT-Client der Seite ließ sich nicht installieren ($PAGE/install.sh)"
fi
[ -f "$CLIENT" ] || fail "der MQTT-Client der Seite fehlt: $CLIENT"

mkdir -p "$STATE/data" "$STATE/conf.d"
chmod 700 "$STATE"
umask 077

# The courts: N is 1..N; the last run's list when none is given.
[ -n "$COURTS" ] || COURTS="$(cat "$STATE/courts" 2>/dev/null || echo 4)"
if [[ "$COURTS" =~ ^[0-9]+$ ]]; then
    [ "$COURTS" -ge 1 ] && [ "$COURTS" -le 99 ] || fail "--courts N: 1 bis 99 Plätze"
    COURT_LIST=()
    for ((i = 1; i <= COURTS; ++i)); do COURT_LIST+=("$i"); done
else
    IFS=, read -r -a COURT_LIST <<<"$COURTS"
fi
[ ${#COURT_LIST[@]} -gt 0 ] || fail "keine Plätze angegeben"
for court in "${COURT_LIST[@]}"; do valid_court "$court"; done
echo "$COURTS" >"$STATE/courts"

# One password per court, made once: the boards keep what was entered on them.
CREDENTIALS="$STATE/credentials"
touch "$CREDENTIALS"
chmod 600 "$CREDENTIALS"
password_of() {
    awk -v user="court-$1" -F: '$1 == user { print substr($0, length($1) + 2); exit }' "$CREDENTIALS"
}
for court in "${COURT_LIST[@]}"; do
    if [ -z "$(password_of "$court")" ]; then
        password="$(head -c 48 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | cut -c1-16)"
        echo "court-$court:$password" >>"$CREDENTIALS"
    fi
done

[ -s "$DESK_CREDENTIALS" ] || head -c 48 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | cut -c1-16 >"$DESK_CREDENTIALS"
chmod 600 "$DESK_CREDENTIALS"

PASSWORDS="$STATE/passwords"
rm -f "$PASSWORDS"
touch "$PASSWORDS"
"$PASSWD" -b "$PASSWORDS" desk "$(cat "$DESK_CREDENTIALS")" >/dev/null
for court in "${COURT_LIST[@]}"; do
    "$PASSWD" -b "$PASSWORDS" "court-$court" "$(password_of "$court")" >/dev/null
done

# Anonymous clients (the pages) read everything; each board's user writes its own court only.
{
    echo "topic read courtlyx/v1/#"
    echo
    # courts.sh --forget clears a court's last state with this user; results it cannot touch.
    echo "user desk"
    echo "topic write courtlyx/v1/+/score"
    echo "topic write courtlyx/v1/+/online"
    for court in "${COURT_LIST[@]}"; do
        echo
        echo "user court-$court"
        echo "topic readwrite courtlyx/v1/$court/#"
    done
} >"$STATE/acl"

# The address to give the boards and the phones: the one the way out leaves by.
if [ "$LOCAL" = 1 ]; then
    ADDRESS=127.0.0.1
else
    ADDRESS="$(ip -4 route get 192.0.2.1 2>/dev/null | sed -n 's/.* src \([0-9.]*\).*/\1/p' | head -n1)"
    [ -n "$ADDRESS" ] || ADDRESS="$(hostname -I 2>/dev/null | awk '{print $1}')"
    [ -n "$ADDRESS" ] || ADDRESS="$(hostname)"
fi

listener() {
    if [ "$LOCAL" = 1 ]; then
        # A WebSocket listener binds to its address only with the domain set.
        printf 'listener %s 127.0.0.1\nsocket_domain ipv4\n' "$1"
    else
        printf 'listener %s\n' "$1"
    fi
}

CONF="$STATE/mosquitto.conf"
{
    echo "# Made by courts.sh on every start; changes here are overwritten."
    echo "per_listener_settings false"
    # Run as root, mosquitto would switch to its own user, who cannot read this folder.
    [ "$(id -u)" -ne 0 ] || echo "user root"
    echo "allow_anonymous true"
    echo "password_file $PASSWORDS"
    echo "acl_file $STATE/acl"
    echo "persistence true"
    echo "persistence_location $STATE/data/"
    echo "autosave_interval 10"
    echo "log_dest stdout"
    echo "log_type error"
    echo "log_type warning"
    echo "log_type notice"
    echo "log_type information"
    echo "connection_messages true"
    echo "log_timestamp_format %H:%M:%S"
    echo
    listener "$MQTT_PORT"
    echo "protocol mqtt"
    echo
    listener "$WEB_PORT"
    echo "protocol websockets"
    echo "http_dir $PAGE"
    if [ -n "$BRIDGE" ]; then
        echo
        echo "connection courtlyx-desk-$(hostname | tr -c 'A-Za-z0-9_\n-' _)"
        echo "address $BRIDGE"
        echo "topic courtlyx/v1/# out 1"
        echo "bridge_protocol_version mqttv311"
        echo "try_private true"
        echo "cleansession true"
        echo "restart_timeout 2 30"
        [ -z "$BRIDGE_USER" ] || echo "remote_username $BRIDGE_USER"
        [ -z "$BRIDGE_PASSWORD" ] || echo "remote_password $BRIDGE_PASSWORD"
    fi
    echo
    echo "# Own additions (a TLS listener, a bridge with certificates): *.conf files in conf.d/."
    echo "include_dir $STATE/conf.d"
} >"$CONF"

# Debian starts mosquitto as a service on installing it, on 1883: the usual reason.
for port in "$MQTT_PORT" "$WEB_PORT"; do
    ! listening "$port" || fail "Port $port ist schon belegt. Läuft der mosquitto-Dienst des Systems? Einmal abschalten mit: sudo systemctl disable --now mosquitto (oder mit --mqtt-port/--web-port andere Ports wählen)"
done

"$MOSQUITTO" -c "$CONF" &
BROKER=$!
stop() {
    kill -TERM "$BROKER" 2>/dev/null || true
}
trap stop INT TERM HUP

# Tell the operator what to do once the broker listens, or why it does not.
for _ in $(seq 100); do
    kill -0 "$BROKER" 2>/dev/null || break
    listening "$MQTT_PORT" && listening "$WEB_PORT" && break
    sleep 0.1
done
if ! kill -0 "$BROKER" 2>/dev/null; then
    wait "$BROKER" || true
    fail "mosquitto ließ sich nicht starten; seine Meldung steht oben"
fi

cat <<EOF

Courtlyx Turnier-Desk läuft. Beenden mit Strg+C.

Seite der Plätze (Hallenbildschirm, Handys im selben Netz):
    http://$ADDRESS:$WEB_PORT/
Ergebnisse mit CSV:  http://$ADDRESS:$WEB_PORT/#results

Auf jedem Board unter "Broker" eintragen:
EOF
printf '    %-10s %-16s %-6s %-10s %-12s %s\n' "Platz" "Host" "Port" "Platz-Nr." "Benutzer" "Passwort"
for court in "${COURT_LIST[@]}"; do
    printf '    %-10s %-16s %-6s %-10s %-12s %s\n' "$court" "$ADDRESS" "$MQTT_PORT" "$court" "court-$court" "$(password_of "$court")"
done
[ -z "$BRIDGE" ] || echo "Weitergabe aller Plätze an den Broker $BRIDGE ist eingerichtet."
echo "Zugangsdaten stehen auch in $CREDENTIALS"
echo

# wait returns early when a signal arrives; wait again until mosquitto has saved and ended.
while kill -0 "$BROKER" 2>/dev/null; do
    wait "$BROKER" || true
done
echo "Desk beendet."
