"""A QEMU machine for the rescue medium's boot test, driven only the way an
operator at its console would: the screen (QMP screendump) and the USB tablet
and keyboard (QMP input-send-event). Evidence from inside the guest comes
back over its second serial port (ttyS1), where the medium answers
"DUMP <tag>" with a block of sections."""

import json
import os
import re
import shutil
import socket
import struct
import subprocess
import threading
import time
import zlib

OVMF = "/usr/share/OVMF"


class TestFailure(Exception):
    pass


class Qmp:
    def __init__(self, path, timeout=60):
        deadline = time.monotonic() + timeout
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if time.monotonic() > deadline:
                    raise TestFailure("QMP socket %s never opened" % path)
                time.sleep(0.2)
        self.sock.settimeout(120)
        self.lock = threading.Lock()
        self.buf = b""
        self._read()  # greeting
        self.execute("qmp_capabilities")

    def _read(self):
        while b"\n" not in self.buf:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise TestFailure("QEMU closed its QMP socket")
            self.buf += chunk
        line, self.buf = self.buf.split(b"\n", 1)
        return json.loads(line)

    def execute(self, command, **arguments):
        msg = {"execute": command}
        if arguments:
            msg["arguments"] = arguments
        with self.lock:  # a key may be pressed from a second thread
            self.sock.sendall(json.dumps(msg).encode() + b"\n")
            while True:
                reply = self._read()
                if "return" in reply:
                    return reply["return"]
                if "error" in reply:
                    raise TestFailure("QMP %s: %s" % (command, reply["error"].get("desc")))


# --- pictures -----------------------------------------------------------------

class Picture:
    """An RGB picture as QEMU's screendump writes it (binary PPM)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        parts = data.split(maxsplit=4)
        if parts[0] != b"P6":
            raise TestFailure("screendump is not a PPM picture")
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = parts[4][: self.width * self.height * 3]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def write_png(self, path):
        raw = b"".join(b"\0" + self.pixels[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
        png = (b"\x89PNG\r\n\x1a\n"
               + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
               + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
        with open(path, "wb") as f:
            f.write(png)


def _components(filters, png, min_area, colours):
    """Boxes (x, y, w, h) of the connected areas of `colours` in the
    picture after ImageMagick's `filters`."""
    out = subprocess.run(["convert", png] + filters + ["-define", "connected-components:verbose=true",
                                                       "-define", "connected-components:area-threshold=%d" % min_area,
                                                       "-connected-components", "4", "null:"],
                         capture_output=True, text=True, timeout=60).stdout
    boxes = []
    for f in (line.split() for line in out.splitlines()):
        if len(f) >= 5 and f[4] in colours:
            w, h, x, y = map(int, re.split("[x+]", f[1]))
            boxes.append((x, y, w, h))
    return boxes


def _corner_colour(png):
    out = subprocess.run(["convert", png + "[1x1+2+2]", "-format", "%[pixel:p{0,0}]", "info:"],
                         capture_output=True, text=True, timeout=30).stdout.strip()
    return out or "rgb(0,117,122)"


