#!/usr/bin/env bash
# services-ircd.sh start DIR PORT: starts a network with accounts on
# loopback: InspIRCd on 127.0.0.1:PORT (plain text) with its SASL module,
# and Atheme services (NickServ, and SaslServ with PLAIN) linked to it on a
# free loopback port of their own. Waits until both are up and linked. All
# their files (configurations, logs, the services' database, PID files) go
# to DIR; every start begins with an empty database.
# services-ircd.sh account DIR NAME PASSWORD: registers the account NAME
# through NickServ on the network started in DIR, as a user of that nick,
# and waits for NickServ's confirmation.
# services-ircd.sh stop DIR: stops both servers started there, by their PIDs.
#
# Exit status: 0 done; 75 a port was taken (start again on another);
# 77 InspIRCd or Atheme is not installed (scripts/deps.sh test); 1 otherwise.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/processes.sh
. "$here/processes.sh"
inspircd=/usr/sbin/inspircd
atheme=/usr/bin/atheme-services
server_name=irc.kelva.test
services_name=services.kelva.test
link_password=kelva-services-link

write_inspircd_config() {
    local dir=$1 port=$2 link_port=$3
    cat >"$dir/inspircd.conf" <<CONF
<server name="$server_name" description="KELVA test server with accounts" network="kelvatest" id="1KT">
<admin name="KELVA test" nick="kelva" email="nobody@kelva.test">
<bind address="127.0.0.1" port="$port" type="clients">
<bind address="127.0.0.1" port="$link_port" type="servers">
# The tests connect many times in quick succession from one address: no
# limits on connections per address, no flood penalties, no look-ups.
<connect name="main" allow="*" timeout="20" pingfreq="120" hardsendq="1M" softsendq="100K" recvq="10K"
         threshold="100000" commandrate="10000000" fakelag="no" localmax="1000" globalmax="1000"
         resolvehostnames="no" useident="no" limit="5000" maxchans="20">
# Nothing here needs a name server; none is asked beyond this machine.
<dns server="127.0.0.1" timeout="1">
<files motd="$dir/inspircd.motd">
<log method="file" type="* -USERINPUT -USEROUTPUT -MODULE" level="default" target="$dir/inspircd.log">
<module name="cap">
<module name="sasl">
<module name="services_account">
<module name="spanningtree">
<link name="$services_name" ipaddr="127.0.0.1" port="$link_port" allowmask="127.0.0.0/8"
      sendpass="$link_password" recvpass="$link_password">
<uline server="$services_name" silent="yes">
<sasl target="$services_name" requiressl="no">
CONF
    echo "Welcome to the KELVA test server with accounts." >"$dir/inspircd.motd"
}

write_atheme_config() {
    local dir=$1 link_port=$2
    # Without rate limits (general {} names none) and without a limit of
    # accounts per email address (maxusers 0), so that a test registers
    # what it needs at once; no mail is sent (no mta).
    cat >"$dir/atheme.conf" <<CONF
loadmodule "modules/protocol/inspircd";
loadmodule "modules/backend/opensex";
loadmodule "modules/crypto/pbkdf2v2";
loadmodule "modules/nickserv/main";
loadmodule "modules/nickserv/register";
loadmodule "modules/saslserv/main";
loadmodule "modules/saslserv/plain";
pbkdf2v2 { rounds = 10000; };
serverinfo {
	name = "$services_name";
	desc = "KELVA test services";
	numeric = "00A";
	recontime = 1;
	netname = "kelvatest";
	hidehostsuffix = "users.kelva.test";
	adminname = "KELVA test";
	adminemail = "nobody@kelva.test";
	registeremail = "nobody@kelva.test";
	loglevel = { error; info; network; register; };
	maxlogins = 100;
	maxusers = 0;
	auth = none;
	casemapping = rfc1459;
};
uplink "$server_name" {
	host = "127.0.0.1";
	password = "$link_password";
	port = $link_port;
};
nickserv {
	nick = "NickServ";
	user = "NickServ";
	host = "$services_name";
	real = "Nickname Services";
};
saslserv {
	nick = "SaslServ";
	user = "SaslServ";
	host = "$services_name";
	real = "SASL Authentication Agent";
};
general {
	commit_interval = 5;
};
CONF
}

# Whether something listens on 127.0.0.1:PORT (or on every address), read
# from the kernel's table.
listening() {
    grep -qiE " (0100007F|00000000):$(printf '%04X' "$1") 00000000:0000 0A " /proc/net/tcp
}

# A server port that nothing listens on at the moment of asking.
free_port() {
    local port
    for _ in $(seq 100); do
        port=$(random_server_port)
        listening "$port" || { echo "$port"; return 0; }
    done
    return 1
}

