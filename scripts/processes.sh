# Sourced by the scripts that start and stop servers (local-ircd.sh, the
# test servers, the server kit): a port for a server, waiting for an event
# with a deadline, and stopping a process by the PID its starter wrote down.

# wait_until SECONDS COMMAND [ARGS...]: runs COMMAND every tenth of a second
# until it succeeds (status 0) or SECONDS have passed (status 1).
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# A random port for a server, with two more free after it, below the
# system's ephemeral ports: no program's outgoing connection takes it, not
# even while its server is down between a stop and a start.
random_server_port() {
    local low
    read -r low _ </proc/sys/net/ipv4/ip_local_port_range
    echo $((10000 + RANDOM % (low - 10003)))
}

# The state letter of a process (R, S, T for stopped, Z for ended but not
# reaped yet, ...); nothing once it is gone.
process_state() { sed -e 's/^.*) //' -e 's/ .*//' "/proc/$1/stat" 2>/dev/null; }
process_ended() {
    local state
    state=$(process_state "$1")
    [ -z "$state" ] || [ "$state" = Z ]
}
process_stopped() { [ "$(process_state "$1")" = T ]; }

# stop_pid_file PID_FILE NAME [SIGNAL]: stops the process whose PID the file
# holds, if its command line still names NAME (the PID of an old file may
# since belong to another program): SIGNAL (TERM unless given; a process
# stopped by SIGSTOP is continued to act on it), up to 5 seconds for it to
# end, then SIGKILL. Reaps it when it is the caller's child, and removes the
# file.
stop_pid_file() {
    local file=$1 name=$2 signal=${3:-TERM} pid
    pid=$(cat "$file" 2>/dev/null) || return 0
    if tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -q -- "$name"; then
        kill "-$signal" "$pid" 2>/dev/null
        kill -CONT "$pid" 2>/dev/null
        wait_until 5 process_ended "$pid" || { kill -KILL "$pid" 2>/dev/null; wait_until 5 process_ended "$pid"; }
        wait "$pid" 2>/dev/null
    fi
    rm -f "$file"
    return 0
}