class Words:
    """The words tesseract reads on a screen, with their boxes, in lines.

    The tool draws light text on a dark page and dark text in white boxes
    (fields, combos, buttons, tables); one pass reads either badly. So the
    white boxes are found first (connected components of near-white) and
    each is read on its own, enlarged; the page is then read with them
    painted over."""

    def __init__(self, png, langs):
        self.png = png
        self.langs = langs
        self.lines = {}
        self.boxes = self._white_boxes(png)
        self.work = os.path.join(os.path.dirname(png), "ocr-work")
        os.makedirs(self.work, exist_ok=True)
        # Reading is done in stages, each only when what is looked for was
        # not found in the stages before (the reader is slow, and a guest
        # under TCG shares the processor with it): the white boxes one by
        # one, the buttons, then the page around them.
        outer = [b for b in self.boxes if not any(_inside(b, o) for o in self.boxes)]
        self._stages = [lambda n=n, b=b: self._read_box(n, b) for n, b in enumerate(outer)]
        self._stages += [self._read_buttons, self._read_page]

    def _more(self):
        """Runs the next reading stage; False when all have run."""
        if not self._stages:
            return False
        self._stages.pop(0)()
        return True

    def _read_box(self, n, box):
        x, y, w, h = box
        crop = os.path.join(self.work, "box.png")
        zoom = 2
        subprocess.run(["convert", self.png, "-crop", "%dx%d+%d+%d" % (w - 6, h - 6, x + 3, y + 3), "+repage",
                        "-resize", "%d%%" % (100 * zoom), crop], check=True)
        self._tesseract(crop, self.langs, "6" if h < 80 else "12", ("box", n), x + 3, y + 3, 1.0 / zoom)

    def _read_buttons(self):
        # Buttons: boxes of the page's own colour inside white boxes, light
        # text on them; read inverted.
        for n, (x, y, w, h) in enumerate(self._coloured_boxes(self.png)):
            if not any(_inside((x, y, w, h), other) for other in self.boxes):
                continue
            crop = os.path.join(self.work, "button.png")
            subprocess.run(["convert", self.png, "-crop", "%dx%d+%d+%d" % (w - 4, h - 4, x + 2, y + 2), "+repage",
                            "-colorspace", "gray", "-negate", "-resize", "200%", crop], check=True)
            self._tesseract(crop, self.langs, "7", ("button", n), x + 2, y + 2, 0.5)

    def _read_page(self):
        page = os.path.join(self.work, "page.png")
        draw = []
        for (x, y, w, h) in self.boxes:
            draw += ["-draw", "rectangle %d,%d %d,%d" % (x - 2, y - 2, x + w + 2, y + h + 2)]
        subprocess.run(["convert", self.png, "-fill", "black"] + draw + [page], check=True)
        self._tesseract(page, self.langs, "11", ("page",), 0, 0, 1.0)

    @staticmethod
    def _white_boxes(png):
        boxes = _components(["-colorspace", "gray", "-threshold", "90%"], png, 600, ("gray(255)",))
        return [(x, y, w, h) for x, y, w, h in boxes if w >= 30 and h >= 14]

    @staticmethod
    def _coloured_boxes(png):
        """Boxes of the colour of the screen's top left pixel (the page)."""
        # The page's colour, and the theme's teal in case a dialog dims the page.
        boxes = []
        for colour in sorted({_corner_colour(png), "srgb(0,117,122)"}):
            for b in _components(["-fuzz", "10%", "-fill", "black", "+opaque", colour, "-fill", "white",
                                  "-opaque", colour], png, 500, ("gray(255)", "srgb(255,255,255)", "white")):
                if b[2] >= 40 and 16 <= b[3] <= 90 and b not in boxes:
                    boxes.append(b)
        return boxes

    def _tesseract(self, png, langs, psm, key, dx, dy, scale):
        out = subprocess.run(["tesseract", png, "-", "-l", langs, "--psm", psm, "tsv"],
                             capture_output=True, text=True, timeout=120).stdout
        for row in out.splitlines()[1:]:
            f = row.split("\t")
            if len(f) < 12 or not f[11].strip():
                continue
            k = key + (int(f[2]), int(f[3]), int(f[4]))
            box = (dx + int(int(f[6]) * scale), dy + int(int(f[7]) * scale),
                   int(int(f[8]) * scale), int(int(f[9]) * scale))
            self.lines.setdefault(k, []).append((f[11].strip(), box))

    # Letters and digits the reader confuses count as one (on both sides).
    _SAME = str.maketrans({"l": "1", "i": "1", "|": "1", "o": "0"})

    @classmethod
    def _norm(cls, word):
        return "".join(c for c in word.lower().translate(cls._SAME) if c.isalnum())

    def _runs(self, phrase, part=False):
        """Boxes of every run of words read so far that reads `phrase`."""
        want = [self._norm(w) for w in phrase.split() if self._norm(w)]
        found = []
        if not want:
            return found
        whole = "".join(want)
        for words in self.lines.values():
            norms = [self._norm(w) for w, _ in words]
            for i in range(len(words)):
                if not norms[i]:
                    continue
                if part and len(want) == 1:
                    n = 1 if want[0] in norms[i] else 0
                else:
                    # Word by word, blanks aside: the reader may split a
                    # word in two or join two.
                    n, got = 0, ""
                    while i + n < len(words) and whole.startswith(got + norms[i + n]) and got != whole:
                        got += norms[i + n]
                        n += 1
                    if got != whole:
                        n = 0
                if n:
                    boxes = [b for _, b in words[i:i + n]]
                    x0 = min(b[0] for b in boxes)
                    y0 = min(b[1] for b in boxes)
                    x1 = max(b[0] + b[2] for b in boxes)
                    y1 = max(b[1] + b[3] for b in boxes)
                    found.append((x0, y0, x1 - x0, y1 - y0))
        return found

    def find_any(self, phrases, part=False):
        """(phrase, box) of the first of `phrases` on the screen, reading
        only as far as needed; None when none is there."""
        while True:
            for p in phrases:
                runs = self._runs(p, part)
                if runs:
                    return p, runs[0]
            if not self._more():
                return None

    def find(self, phrase, part=False):
        """Box (x, y, w, h) of the first run of words that reads `phrase`
        (with part=True, a word that holds it, e.g. a device in a path)."""
        hit = self.find_any([phrase], part)
        return hit[1] if hit else None

    def find_label(self, label):
        """Box of a field's label. The reader sometimes mangles one word of
        it (a mark such as the "*" of a mandatory field glued to the last
        word): failing the whole label, its words without the first or the
        last one do, if they read only once on the screen and are not a
        lone short word."""
        box = self.find(label)
        if box:
            return box
        words = label.split()
        for part in (words[:-1], words[1:]):
            text = " ".join(part)
            if not part or (len(part) == 1 and len(self._norm(text)) < 5):
                continue
            runs = self._runs(text)
            if len(runs) == 1:
                return runs[0]
        return None

    def text(self):
        while self._more():
            pass
        return "\n".join(" ".join(w for w, _ in ws) for ws in self.lines.values())