# Waits up to SECONDS for FILE to hold TEXT, unless the process whose PID
# PIDFILE holds ends first (before it writes PIDFILE, it is waited for).
wait_for_text() {
    local file=$1 text=$2 seconds=$3 pidfile=$4
    local deadline=$((SECONDS + seconds))
    while [ $SECONDS -lt $deadline ]; do
        grep -qF "$text" "$file" 2>/dev/null && return 0
        [ ! -s "$pidfile" ] || ! process_ended "$(cat "$pidfile")" || return 1
        sleep 0.05
    done
    grep -qF "$text" "$file" 2>/dev/null
}

# Gives up a start: shows the end of LOG, stops both servers.
give_up() {
    local dir=$1 log=$2 why=$3 status=${4:-1}
    echo "$why; the end of $log:" >&2
    tail -n 30 "$log" >&2
    stop "$dir"
    return "$status"
}

start() {
    local dir=$1 port=$2 link_port root_flag=()
    [ -x "$inspircd" ] && [ -x "$atheme" ] || { echo "InspIRCd or Atheme is not installed" >&2; return 77; }
    mkdir -p "$dir"
    stop "$dir"
    link_port=$(free_port) || { echo "no free loopback port for the services' link" >&2; return 75; }
    rm -rf "$dir/atheme-data" "$dir/atheme.log" "$dir/inspircd.log"
    mkdir -p "$dir/atheme-data"
    write_inspircd_config "$dir" "$port" "$link_port"
    write_atheme_config "$dir" "$link_port"

    # InspIRCd stays in the foreground, so that $! is its PID, and writes no
    # PID file of its own. It refuses root unless told.
    [ "$(id -u)" -ne 0 ] || root_flag=(--runasroot)
    "$inspircd" --config "$dir/inspircd.conf" --nofork --nopid "${root_flag[@]}" >"$dir/inspircd.console" 2>&1 &
    echo $! >"$dir/inspircd.pid"
    wait_for_text "$dir/inspircd.console" "InspIRCd is now running" 20 "$dir/inspircd.pid" ||
        { give_up "$dir" "$dir/inspircd.console" "InspIRCd did not start on port $port"; return; }
    if grep -q "failed to bind" "$dir/inspircd.console"; then
        give_up "$dir" "$dir/inspircd.console" "InspIRCd could not listen on $port or $link_port" 75
        return
    fi

    # Atheme in the foreground greets every user with a warning about its
    # console, so it runs as the daemon it is meant to be and writes its PID
    # file itself.
    "$atheme" -c "$dir/atheme.conf" -l "$dir/atheme.log" -p "$dir/atheme.pid" -D "$dir/atheme-data" \
        >"$dir/atheme.console" 2>&1 ||
        { give_up "$dir" "$dir/atheme.console" "Atheme did not start"; return; }
    wait_for_text "$dir/atheme.log" "finished synching with uplink" 30 "$dir/atheme.pid" ||
        { give_up "$dir" "$dir/atheme.log" "Atheme did not link to InspIRCd on port $link_port"; return; }
    return 0
}

account() {
    local dir=$1 name=$2 password=$3 port line
    port=$(sed -n 's/.*port="\([0-9]*\)" type="clients".*/\1/p' "$dir/inspircd.conf")
    exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
    printf 'NICK %s\r\nUSER %s 0 * :KELVA test account\r\n' "$name" "$name" >&3
    local deadline=$((SECONDS + 30)) outcome="no answer from NickServ within 30 seconds"
    while [ $SECONDS -lt $deadline ] && IFS= read -r -t $((deadline - SECONDS)) line <&3; do
        line=${line%$'\r'}
        case "$line" in
        PING*) printf 'PONG %s\r\n' "${line#PING }" >&3 ;;
        *" 376 "* | *" 422 "*) printf 'PRIVMSG NickServ :REGISTER %s %s@kelva.test\r\n' "$password" "$name" >&3 ;;
        ":NickServ!"*" is now registered to "*) outcome=; break ;;
        ":NickServ!"* | *" 401 "* | "ERROR "*) outcome=$line; break ;;
        esac
    done
    printf 'QUIT\r\n' >&3
    exec 3>&-
    [ -z "$outcome" ] && return 0
    echo "the account $name was not registered: $outcome" >&2
    return 1
}

stop() {
    stop_pid_file "$1/atheme.pid" atheme-services
    stop_pid_file "$1/inspircd.pid" inspircd
}

case "${1:-}" in
start) start "$2" "$3" ;;
account) account "$2" "$3" "$4" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start DIR PORT | account DIR NAME PASSWORD | stop DIR" >&2; exit 2 ;;
esac
