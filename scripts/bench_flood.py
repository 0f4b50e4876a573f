#!/usr/bin/python3
"""The flood benchmark: a scripted IRC server of its own on loopback that
registers one client, puts it into a channel, sends it a flood and then a
PING, and measures the time until the client's PONG, the CPU time of the
client and of what draws for it, and the client's memory. kelva.exe runs
under Wine (started through the end-to-end driver, which closes its Welcome
dialog), irssi in a tmux session; the two alternate round by round and one
table of medians and ratios is printed. With --tls, kelva.exe is measured
against itself instead: in plain text, and over TLS with a self-signed
certificate that the client trusts. Figures only: nothing here fails on a
time. Run it through scripts/bench-flood.sh, which sets up the display,
the Wine prefix and the build; Python's standard library is all it needs.
"""
import argparse
import bisect
import datetime
import hashlib
import os
import platform
import random
import select
import shutil
import signal
import socket
import ssl
import statistics
import subprocess
import sys
import tempfile
import time

HZ = os.sysconf("SC_CLK_TCK")
CHANNEL = "#bench"
SERVER = "bench.example"


# ---- what a process costs, read from /proc -------------------------------

def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / HZ
    except (OSError, IndexError, ValueError):
        return 0.0


def rss_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0.0


def alive(pid):
    return pid is not None and os.path.exists(f"/proc/{pid}")