def _inside(a, b):
    """Box a lies within box b (and is not b)."""
    return a != b and b[0] <= a[0] and b[1] <= a[1] and a[0] + a[2] <= b[0] + b[2] \
        and a[1] + a[3] <= b[1] + b[3]


def field_right_of(boxes, label):
    """The input box (a white box) right of a label on its line: the
    nearest one that starts right of the label's first letter."""
    cy = label[1] + label[3] // 2
    row = [b for b in boxes if b[1] <= cy <= b[1] + b[3] and b[0] > label[0] + 8
           and not _inside(label, b) and b[2] < 900]
    return min(row, key=lambda b: b[0]) if row else None


# --- the machine ----------------------------------------------------------------

QCODES = {" ": "spc", "-": "minus", "=": "equal", ".": "dot", ",": "comma", "/": "slash",
          ";": "semicolon", "'": "apostrophe", "\n": "ret", "\t": "tab", "_": ("shift", "minus"),
          ":": ("shift", "semicolon"), "@": ("shift", "2")}


def char_keys(c):
    if c.isalpha() and c.isascii():
        return ("shift", c.lower()) if c.isupper() else (c,)
    if c.isdigit():
        return (c,)
    k = QCODES.get(c)
    if k is None:
        raise TestFailure("no key for %r" % c)
    return k if isinstance(k, tuple) else (k,)


