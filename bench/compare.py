#!/usr/bin/env python3
"""Side-by-side playback benchmark: Lirabox (one or more builds) against
Audacious, mpv and VLC when installed, on the same generated media.

Per run: exec-to-first-buffer, CPU seconds per second of playback
(utime+stime of /proc/PID/stat over a window after start-up) and peak RSS
(VmHWM); for Lirabox also exec-to-window-shown without media and with a
100,000-entry collection. FluidSynth's offline render of the MIDI tune gives
the synthesis floor. Prints medians and the single runs.

  bench/compare.py                          # build/lirabox, 3 runs, 30 s window
  bench/compare.py --quick                  # 1 run, 8 s window
  bench/compare.py --lirabox old=build-old/lirabox --lirabox new=build/lirabox
  bench/compare.py --kinds wav,midi --window 60 --keep /tmp/media

The media maker is build/bench/make-bench-media (ninja -C build make-bench-media).
"""
import argparse, os, re, shutil, signal, statistics, subprocess, sys, tempfile, threading, time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICK = os.sysconf("SC_CLK_TCK")
BIG_ENTRIES = 100_000

# The first buffer reaching Lirabox's sink is its preroll: the bin that
# LIRABOX_AUDIO_SINK describes (binN; playbin's own bins have names) gets its
# async-done. GST_STATES logs state changes only, nothing per buffer.
LIRABOX_SINK = "fakesink sync=true"
LIRABOX_FIRST = re.compile(r"handle_async_done:<bin\d+> committing state from READY to PAUSED")
AUDACIOUS_FIRST = re.compile(r"\[setup_output\]")
MPV_FIRST = re.compile(r"^AO: \[")
VLC_FIRST = re.compile(r"audio output.*using audio output module|audio output.*using .*dummy")
MPRIS_NAME = "org.mpris.MediaPlayer2.lirabox"