def stop_pid(pid, wait=5.0):
    """Ends one process this script started, by its PID."""
    if not alive(pid):
        return
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    end = time.monotonic() + wait
    while alive(pid) and time.monotonic() < end:
        try:
            os.waitpid(pid, os.WNOHANG)
        except ChildProcessError:
            pass
        time.sleep(0.05)
    if alive(pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def prefix_pids(wineprefix, program):
    """The processes of one program (kelva.exe, wineserver) in this
    benchmark's own Wine prefix only: other people run the same programs on
    the same machine."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                argv = f.read().split(b"\0")
            if not any(arg.replace(b"\\", b"/").split(b"/")[-1].lower().startswith(program) for arg in argv[:1]):
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + wineprefix).encode() in env:
            found.append(int(entry))
    return found


def kelva_pids(wineprefix):
    return prefix_pids(wineprefix, b"kelva.exe")


# ---- the floods ------------------------------------------------------------

WORDS = ("the quick brown fox jumps over a lazy dog while seven wizards quietly "
         "judge boxing matches and pack my box with five dozen liquor jugs").split()


def chat_text(rng, length):
    words = []
    while sum(len(w) + 1 for w in words) < length:
        words.append(rng.choice(WORDS))
    return " ".join(words)[:length]


def flood_messages(nick, count):
    """Channel messages of about 130 bytes from fifty people."""
    rng = random.Random(1)
    lines = []
    for i in range(count):
        head = f":talker{i % 50}!user{i % 50}@host{i % 50}.example PRIVMSG {CHANNEL} :"
        lines.append(f"{head}{i} {chat_text(rng, 128 - len(head) - 8)}\r\n")
    return "".join(lines)


def flood_list(nick, count):
    """A channel list: 321, one 322 per channel in no particular order, 323."""
    rng = random.Random(2)
    names = [f"#channel{i:06d}" for i in range(count)]
    rng.shuffle(names)
    lines = [f":{SERVER} 321 {nick} Channel :Users  Name\r\n"]
    for name in names:
        topic = chat_text(rng, rng.randint(10, 60))
        lines.append(f":{SERVER} 322 {nick} {name} {rng.randint(1, 500)} :[+nt] {topic}\r\n")
    lines.append(f":{SERVER} 323 {nick} :End of LIST\r\n")
    return "".join(lines)


def flood_names(nick, count):
    """A names reply of the channel in 353 lines of about 400 bytes, then 366."""
    rng = random.Random(3)
    nicks = [rng.choice(["", "", "", "@", "+"]) + f"person{i:05d}" for i in range(count)]
    rng.shuffle(nicks)
    head = f":{SERVER} 353 {nick} = {CHANNEL} :"
    lines, names = [], []
    for name in nicks:
        if names and len(head) + len(" ".join(names + [name])) > 398:
            lines.append(head + " ".join(names) + "\r\n")
            names = []
        names.append(name)
    if names:
        lines.append(head + " ".join(names) + "\r\n")
    lines.append(f":{SERVER} 366 {nick} {CHANNEL} :End of NAMES list\r\n")
    return "".join(lines)


SCENARIOS = {
    "msgs": ("{n:,} channel messages", flood_messages),
    "list": ("LIST of {n:,} channels", flood_list),
    "names": ("names of {n:,} nicks", flood_names),
    "idle": ("idle, connected, {n} s", None),
}


def parse_scenario(text):
    kind, _, number = text.partition(":")
    if kind not in SCENARIOS or not number.isdigit():
        raise argparse.ArgumentTypeError(f"scenario {text!r}: one of msgs:N list:N names:N idle:SECONDS")
    return kind, int(number)


def scenario_title(scenario):
    kind, n = scenario
    return SCENARIOS[kind][0].format(n=n)


# ---- the server side of one round ------------------------------------------

class Connection:
    def __init__(self, sock):
        self.sock = sock
        self.sock.setblocking(False)
        self.inbuf = b""
        self.lines = []
        self.closed = False

    def pump(self, timeout, out=b""):
        """Waits up to timeout for the client; sends what it can of out and
        returns how many bytes of it went."""
        wlist = [self.sock] if out else []
        # Text that a TLS session has decrypted already is not seen by select.
        pending = isinstance(self.sock, ssl.SSLSocket) and self.sock.pending() > 0
        readable, writable, _ = select.select([self.sock], wlist, [], 0 if pending else timeout)
        readable = readable or pending
        sent = 0
        if writable:
            try:
                sent = self.sock.send(out[:262144])
            except (BlockingIOError, InterruptedError, ssl.SSLWantReadError, ssl.SSLWantWriteError):
                sent = 0
            except OSError:
                self.closed = True
        if readable:
            try:
                data = self.sock.recv(65536)
            except (BlockingIOError, InterruptedError, ssl.SSLWantReadError, ssl.SSLWantWriteError):
                data = None
            except OSError:
                data = b""
            if data == b"":
                self.closed = True
            elif data:
                self.inbuf += data
                while b"\n" in self.inbuf:
                    line, self.inbuf = self.inbuf.split(b"\n", 1)
                    self.lines.append(line.rstrip(b"\r").decode("latin-1"))
        return sent

    def take_lines(self):
        lines, self.lines = self.lines, []
        return lines

    def send_all(self, text, timeout=10.0):
        data = text.encode("latin-1")
        end = time.monotonic() + timeout
        while data and not self.closed and time.monotonic() < end:
            data = data[self.pump(0.05, data):]


def answer_chatter(conn, lines, nick):
    """What a client asks on its own (irssi: lag checks, channel mode and
    who), answered briefly so that it goes on."""
    for line in lines:
        words = line.split()
        if not words:
            continue
        cmd = words[0].upper()
        if cmd == "PING":
            conn.send_all(f":{SERVER} PONG {SERVER} :{words[-1].lstrip(':')}\r\n")
        elif cmd == "MODE" and len(words) == 2 and words[1] == CHANNEL:
            conn.send_all(f":{SERVER} 324 {nick} {CHANNEL} +nt\r\n")
        elif cmd == "WHO" and len(words) >= 2:
            conn.send_all(f":{SERVER} 315 {nick} {words[1]} :End of WHO list\r\n")


def register(conn, timeout=60.0):
    """Reads NICK and USER, greets the client and puts it into the channel;
    the client's nickname, or None."""
    nick, user = None, False
    end = time.monotonic() + timeout
    while not (nick and user) and not conn.closed and time.monotonic() < end:
        conn.pump(0.1)
        for line in conn.take_lines():
            words = line.split()
            if not words:
                continue
            cmd = words[0].upper()
            if cmd == "NICK" and len(words) > 1:
                nick = words[1].lstrip(":")
            elif cmd == "USER":
                user = True
            elif cmd == "CAP" and len(words) > 1 and words[1].upper() == "LS":
                conn.send_all(f":{SERVER} CAP * LS :\r\n")
    if not (nick and user):
        return None
    conn.send_all(f":{SERVER} 001 {nick} :Welcome to the flood benchmark {nick}\r\n"
                  f":{SERVER} 375 {nick} :- {SERVER} Message of the day -\r\n"
                  f":{SERVER} 376 {nick} :End of MOTD command\r\n"
                  f":{nick}!{nick}@client.example JOIN :{CHANNEL}\r\n"
                  f":{SERVER} 353 {nick} = {CHANNEL} :{nick} talker0\r\n"
                  f":{SERVER} 366 {nick} {CHANNEL} :End of NAMES list\r\n")
    return nick


class Sampler:
    """CPU seconds and memory of the measured processes over one round."""

    def __init__(self, client_pid, helpers):
        self.client_pid = client_pid
        self.helpers = helpers  # name -> pid
        self.rss_start = rss_mb(client_pid)
        self.rss_peak = self.rss_start
        self.rss_end = self.rss_start
        self.cpu_start = self.cpu_now()
        self.last_sample = 0.0

    def cpu_now(self):
        cpu = {"client": cpu_seconds(self.client_pid)}
        for name, pid in self.helpers.items():
            cpu[name] = cpu_seconds(pid)
        return cpu

    def sample(self, force=False):
        now = time.monotonic()
        if force or now - self.last_sample >= 0.2:
            self.last_sample = now
            rss = rss_mb(self.client_pid)
            if rss > 0:
                self.rss_end = rss
                self.rss_peak = max(self.rss_peak, rss)

    def cpu_used(self):
        now = self.cpu_now()
        return {name: now[name] - self.cpu_start.get(name, 0.0) for name in now}


def wait_for_pong(conn, out, deadline, sampler, nick):
    """Sends out and waits for the client's PONG; when it came, or None."""
    while not conn.closed and time.monotonic() < deadline:
        sent = conn.pump(0.05, out)
        out = out[sent:]
        sampler.sample()
        lines = conn.take_lines()
        if not out and any(line.split()[:1] == ["PONG"] for line in lines if line.strip()):
            return time.monotonic()
        answer_chatter(conn, lines, nick)
    return None


def run_round(conn, nick, scenario, client_pid, helpers, timeout, tracer=None):
    """Floods the registered client and measures; a dict of figures."""
    kind, n = scenario
    generator = SCENARIOS[kind][1]
    flood = generator(nick, n).encode("latin-1") if generator else b""
    settle_end = time.monotonic() + 2.0
    while time.monotonic() < settle_end and not conn.closed:
        conn.pump(0.05)
        answer_chatter(conn, conn.take_lines(), nick)
    if tracer:
        tracer.start(client_pid, helpers)
    sampler = Sampler(client_pid, helpers)
    start = time.monotonic()
    if kind == "idle":
        while time.monotonic() - start < n and not conn.closed:
            conn.pump(0.2)
            answer_chatter(conn, conn.take_lines(), nick)
            sampler.sample()
        idle_cpu = sampler.cpu_used()
        start = time.monotonic()
    pong_at = wait_for_pong(conn, flood + b"PING :flood-end\r\n", start + timeout, sampler, nick)
    # A second PING once the first is answered: its PONG comes when the
    # client has also done what it put off until the flood was over.
    settled_at = None
    if pong_at:
        settled_at = wait_for_pong(conn, b"PING :settled\r\n", pong_at + timeout, sampler, nick)
    sampler.sample(force=True)
    if tracer:
        tracer.stop()
    cpu = idle_cpu if kind == "idle" else sampler.cpu_used()
    return {
        "time": pong_at - start if pong_at else None,
        "settled": settled_at - start if settled_at else None,
        "cpu": cpu,
        "rss": (sampler.rss_start, sampler.rss_peak, sampler.rss_end),
        "closed": conn.closed and pong_at is None,
    }


# ---- the two clients ---------------------------------------------------------

class KelvaClient:
    def __init__(self, args, tls=None, build=None, name=None):
        self.args = args
        self.tls = tls  # the server's TLS context, or None for plain text
        self.build = build or args.build  # where kelva.exe and the driver are
        self.name = name or ("KELVA TLS" if tls else "KELVA")
        self.driver = None
        self.pid = None
        self.workdir = os.path.join(self.build, "e2e-work", "bench")
        self.helpers = {"wineserver": args.wineserver_pid}
        if args.xvfb_pid:
            self.helpers["display"] = args.xvfb_pid

    def start(self, port, trace=None):
        if os.path.isdir(self.workdir):
            shutil.rmtree(self.workdir)
        env = dict(os.environ)
        if trace:
            env["KELVA_WINEDEBUG"] = trace
        if self.tls:
            env["KELVA_BENCH_TLS"] = self.args.fingerprint
        log = open(os.path.join(self.args.logdir, "kelva-trace.log" if trace else "kelva-driver.log"), "wb")
        self.driver = subprocess.Popen([self.args.wine, os.path.join(self.build, "kelva_driver.exe"),
                                        "bench-client", str(port)], stdout=log, stderr=log, env=env)
        log.close()

    def find_pid(self):
        for _ in range(100):
            pids = kelva_pids(self.args.wineprefix)
            if len(pids) == 1:
                self.pid = pids[0]
                # The server that serves the prefix: the one the session
                # started, unless a client was quicker to start one.
                servers = prefix_pids(self.args.wineprefix, b"wineserver")
                if servers:
                    self.helpers["wineserver"] = servers[0]
                return self.pid
            time.sleep(0.1)
        return None

    def stop(self):
        os.makedirs(self.workdir, exist_ok=True)
        open(os.path.join(self.workdir, "done.txt"), "w").close()
        try:
            self.driver.wait(30)
        except subprocess.TimeoutExpired:
            stop_pid(self.driver.pid)
            self.driver.wait(5)
        # The driver ends its client; one left behind is ours alone to end.
        for pid in kelva_pids(self.args.wineprefix):
            stop_pid(pid)


class IrssiClient:
    name = "irssi"
    tls = None

    def __init__(self, args):
        self.args = args
        self.socket_name = f"kelva-bench-{os.getpid()}"
        self.home = None
        self.pid = None
        self.tmux_pid = None
        self.helpers = {}

    def tmux(self, *words):
        return subprocess.run(["tmux", "-L", self.socket_name, "-f", "/dev/null", *words],
                              capture_output=True, text=True, timeout=20).stdout.strip()

    def start(self, port, trace=None):
        self.home = tempfile.mkdtemp(prefix="irssi-bench-")
        with open(os.path.join(self.home, "config"), "w") as f:
            f.write('settings = { core = { real_name = "Bench"; user_name = "bench"; nick = "Irssi"; }; };\n')
        command = (f"exec irssi --home={self.home} --connect=127.0.0.1 --port={port} --nick=Irssi"
                   f" 2>{self.home}/stderr")
        self.tmux("new-session", "-d", "-x", "160", "-y", "48", command)

    def find_pid(self):
        for _ in range(100):
            pane = self.tmux("list-panes", "-F", "#{pane_pid}")
            server = self.tmux("display-message", "-p", "#{pid}")
            if pane.isdigit() and server.isdigit():
                self.pid, self.tmux_pid = int(pane), int(server)
                self.helpers = {"display": self.tmux_pid}
                return self.pid
            time.sleep(0.1)
        return None

    def stop(self):
        stop_pid(self.pid)
        stop_pid(self.tmux_pid)
        if self.home:
            shutil.rmtree(self.home, ignore_errors=True)


class SyscallCounter:
    """Counts the system calls of kelva.exe during the flood with strace,
    sorted by what is at the other end: the wineserver (its request and
    reply pipes), a unix socket (the X server, or the wineserver passing a
    handle), or the IRC connection."""

    CALLS = "read,write,readv,writev,recvmsg,sendmsg,recvfrom,sendto,poll,ppoll,select,pselect6"

    def __init__(self, logdir):
        self.path = os.path.join(logdir, "kelva-strace.log")
        self.proc = None
        self.pid = None

    def start(self, pid, helpers):
        self.pid = pid
        self.proc = subprocess.Popen(["strace", "-f", "-qq", "-e", f"trace={self.CALLS}", "-e", "signal=none",
                                      "-o", self.path, "-p", str(pid)], stderr=subprocess.DEVNULL)
        time.sleep(1.0)  # attached to every thread

    def stop(self):
        kinds = self.fd_kinds()
        stop_pid(self.proc.pid)
        self.proc.wait(10)
        self.summary = self.count(kinds)

    def fd_kinds(self):
        sockets = {}
        for table, kind in (("unix", "unix socket"), ("tcp", "IRC connection"), ("tcp6", "IRC connection")):
            try:
                with open(f"/proc/net/{table}") as f:
                    next(f)
                    for line in f:
                        fields = line.split()
                        inode = fields[6] if table == "unix" else fields[9]
                        sockets[inode] = kind
            except OSError:
                pass
        kinds = {}
        fd_dir = f"/proc/{self.pid}/fd"
        for fd in os.listdir(fd_dir):
            try:
                link = os.readlink(os.path.join(fd_dir, fd))
            except OSError:
                continue
            if link.startswith("pipe:"):
                kinds[fd] = "wineserver pipe"
            elif link.startswith("socket:"):
                kinds[fd] = sockets.get(link[8:-1], "socket")
            else:
                kinds[fd] = "file"
        return kinds

    def count(self, kinds):
        counts = {}
        with open(self.path, errors="replace") as f:
            for line in f:
                words = line.split(None, 1)
                if len(words) < 2 or "(" not in words[1]:
                    continue
                call, rest = words[1].split("(", 1)
                fd = rest.split(",", 1)[0].split(")", 1)[0].strip()
                kind = kinds.get(fd, "other") if call not in ("poll", "ppoll", "select", "pselect6") else "-"
                counts[(call, kind)] = counts.get((call, kind), 0) + 1
        return counts


class Profiler:
    """Samples kelva.exe and the wineserver with perf during the flood, one
    sample for every 250 µs of CPU time, and gives the CPU time of each by
    module and by function: kelva.exe's own functions and the exported ones
    of Wine's DLLs from their symbol tables (nm), whose images Wine maps at
    their preferred base; Wine's Unix libraries and the kernel as perf names
    them. A function of a DLL that exports nothing near it counts under the
    exported one before it."""

    PERIOD_US = 250

    def __init__(self, logdir, kelva_exe):
        self.path = os.path.join(logdir, "kelva-perf.data")
        self.kelva_exe = kelva_exe
        self.proc = None
        self.pids = {}

    def start(self, pid, helpers):
        self.pids = {pid: "kelva.exe", helpers["wineserver"]: "wineserver"}
        self.proc = subprocess.Popen(["perf", "record", "-q", "-e", "cpu-clock", "-c", str(self.PERIOD_US * 1000),
                                      "-o", self.path, "-p", ",".join(str(p) for p in self.pids)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)  # attached to every thread

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        self.proc.wait(60)
        self.summary = self.count()

    @staticmethod
    def pe_symbols(path):
        """(address, name) of a PE image's functions, sorted."""
        out = subprocess.run(["x86_64-w64-mingw32-nm", "-C", "--defined-only", path],
                             capture_output=True, text=True).stdout
        symbols = []
        for line in out.splitlines():
            fields = line.split(" ", 2)
            if len(fields) == 3 and fields[1] in "Tt" and not fields[2].startswith("."):
                symbols.append((int(fields[0], 16), fields[2]))
        return sorted(symbols)

    def count(self):
        """CPU seconds by (process, module, function)."""
        out = subprocess.run(["perf", "script", "-i", self.path, "-F", "pid,ip,sym,dso"],
                             capture_output=True, text=True).stdout
        tables = {}
        kelva = self.pe_symbols(self.kelva_exe)
        kelva_range = (kelva[0][0], kelva[-1][0] + 4096) if kelva else (0, 0)
        counts = {}
        for line in out.splitlines():
            words = line.split()
            if len(words) < 3:
                continue
            pid, ip, dso = int(words[0]), int(words[1], 16), words[-1].strip("()")
            sym = " ".join(words[2:-1]) or "?"
            if kelva_range[0] <= ip < kelva_range[1]:
                module, table = "kelva.exe", kelva
            elif dso.endswith((".dll", ".drv", ".exe")) and os.path.isfile(dso):
                module = os.path.basename(dso)
                table = tables.get(dso) or tables.setdefault(dso, self.pe_symbols(dso))
            else:
                module, table = ("kernel" if "kernel" in dso else os.path.basename(dso)), None
            if table:
                at = bisect.bisect_right(table, (ip, "\uffff")) - 1
                sym = table[at][1] if at >= 0 else "?"
            key = (self.pids.get(pid, str(pid)), module, sym.split("+")[0])
            counts[key] = counts.get(key, 0) + self.PERIOD_US / 1e6
        return counts

    def print_summary(self):
        def totals(index):
            sums = {}
            for key, seconds in self.summary.items():
                sums[key[:index]] = sums.get(key[:index], 0) + seconds
            return sorted(sums.items(), key=lambda kv: -kv[1])
        for (process,), seconds in totals(1):
            print(f"  {seconds:7.3f} s  {process}")
        print("  by module:")
        for (process, module), seconds in totals(2)[:16]:
            print(f"  {seconds:7.3f} s  {process}: {module}")
        print("  by function:")
        for (process, module, sym), seconds in totals(3)[:40]:
            print(f"  {seconds:7.3f} s  {process}: {module} {sym}")


def summarize_messages(path):
    """Window messages reaching window procedures in a +message trace, by
    window class and message name."""
    counts = {}
    with open(path, errors="replace") as f:
        for line in f:
            if "spy_enter_message" not in line:
                continue
            try:
                cls = line.split('L"', 1)[1].split('"', 1)[0]
                name = line.split("]", 1)[1].split()[0]
            except IndexError:
                continue
            counts[(cls, name)] = counts.get((cls, name), 0) + 1
    return counts


def accept_tls(context, sock, timeout=60.0):
    """The server side of the client's TLS handshake, without blocking."""
    sock.setblocking(False)
    tls = context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False)
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            tls.do_handshake()
            return tls
        except ssl.SSLWantReadError:
            select.select([tls], [], [], 0.1)
        except ssl.SSLWantWriteError:
            select.select([], [tls], [], 0.1)
    raise socket.timeout("TLS handshake")


def tls_server(build):
    """A TLS context with the local server's self-signed certificate, made
    once by scripts/tls-certs.sh, and that certificate's SHA-256 fingerprint
    as the client shows it."""
    certs = os.path.join(build, "..", "bench-certs")
    subprocess.run([os.path.join(os.path.dirname(os.path.abspath(__file__)), "tls-certs.sh"), certs], check=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(certs, "self.crt"), os.path.join(certs, "self.key"))
    with open(os.path.join(certs, "self.crt")) as f:
        digest = hashlib.sha256(ssl.PEM_cert_to_DER_cert(f.read())).hexdigest().upper()
    return context, ":".join(digest[i:i + 2] for i in range(0, 64, 2))


def measure(client, scenario, timeout, trace=None, tracer=None):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(90)
    port = listener.getsockname()[1]
    client.start(port, trace)
    conn = None
    try:
        sock, _ = listener.accept()
        if client.tls:
            sock = accept_tls(client.tls, sock)
        conn = Connection(sock)
        nick = register(conn)
        pid = client.find_pid()
        if nick is None or pid is None:
            return {"error": f"{client.name} did not register"}
        return run_round(conn, nick, scenario, pid, client.helpers, timeout, tracer)
    except socket.timeout:
        return {"error": f"{client.name} did not connect"}
    finally:
        if conn:
            conn.sock.close()
        listener.close()
        client.stop()


# ---- the table ---------------------------------------------------------------------

def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def fmt_time(results, timeout, key="time"):
    times = [r.get(key) for r in results]
    if not results:
        return "-"
    if all(t is None for t in times):
        return f"> {timeout:g} s"
    value = median(times)
    missing = sum(t is None for t in times)
    text = f"{value:.3f} s" if value < 10 else f"{value:.1f} s"
    return text + (f" ({missing} > {timeout:g} s)" if missing else "")


def cpu_of(results, key, per=None):
    values = [r["cpu"].get(key) for r in results if "cpu" in r and key in r["cpu"]]
    value = median(values)
    if value is None:
        return "-"
    if per:
        return f"{100 * value / per:.2f} %"
    return f"{value:.2f} s"


def rss_of(results):
    rows = [r["rss"] for r in results if "rss" in r]
    if not rows:
        return "-"
    start, peak, end = (median([row[i] for row in rows]) for i in range(3))
    return f"{start:.1f}/{peak:.1f}/{end:.1f}"


def ratio(kelva, irssi, timeout, key="time"):
    k, i = median([r.get(key) for r in kelva]), median([r.get(key) for r in irssi])
    if k is None:
        return f"> {timeout / i:.0f}" if i else "-"
    if not i:
        return "-"
    return f"{k / i:.2f}"


def print_tls_table(results, scenarios, args):
    print()
    print(f"Flood benchmark over TLS, {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}, "
          f"{platform.node()}: {os.cpu_count()} cores, {platform.machine()}, {cpu_model()}")
    print(f"Rounds: {args.rounds}, medians; time = from the flood's first byte to the client's PONG")
    print()
    header = ["scenario", "KELVA plain", "KELVA TLS", "TLS/plain", "settled plain", "settled TLS",
              "TLS/plain", "kelva.exe CPU plain", "kelva.exe CPU TLS"]
    rows = []
    for scenario in scenarios:
        p, t = results[("KELVA", scenario)], results[("KELVA TLS", scenario)]
        rows.append([scenario_title(scenario), fmt_time(p, args.timeout), fmt_time(t, args.timeout),
                     ratio(t, p, args.timeout), fmt_time(p, args.timeout, "settled"),
                     fmt_time(t, args.timeout, "settled"), ratio(t, p, args.timeout, "settled"),
                     cpu_of(p, "client"), cpu_of(t, "client")])
    print_rows(header, rows)


def print_table(results, scenarios, args, load_before, load_after):
    print()
    print(f"Flood benchmark, {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}, "
          f"{platform.node()}: {os.cpu_count()} cores, {platform.machine()}, {cpu_model()}")
    print(f"Load (uptime) before: {load_before}")
    print(f"Load (uptime) after:  {load_after}")
    print(f"Rounds: {args.rounds}, medians; time = from the flood's first byte to the client's PONG; "
          f"limit {args.timeout:g} s")
    print()
    before = args.before_build is not None
    header = ["scenario", "irssi", "KELVA", "KELVA/irssi"] + (["KELVA before", "before/irssi"] if before else [])
    for key in ("time", "settled"):
        if key == "settled":
            print()
            print("Until the client has done all the flood asked of it (a second PING, sent when the first is answered):")
        rows = []
        for scenario in scenarios:
            k, i = results[("KELVA", scenario)], results[("irssi", scenario)]
            row = [scenario_title(scenario), fmt_time(i, args.timeout, key), fmt_time(k, args.timeout, key),
                   ratio(k, i, args.timeout, key)]
            if before:
                b = results[(BEFORE, scenario)]
                row += [fmt_time(b, args.timeout, key), ratio(b, i, args.timeout, key)]
            rows.append(row)
        print_rows(header, rows)
    print()
    header = ["scenario", "kelva.exe CPU", "wineserver", "Xvfb", "irssi CPU", "tmux",
              "kelva.exe RSS MB start/peak/end", "irssi RSS MB"]
    if before:
        header += ["before: kelva.exe CPU", "wineserver", "RSS MB"]
    rows = []
    for scenario in scenarios:
        k, i = results[("KELVA", scenario)], results[("irssi", scenario)]
        per = scenario[1] if scenario[0] == "idle" else None
        row = [scenario_title(scenario), cpu_of(k, "client", per), cpu_of(k, "wineserver", per),
               cpu_of(k, "display", per), cpu_of(i, "client", per), cpu_of(i, "display", per),
               rss_of(k), rss_of(i)]
        if before:
            b = results[(BEFORE, scenario)]
            row += [cpu_of(b, "client", per), cpu_of(b, "wineserver", per), rss_of(b)]
        rows.append(row)
    print_rows(header, rows)
    print("\nCPU: seconds during the flood (idle: share of one core); Xvfb and tmux draw for the client.")
    for (name, scenario), rs in results.items():
        for r in rs:
            if "error" in r:
                print(f"note: {name}, {scenario_title(scenario)}: {r['error']}")


def print_rows(header, rows):
    widths = [max(len(str(x)) for x in col) for col in zip(header, *rows)]
    line = lambda cells: "| " + " | ".join(str(c).ljust(w) for c, w in zip(cells, widths)) + " |"
    print(line(header))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for row in rows:
        print(line(row))


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown processor"


def uptime_load():
    try:
        return subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip()
    except OSError:
        return "unknown"


# The name of kelva.exe of an earlier tree, measured in the same rounds.
BEFORE = "KELVA before"

DEFAULT_SCENARIOS = ["msgs:10000", "msgs:100000", "list:10000", "list:50000", "names:2000", "idle:10"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("scenarios", nargs="*", type=parse_scenario,
                        help="msgs:N, list:N, names:N or idle:SECONDS (default: %s)" % " ".join(DEFAULT_SCENARIOS))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--timeout", type=float, default=300.0, help="seconds to wait for the PONG")
    parser.add_argument("--only", choices=["KELVA", "irssi"], help="measure one client")
    parser.add_argument("--trace", metavar="WINEDEBUG",
                        help="one KELVA round per scenario with these Wine debug channels, logged to LOGDIR")
    parser.add_argument("--syscalls", action="store_true",
                        help="one KELVA round per scenario under strace, counting its system calls by peer")
    parser.add_argument("--profile", action="store_true",
                        help="one KELVA round per scenario under perf: CPU time by process, module and function")
    parser.add_argument("--build", required=True)
    parser.add_argument("--wine", required=True)
    parser.add_argument("--wineprefix", required=True)
    parser.add_argument("--wineserver-pid", type=int, required=True)
    parser.add_argument("--xvfb-pid", type=int)
    parser.add_argument("--logdir", required=True)
    parser.add_argument("--tls", action="store_true",
                        help="kelva.exe in plain text against kelva.exe over TLS, instead of against irssi")
    parser.add_argument("--before-build", metavar="DIR",
                        help="also measure the kelva.exe (and driver) in DIR, an earlier tree's, in the same rounds")
    args = parser.parse_args()
    scenarios = args.scenarios or [parse_scenario(s) for s in DEFAULT_SCENARIOS]
    os.makedirs(args.logdir, exist_ok=True)

    kelva, irssi = KelvaClient(args), IrssiClient(args)
    if args.tls:
        context, args.fingerprint = tls_server(args.build)
        irssi = KelvaClient(args, context)
    if args.trace or args.syscalls or args.profile:
        for scenario in scenarios:
            tracer = None
            if args.syscalls:
                tracer = SyscallCounter(args.logdir)
            elif args.profile:
                tracer = Profiler(args.logdir, os.path.join(args.build, "kelva.exe"))
            r = measure(kelva, scenario, args.timeout, trace=args.trace, tracer=tracer)
            print(f"{scenario_title(scenario)}: {r}")
            if args.syscalls:
                for (call, kind), n in sorted(tracer.summary.items(), key=lambda kv: -kv[1]):
                    print(f"  {n:9d} {call} ({kind})")
            elif args.profile:
                tracer.print_summary()
            if args.trace:
                counts = summarize_messages(os.path.join(args.logdir, "kelva-trace.log"))
                for (cls, name), n in sorted(counts.items(), key=lambda kv: -kv[1])[:30]:
                    print(f"  {n:9d} {name} to {cls}")
        return
    everyone = [kelva, irssi]
    if args.before_build and not args.tls:
        everyone.append(KelvaClient(args, build=args.before_build, name=BEFORE))
    clients = [c for c in everyone if args.only in (None, c.name)]
    results = {(c.name, s): [] for c in everyone for s in scenarios}
    load_before = uptime_load()
    for rnd in range(args.rounds):
        order = clients if rnd % 2 == 0 else list(reversed(clients))
        for scenario in scenarios:
            for client in order:
                r = measure(client, scenario, args.timeout)
                results[(client.name, scenario)].append(r)
                shown = f"{r['time']:.3f} s" if r.get("time") else r.get("error", f"> {args.timeout:g} s")
                if r.get("settled"):
                    shown += f" (settled {r['settled']:.3f} s)"
                print(f"round {rnd + 1}, {scenario_title(scenario)}, {client.name}: {shown}", flush=True)
    if args.tls:
        print_tls_table(results, scenarios, args)
        return
    print_table(results, scenarios, args, load_before, uptime_load())


if __name__ == "__main__":
    sys.exit(main())