class Machine:
    def __init__(self, workdir, mode, iso, disk1, disk2, usb=False):
        self.dir = workdir
        self.mode = mode
        self.shots = 0
        os.makedirs(workdir, exist_ok=True)
        for name in ("qmp.sock", "ev.sock"):
            if os.path.exists(os.path.join(workdir, name)):
                os.unlink(os.path.join(workdir, name))
        # Fresh overlays: the cached disks and the image stay as they are.
        d1 = os.path.join(workdir, "disk1.qcow2")
        d2 = os.path.join(workdir, "disk2.qcow2")
        for base, over in ((disk1, d1), (disk2, d2)):
            subprocess.run(["qemu-img", "create", "-q", "-f", "qcow2", "-F", "qcow2",
                            "-b", os.path.abspath(base), over], check=True)
        cmd = ["qemu-system-x86_64", "-accel", "tcg", "-smp", "2", "-m", "2048",
               "-vga", "std", "-display", "none", "-name", "sv-medium-" + mode,
               "-qmp", "unix:%s,server=on,wait=off" % os.path.join(workdir, "qmp.sock"),
               "-serial", "file:%s" % os.path.join(workdir, "ttyS0.log"),
               "-serial", "unix:%s,server=on,wait=off" % os.path.join(workdir, "ev.sock"),
               "-monitor", "none", "-netdev", "user,id=net0",
               "-device", "virtio-net-pci,netdev=net0,romfile=",
               "-device", "qemu-xhci,id=xhci",
               "-device", "usb-tablet,bus=xhci.0", "-device", "usb-kbd,bus=xhci.0"]
        if mode == "bios":
            cmd += ["-machine", "q35"]
        elif mode in ("uefi", "secboot"):
            secure = mode == "secboot"
            code = os.path.join(OVMF, "OVMF_CODE_4M.secboot.fd" if secure else "OVMF_CODE_4M.fd")
            vars_src = os.path.join(OVMF, "OVMF_VARS_4M.ms.fd" if secure else "OVMF_VARS_4M.fd")
            vars_copy = os.path.join(workdir, "ovmf-vars.fd")
            shutil.copyfile(vars_src, vars_copy)
            cmd += ["-machine", "q35,smm=on" if secure else "q35",
                    "-drive", "if=pflash,format=raw,unit=0,readonly=on,file=" + code,
                    "-drive", "if=pflash,format=raw,unit=1,file=" + vars_copy]
            if secure:
                cmd += ["-global", "driver=cfi.pflash01,property=secure,value=on"]
        else:
            raise TestFailure("unknown boot mode " + mode)
        if usb:
            stick = os.path.join(workdir, "usbstick.qcow2")
            subprocess.run(["qemu-img", "create", "-q", "-f", "qcow2", "-F", "raw",
                            "-b", os.path.abspath(iso), stick], check=True)
            cmd += ["-drive", "if=none,id=medium,format=qcow2,file=" + stick,
                    "-device", "usb-storage,bus=xhci.0,drive=medium,serial=SVKEYSTICK01,bootindex=0"]
        else:
            cmd += ["-drive", "if=none,id=medium,format=raw,media=cdrom,readonly=on,file=" + iso,
                    "-device", "ide-cd,bus=ide.1,drive=medium,bootindex=0"]
        cmd += ["-drive", "if=none,id=disk1,format=qcow2,file=" + d1,
                "-device", "ide-hd,bus=ide.0,drive=disk1,serial=SVDISK1WEB01,bootindex=1",
                "-drive", "if=none,id=disk2,format=qcow2,file=" + d2,
                "-device", "nvme,drive=disk2,serial=SVNVME0002"]
        self.cmd = cmd
        self.stderr = open(os.path.join(workdir, "qemu.stderr"), "w")
        self.started = time.monotonic()
        self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=self.stderr,
                                     stderr=subprocess.STDOUT)
        self.qmp = Qmp(os.path.join(workdir, "qmp.sock"))
        self.ev = None
        self.ev_buf = b""
        self.size = None

    def elapsed(self):
        return time.monotonic() - self.started

    def alive(self):
        return self.proc.poll() is None

    def stop(self):
        if self.alive():
            try:
                self.qmp.execute("quit")
            except Exception:
                pass
            try:
                self.proc.wait(20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.stderr.close()

    def console(self):
        try:
            with open(os.path.join(self.dir, "ttyS0.log"), "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    # screen
    def screen(self, name=None):
        ppm = os.path.join(self.dir, "screen.ppm")
        self.qmp.execute("screendump", filename=ppm)
        pic = Picture(ppm)
        self.size = (pic.width, pic.height)
        if name:
            self.shots += 1
            png = os.path.join(self.dir, "%02d-%s.png" % (self.shots, name))
            pic.write_png(png)
            pic.png = png
        return pic

    def read(self, pic, langs="eng+rus"):
        png = getattr(pic, "png", None)
        if not png:
            png = os.path.join(self.dir, "ocr.png")
            pic.write_png(png)
        return Words(png, langs)

    def fail(self, why):
        try:
            pic = self.screen("FAILED")
            why += " (screenshot %s)" % pic.png
        except Exception as e:
            why += " (no screenshot: %s)" % e
        raise TestFailure(why)

    def wait_text(self, phrases, timeout, name=None, langs="eng+rus", interval=3, label=False):
        """Waits until one of `phrases` is on the screen; returns (phrase, box, words).
        With label=True the phrases are field labels (Words.find_label)."""
        if isinstance(phrases, str):
            phrases = [phrases]
        deadline = time.monotonic() + timeout
        last = None
        words = None
        while True:
            if not self.alive():
                raise TestFailure("QEMU ended; console tail:\n" + self.console()[-3000:])
            pic = self.screen()
            if last is None or pic.pixels != last:
                last = pic.pixels
                words = self.read(pic, langs)
                if label:
                    hit = next(((p, b) for p, b in ((p, words.find_label(p)) for p in phrases) if b), None)
                else:
                    hit = words.find_any(phrases)
                if hit:
                    if name:
                        self.screen(name)
                    return hit[0], hit[1], words
            if time.monotonic() > deadline:
                self.fail("none of %s on the screen after %d s; it reads:\n%s"
                          % (phrases, timeout, words.text()[:1500] if words else "(nothing)"))
            time.sleep(interval)

    def wait_console(self, text, timeout):
        """Waits until the first serial port's log holds `text` (a marker
        the medium writes there); returns the seconds since power-on."""
        deadline = time.monotonic() + timeout
        while text not in self.console():
            if not self.alive():
                raise TestFailure("QEMU ended; console tail:\n" + self.console()[-3000:])
            if time.monotonic() > deadline:
                self.fail("no %r on the serial console after %d s; its tail:\n%s"
                          % (text, timeout, self.console()[-2000:]))
            time.sleep(0.5)
        return self.elapsed()

    def wait_change(self, before, timeout, settle=2):
        """Waits until the screen differs from `before` and then holds still."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            pic = self.screen()
            if pic.pixels != before.pixels:
                time.sleep(settle)
                return self.screen()
            time.sleep(0.5)
        self.fail("the screen did not change within %d s" % timeout)

    # input
    def move(self, x, y):
        w, h = self.size or (1024, 768)
        self.qmp.execute("input-send-event", events=[
            {"type": "abs", "data": {"axis": "x", "value": int(x * 32767 / max(w - 1, 1))}},
            {"type": "abs", "data": {"axis": "y", "value": int(y * 32767 / max(h - 1, 1))}}])

    def click(self, x, y):
        self.move(x, y)
        time.sleep(0.15)
        for down in (True, False):
            self.qmp.execute("input-send-event", events=[
                {"type": "btn", "data": {"down": down, "button": "left"}}])
            time.sleep(0.1)
        # Off to the window's left margin: a button under the pointer is
        # drawn in its hover colour, which the reader does not take for one.
        time.sleep(0.1)
        self.move(1, (self.size or (1024, 768))[1] // 2)

    def click_box(self, box):
        self.click(box[0] + box[2] // 2, box[1] + box[3] // 2)

    def keys(self, *qcodes):
        for down, order in ((True, qcodes), (False, tuple(reversed(qcodes)))):
            for q in order:
                self.qmp.execute("input-send-event", events=[
                    {"type": "key", "data": {"down": down, "key": {"type": "qcode", "data": q}}}])
                time.sleep(0.03)
        time.sleep(0.05)

    def type(self, text):
        for c in text:
            self.keys(*char_keys(c))

    # evidence over ttyS1
    def dump(self, tag, timeout=60):
        if self.ev is None:
            self.ev = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            self.ev.connect(os.path.join(self.dir, "ev.sock"))
        self.ev.settimeout(2)
        begin = ("SV-EVIDENCE-BEGIN %s" % tag).encode()
        end = ("SV-EVIDENCE-END %s" % tag).encode()
        deadline = time.monotonic() + timeout
        self.ev.sendall(b"DUMP " + tag.encode() + b"\n")
        asked = time.monotonic()
        while end not in self.ev_buf:
            if time.monotonic() > deadline:
                raise TestFailure("no evidence block %r from the guest within %d s" % (tag, timeout))
            if time.monotonic() - asked > 15 and begin not in self.ev_buf:
                self.ev.sendall(b"DUMP " + tag.encode() + b"\n")
                asked = time.monotonic()
            try:
                chunk = self.ev.recv(65536)
                self.ev_buf += chunk
            except socket.timeout:
                pass
        text = self.ev_buf.split(begin, 1)[1].split(end, 1)[0].decode("utf-8", "replace")
        self.ev_buf = self.ev_buf.split(end, 1)[1]
        with open(os.path.join(self.dir, "evidence-%s.txt" % tag), "w") as f:
            f.write(text)
        sections = {}
        current = None
        for line in text.replace("\r", "").splitlines():
            if line.startswith("--- "):
                current = line[4:].split()[0]
                sections[current] = []
            elif current:
                sections[current].append(line)
        return sections