def proc_cpu(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def proc_hwm_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


class BusWatch:
    """A private session bus and a monitor noting when a name gets an owner."""

    def __init__(self, folder):
        path = os.path.join(folder, "bus")
        self.address = f"unix:path={path}"
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", f"--address={self.address}"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(path):
                break
            time.sleep(0.02)
        self.owned = []  # (wall time, name)
        self.monitor = subprocess.Popen(
            ["dbus-monitor", "--address", self.address,
             "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged'"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        threading.Thread(target=self._read, daemon=True).start()
        time.sleep(0.3)

    def _read(self):
        stamp, strings = None, []
        for line in self.monitor.stdout:
            m = re.match(r"signal time=([\d.]+)", line)
            if m:
                stamp, strings = float(m.group(1)), []
                continue
            m = re.match(r'\s+string "(.*)"', line)
            if m and stamp is not None:
                strings.append(m.group(1))
                if len(strings) == 3 and strings[2]:  # name, old owner, new owner
                    self.owned.append((stamp, strings[0]))

    def first_owned(self, prefix, since):
        return next((t for t, name in self.owned if t >= since and name.startswith(prefix)), None)

    def close(self):
        for p in (self.monitor, self.daemon):
            p.terminate()
            p.wait()


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def run_player(cmd, env, first_re, window, bus=None, settle=1.0, timeout=20.0):
    """One run: (first buffer or window shown in ms, CPU s/s, peak RSS MB).
    window 0 measures start-up only: the run ends when the mark is seen."""
    first = {}
    wall0, t0 = time.time(), time.monotonic()
    proc = subprocess.Popen(cmd, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, errors="replace")

    def read():
        for line in proc.stdout:
            if first_re and "t" not in first and first_re.search(line):
                first["t"] = time.monotonic() - t0

    threading.Thread(target=read, daemon=True).start()
    deadline = t0 + timeout
    mark = None
    while time.monotonic() < deadline and proc.poll() is None:
        if first_re and "t" in first:
            mark = first["t"]
        elif bus and (owned := bus.first_owned(MPRIS_NAME, wall0)) is not None:
            mark = owned - wall0
        if mark is not None:
            break
        time.sleep(0.005)
    cpu = rss = float("nan")
    if proc.poll() is None and window > 0:
        time.sleep(settle)
        c0, w0 = proc_cpu(proc.pid), time.monotonic()
        time.sleep(window)
        if proc.poll() is None:
            cpu = (proc_cpu(proc.pid) - c0) / (time.monotonic() - w0)
    if proc.poll() is None:
        if window == 0:
            time.sleep(0.3)  # what the first paint and the MPRIS set-up add
        rss = proc_hwm_mb(proc.pid)
    stop(proc)
    return (mark * 1000 if mark is not None else float("nan")), cpu, rss


def make_media(args, folder):
    maker = args.maker or os.path.join(ROOT, "build", "bench", "make-bench-media")
    subprocess.run([maker, folder, str(args.length)], check=True)
    media = {k: os.path.join(folder, f) for k, f in
             (("wav", "tune.wav"), ("midi", "tune.mid"), ("cue", "disc.cue"))}

    def write_list(name, entries):
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write("".join(e + "\r\n" for e in entries).encode("cp932"))
        return path

    media["lst:wav"] = write_list("wav.lst", [media["wav"]])
    media["lst:midi"] = write_list("midi.lst", [media["midi"]])
    media["lst:cd"] = write_list("cd.lst", ["E:\\ CDﾄﾗｯｸ 01"])
    media["lst:big"] = write_list("big.lst", [f"C:\\ミュージック\\アルバム{i // 12}\\曲名その{i}.mid"
                                               for i in range(BIG_ENTRIES)])
    return media


def audacious_config(folder, soundfont):
    """A configuration with the SDL output (SDL_AUDIODRIVER=dummy plays in
    real time into nothing) and AMIDI-Plug on TimGM6mb."""
    base = os.path.join(folder, "audacious-config")
    conf = os.path.join(base, "audacious")
    os.makedirs(conf, exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=base, SDL_AUDIODRIVER="dummy")
    p = subprocess.Popen(["audacious", "-H"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(3)  # writes its plugin registry on start
    stop(p)
    registry = os.path.join(conf, "plugin-registry")
    kind, lines = None, []
    for line in open(registry).read().split("\n"):
        m = re.match(r"^(\w+) (/\S+\.so)$", line)
        if m:
            kind, path = m.groups()
        if line.startswith("enabled ") and kind == "output":
            line = "enabled %d" % path.endswith("/sdlout.so")
        lines.append(line)
    open(registry, "w").write("\n".join(lines))
    with open(os.path.join(conf, "config"), "w") as f:
        f.write(f"[amidiplug]\nfsyn_soundfont_file={soundfont}\n")
    return base


def fluidsynth_floor(midi, folder, seconds, soundfont):
    out = os.path.join(folder, "render.wav")
    t = time.monotonic()
    pid = subprocess.Popen(["fluidsynth", "-ni", "-F", out, "-r", "44100", soundfont, midi],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).pid
    _, _, usage = os.wait4(pid, 0)
    wall = time.monotonic() - t
    os.remove(out)
    return (usage.ru_utime + usage.ru_stime) / seconds, wall


def players(args, media, folder, bus):
    """(kind, label, make_command_and_env, first-buffer pattern or None for the bus)."""
    base = dict(os.environ, QT_QPA_PLATFORM="offscreen", DBUS_SESSION_BUS_ADDRESS=bus.address)
    jobs = []
    for label, binary in args.lirabox:
        def lirabox(lst, drives="", binary=binary, debug=True):
            def make(run_dir):
                # Every player gets the same SoundFont (Lirabox's own choice
                # is default-GM.sf2, whichever font that is on this machine).
                os.makedirs(os.path.join(run_dir, "Quenda"))
                with open(os.path.join(run_dir, "Quenda", "Lirabox.conf"), "w") as f:
                    f.write(f"[Settings]\nSoundFont={args.soundfont}\n")
                env = dict(base, XDG_CONFIG_HOME=run_dir, LIRABOX_AUDIO_SINK=LIRABOX_SINK,
                           LIRABOX_DRIVES=drives)
                if debug:
                    env.update(GST_DEBUG="GST_STATES:4", GST_DEBUG_NO_COLOR="1")
                return ([binary, lst, "/P"] if lst else [binary]), env
            return make
        jobs += [("wav", label, lirabox(media["lst:wav"]), LIRABOX_FIRST),
                 ("midi", label, lirabox(media["lst:midi"]), LIRABOX_FIRST),
                 ("cd", label, lirabox(media["lst:cd"], "E=" + media["cue"]), LIRABOX_FIRST),
                 ("window", label, lirabox(None, debug=False), None),
                 ("big", label, lirabox(media["lst:big"], debug=False), None)]
    if shutil.which("audacious") and not args.no_others:
        template = audacious_config(folder, args.soundfont)

        def audacious(path):
            def make(run_dir):
                shutil.copytree(template, run_dir, dirs_exist_ok=True)
                return (["audacious", "-H", "-V", "-p", path],
                        dict(base, XDG_CONFIG_HOME=run_dir, SDL_AUDIODRIVER="dummy"))
            return make
        jobs += [("wav", "audacious", audacious(media["wav"]), AUDACIOUS_FIRST),
                 ("midi", "audacious", audacious(media["midi"]), AUDACIOUS_FIRST)]
    if shutil.which("mpv") and not args.no_others:
        def mpv(run_dir):
            return (["mpv", "--no-config", "--ao=null", "--vo=null", "--no-video", media["wav"]],
                    dict(base, XDG_CONFIG_HOME=run_dir))
        jobs.append(("wav", "mpv", mpv, MPV_FIRST))
    if shutil.which("cvlc") and not args.no_others:
        def vlc(run_dir):
            return (["cvlc", "-v", "--aout=dummy", "--no-video", media["wav"]],
                    dict(base, XDG_CONFIG_HOME=run_dir, HOME=run_dir))
        jobs.append(("wav", "vlc", vlc, VLC_FIRST))
    return [j for j in jobs if j[0] in args.kinds]


def cell(values, fmt):
    good = [v for v in values if v == v]
    if not good:
        return "n/a"
    text = fmt % statistics.median(good)
    return text + (" (" + " / ".join(fmt % v for v in values) + ")" if len(values) > 1 else "")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--lirabox", action="append", default=[], metavar="[LABEL=]PATH",
                    help="a lirabox binary; repeat to compare builds (default build/lirabox)")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--window", type=float, default=30.0,
                    help="seconds of playback measured (CPU is counted in 10 ms ticks: 30 s gives ±0.0003 s/s)")
    ap.add_argument("--length", type=int, default=120, help="seconds of generated media")
    ap.add_argument("--quick", action="store_true", help="one run, 8 s window")
    ap.add_argument("--kinds", default="wav,midi,cd,window,big")
    ap.add_argument("--no-others", action="store_true", help="Lirabox only")
    ap.add_argument("--soundfont", default="/usr/share/sounds/sf2/TimGM6mb.sf2", help="for every MIDI player")
    ap.add_argument("--maker", help="the make-bench-media program")
    ap.add_argument("--keep", metavar="DIR", help="make the media in DIR and leave it there")
    args = ap.parse_args()
    if args.quick:
        args.runs, args.window = 1, min(args.window, 8.0)
    args.kinds = args.kinds.split(",")
    args.lirabox = [(e.split("=", 1) if "=" in e else (os.path.basename(os.path.dirname(os.path.abspath(e)))
                                                        + "/lirabox", e))
                    for e in (args.lirabox or [os.path.join(ROOT, "build", "lirabox")])]
    args.lirabox = [(label, os.path.abspath(path)) for label, path in args.lirabox]

    folder = args.keep or tempfile.mkdtemp(prefix="lirabox-bench-")
    os.makedirs(folder, exist_ok=True)
    bus = BusWatch(folder)
    try:
        media = make_media(args, folder)
        jobs = players(args, media, folder, bus)
        results = {}
        for run in range(args.runs):
            for kind, label, make, first_re in jobs:  # interleaved: load changes hit every player alike
                run_dir = tempfile.mkdtemp(dir=folder, prefix="run-")
                cmd, env = make(run_dir)
                window = 0 if kind in ("window", "big") else args.window
                r = run_player(cmd, env, first_re, window, bus=bus if first_re is None else None)
                results.setdefault((kind, label), []).append(r)
                print(f"run {run + 1} {kind:6} {label:18} first {r[0]:8.1f} ms  cpu {r[1]:.4f} s/s  "
                      f"hwm {r[2]:6.1f} MB", file=sys.stderr)
                shutil.rmtree(run_dir, ignore_errors=True)
        floor = fluidsynth_floor(media["midi"], folder, args.length, args.soundfont) if (
            "midi" in args.kinds and shutil.which("fluidsynth")) else None
    finally:
        bus.close()
        if not args.keep:
            shutil.rmtree(folder, ignore_errors=True)

    load = open("/proc/loadavg").read().split()[:3]
    print(f"\n{args.runs} run(s), {args.window:g} s window, load average {' '.join(load)}, "
          f"{os.cpu_count()} CPUs, SoundFont {os.path.basename(args.soundfont)}. Median (runs).")
    print("| kind | player | first buffer / shown (ms) | CPU (s per s) | peak RSS (MB) |")
    print("|---|---|---|---|---|")
    for (kind, label), rs in results.items():
        cpu = "—" if kind in ("window", "big") else cell([r[1] for r in rs], "%.4f")
        print(f"| {kind} | {label} | {cell([r[0] for r in rs], '%.0f')} | {cpu} | {cell([r[2] for r in rs], '%.1f')} |")
    if floor:
        print(f"| midi | fluidsynth -F (offline) | — | {floor[0]:.4f} | — |")
    print("\nfirst buffer: Lirabox, its sink's preroll (GST_STATES); Audacious, its output set up (-V); "
          "mpv, its AO line. window/big: exec to the MPRIS name (the first show).")


if __name__ == "__main__":
    main()
