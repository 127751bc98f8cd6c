#!/usr/bin/python3
# What a screen reader meets in the updater (argv[1]) through AT-SPI, on a private X server and
# D-Bus session. Skipped (77) without Xvfb, D-Bus or pyatspi. Ends and reaps all it started.
import ctypes, http.server, importlib.util, os, shutil, signal, subprocess, sys, tempfile
import threading, time

if None in (shutil.which("Xvfb"), shutil.which("dbus-daemon"), importlib.util.find_spec("pyatspi")):
    print("screen reader test: Xvfb, dbus-daemon or pyatspi is missing; skipped")
    sys.exit(77)
ctypes.CDLL(None).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER: orphans come back to us
scratch, started = tempfile.mkdtemp(prefix="zorvane-screen-reader."), []


class PacedClient(http.server.BaseHTTPRequestHandler):
    def do_GET(self):  # the client (nothing else is asked for), in far more pieces than percents
        self.send_response(200)
        self.send_header("Content-Length", str(400 * 1024))
        self.end_headers()
        for _ in range(400):
            self.wfile.write(b"z" * 1024)
            time.sleep(0.02)


def start(*command, **options):
    started.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, **options))
    return started[-1]


def tree(node):
    return [node] + [below for child in node for below in tree(child)]


def check(program, site):
    import pyatspi
    from gi.repository import GLib
    deadline = time.monotonic() + 60
    while not (app := next((a for a in pyatspi.Registry.getDesktop(0)
                            if a.get_process_id() == program.pid and a.childCount), None)):
        assert time.monotonic() < deadline, "the updater never reached the accessibility bus"
        time.sleep(0.1)
    nodes = tree(app)
    named = {(n.getRoleName(), n.name) for n in nodes}
    button = "push button"
    for role, name in [("label", "زوروان آنلاین سردل"), ("label", site),
                       (button, "دانلود آخرین نسخه"), ("progress bar", "پیشرفت دریافت"),
                       (button, "پرسیدن شماره نسخه از سرور"), ("text", "پاسخ سرور به پرسش نسخه"),
                       (button, "بستن همه برنامه\u200cهای notepad.exe")]:
        assert (role, name) in named, (role, name, named)
    assert not any("\u064a" in n.name for n in nodes), "Arabic yeh in a Persian name"
    bars = [n.queryValue() for n in nodes if n.getRoleName() == "progress bar"]
    assert len(bars) == 1, "the unused bar is in the tree"
    assert (bars[0].minimumValue, bars[0].currentValue, bars[0].maximumValue) == (0, 0, 100)
    heard = []
    def announced(event):  # the bar is the only control with a value that changes
        heard.append(bars[0].currentValue)
        if heard[-1] == 100:
            pyatspi.Registry.stop()
    pyatspi.Registry.registerEventListener(announced, "object:property-change:accessible-value")
    GLib.timeout_add_seconds(90, pyatspi.Registry.stop)
    press = next(n for n in nodes if n.name == "دانلود آخرین نسخه").queryAction()
    press.doAction([press.getName(i) for i in range(press.nActions)].index("Press"))
    pyatspi.Registry.start()
    # Filled to 100 %, heard once per whole percent at most (a percent may pass unheard).
    assert heard[-1:] == [100] and heard == sorted(heard) and 2 < len(heard) <= 100, heard
    # The status labels have left their placeholder "Label1": any such name is the unused label.
    assert not [n for n in tree(app) if n.name == "Label1"], "the unused label is in the tree"


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), PacedClient)
try:
    threading.Thread(target=server.serve_forever, daemon=True).start()
    os.environ.update(XDG_RUNTIME_DIR=scratch, GSETTINGS_BACKEND="memory")
    bus = start("dbus-daemon", "--session", "--nofork", "--print-address=1",
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
    display_read, display_write = os.pipe()
    start("Xvfb", "-displayfd", str(display_write), "-nolisten", "tcp", pass_fds=[display_write],
          stderr=subprocess.DEVNULL)
    os.close(display_write)
    os.environ["DISPLAY"] = ":" + os.read(display_read, 16).decode().strip()
    site = "127.0.0.1:%d" % server.server_address[1]
    # A PATH without xdg-open: the press opens the site nowhere.
    check(start(sys.argv[1], cwd=scratch, env=dict(
        os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
        ZORVANE_UPDATER_SERVER="http://" + site, XDG_STATE_HOME=scratch, PATH=scratch)), site)
finally:
    for process in reversed(started):
        process.terminate()
        process.wait()
    server.shutdown()
    # What the buses and the program started came to us as they ended: end and reap it.
    children = lambda task: open(f"/proc/self/task/{task}/children").read().split()
    while pids := [int(p) for task in os.listdir("/proc/self/task") for p in children(task)]:
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
            os.waitpid(pid, 0)
    shutil.rmtree(scratch)
